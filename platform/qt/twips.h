#pragma once

#include <QRect>

#include "form/controls.h"

namespace kiv {

// Twips are 1/1440 inch: at the screen's logical resolution of 96 dots per
// inch, 15 twips make one pixel.
inline constexpr double kTwipsPerInch = 1440.0;

int twipsToPixels(int twips, double dotsPerInch);
QRect twipsToPixels(const TwipsRect& rect, double dotsPerInch);

}  // namespace kiv
