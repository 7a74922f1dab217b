#pragma once

#include <string_view>

#include "shell/tray_data.h"

namespace kiv {

// Puts `text` at the start of the tray record's fixed tip field and fills the
// rest with blanks; a longer text is cut at the field's length. The field
// counts characters, and a cut never splits one.
void setTrayTip(NotifyIconData& tray, std::string_view text);

}  // namespace kiv
