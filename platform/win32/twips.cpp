#include "twips.h"

#include <cmath>
#include <string>

#include "form/form_layout.h"
#include "wide_text.h"

namespace kiv {
namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kPointsPerInch = 72;
// Font sizes such as 8.25 points are kept exact by counting hundredths.
constexpr int kHundredths = 100;

}  // namespace

int screenDotsPerInch() {
  HDC screen = GetDC(nullptr);
  const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dotsPerInch;
}

int twipsToPixels(int twips, int dotsPerInch) {
  return MulDiv(twips, dotsPerInch, kTwipsPerInch);
}

RECT twipsToPixels(const TwipsRect& rect, int dotsPerInch, POINT origin) {
  const LONG left = origin.x + twipsToPixels(rect.left, dotsPerInch);
  const LONG top = origin.y + twipsToPixels(rect.top, dotsPerInch);
  return {left, top, left + twipsToPixels(rect.width, dotsPerInch),
          top + twipsToPixels(rect.height, dotsPerInch)};
}

HFONT createFormFont(int dotsPerInch) {
  const int hundredthsOfPoint = static_cast<int>(std::lround(layout::kFontPointSize * kHundredths));
  // A negative height asks for the character height, which is what a point size measures.
  const int height = -MulDiv(hundredthsOfPoint, dotsPerInch, kPointsPerInch * kHundredths);
  const std::wstring family = toWide(layout::kFontFamily);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, family.c_str());
}

}  // namespace kiv
