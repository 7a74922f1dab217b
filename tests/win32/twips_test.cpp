#include <gtest/gtest.h>

#include "twips.h"

namespace kiv {
namespace {

struct TwipsCase {
  int twips;
  int dotsPerInch;
  int pixels;
};

class Twips : public ::testing::TestWithParam<TwipsCase> {};

TEST_P(Twips, BecomePixelsAtTheScreensDotsPerInch) {
  EXPECT_EQ(twipsToPixels(GetParam().twips, GetParam().dotsPerInch), GetParam().pixels);
}

// 15 twips a pixel at 96 dots per inch, 12 at 120; halves round to the nearer pixel.
INSTANTIATE_TEST_SUITE_P(Win32, Twips,
                         ::testing::Values(TwipsCase{6090, 96, 406}, TwipsCase{4110, 96, 274},
                                           TwipsCase{1440, 96, 96}, TwipsCase{920, 96, 61},
                                           TwipsCase{6090, 120, 508}, TwipsCase{4110, 144, 411},
                                           TwipsCase{0, 96, 0}));

TEST(Twips, PlaceARectangleInsideItsContainer) {
  const RECT place = twipsToPixels(TwipsRect{2940, 240, 2930, 285}, 96, POINT{4, 0});
  EXPECT_EQ(place.left, 200);
  EXPECT_EQ(place.top, 16);
  EXPECT_EQ(place.right - place.left, 195);
  EXPECT_EQ(place.bottom - place.top, 19);
}

TEST(FormFont, IsTahomaOfEightAndAQuarterPoints) {
  for (const auto& [dotsPerInch, height] :
       {std::pair{96, -11}, std::pair{120, -14}, std::pair{144, -17}}) {
    HFONT font = createFormFont(dotsPerInch);
    LOGFONTA description{};
    ASSERT_EQ(GetObjectA(font, sizeof description, &description),
              static_cast<int>(sizeof description));
    EXPECT_STREQ(description.lfFaceName, "Tahoma");
    EXPECT_EQ(description.lfHeight, height) << dotsPerInch;
    EXPECT_EQ(description.lfWeight, FW_NORMAL);
    DeleteObject(font);
  }
}

}  // namespace
}  // namespace kiv
