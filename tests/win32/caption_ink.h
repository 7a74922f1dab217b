#pragma once

#include "windows_api.h"

#include <string>

namespace kiv::testing {

// How far a caption's ink reaches, in pixels from where it is drawn: the
// caption drawn as controls draw theirs (one line, "&" marking the mnemonic)
// in `font`, and the rightmost column it darkens, plus one. Measured from the
// drawing rather than the font's advance widths, which Wine reports wider
// than it draws.
int captionInk(HFONT font, const std::string& caption);

}  // namespace kiv::testing
