#include "twips.h"

#include <cmath>

namespace kiv {

int twipsToPixels(int twips, double dotsPerInch) {
  return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

QRect twipsToPixels(const TwipsRect& rect, double dotsPerInch) {
  return {twipsToPixels(rect.left, dotsPerInch), twipsToPixels(rect.top, dotsPerInch),
          twipsToPixels(rect.width, dotsPerInch), twipsToPixels(rect.height, dotsPerInch)};
}

}  // namespace kiv
