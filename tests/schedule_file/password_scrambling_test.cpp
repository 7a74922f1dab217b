#include <gtest/gtest.h>

#include <string>

#include "schedule_file/password_scrambling.h"

namespace kiv {
namespace {

TEST(PasswordScrambling, ScramblesThreeDigitsPerCharacter) {
  struct Case {
    std::string plain;
    std::string scrambled;
  };
  const Case cases[] = {
      {"", ""},
      {"abc", "197258201"},
      // The same character differs at odd and even positions and from one
      // position to the next: 97+1+99, (255-97)+2+99, 97+3+99, (255-97)+4+99.
      {"aaaa", "197259199261"},
      {std::string("\x00\xFF", 2), "100101"},  // the smallest number at each position
      {std::string("\xFF\x00", 2), "355356"},  // the largest
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fctnEncrypt(c.plain), c.scrambled) << c.scrambled;
    const FileResult<std::string> plain = fctnDecrypt(c.scrambled);
    ASSERT_TRUE(plain.ok()) << c.scrambled;
    EXPECT_EQ(plain.value(), c.plain) << c.scrambled;
  }
}

TEST(PasswordScrambling, IgnoresDigitsAfterTheLastCompleteGroup) {
  EXPECT_EQ(fctnDecrypt("19725820112").value(), "abc");
  EXPECT_EQ(fctnDecrypt("1972582011").value(), "abc");
  EXPECT_EQ(fctnDecrypt("19").value(), "");
  EXPECT_EQ(fctnDecrypt("19x").error().number, file_error::kPasswordNotDigits);
}

TEST(PasswordScrambling, EveryCharacterRoundTripsAtEveryStorablePosition) {
  constexpr std::size_t kLongestStored = 42;
  for (int code = 0; code <= 255; ++code) {
    const std::string plain(kLongestStored, static_cast<char>(code));
    const std::string scrambled = fctnEncrypt(plain);
    ASSERT_EQ(scrambled.size(), 3 * kLongestStored) << "code " << code;
    const FileResult<std::string> back = fctnDecrypt(scrambled);
    ASSERT_TRUE(back.ok()) << "code " << code;
    EXPECT_EQ(back.value(), plain) << "code " << code;
  }
}

// A group must be exactly three decimal digits: blanks, signs and exponents
// are damage, never a number read leniently.
TEST(PasswordScrambling, RefusesGroupsThatAreNotAStoredCode) {
  struct Case {
    std::string scrambled;
    int number;
    std::string description;
  };
  const Case cases[] = {
      {"abc", file_error::kPasswordNotDigits,
       "group 1 of the scrambled password is not three decimal digits."},
      {"197 97", file_error::kPasswordNotDigits,
       "group 2 of the scrambled password is not three decimal digits."},
      {"+97", file_error::kPasswordNotDigits,
       "group 1 of the scrambled password is not three decimal digits."},
      {"-12", file_error::kPasswordNotDigits,
       "group 1 of the scrambled password is not three decimal digits."},
      {"1e2", file_error::kPasswordNotDigits,
       "group 1 of the scrambled password is not three decimal digits."},
      {"19 ", file_error::kPasswordNotDigits,
       "group 1 of the scrambled password is not three decimal digits."},
      {std::string("1\x00"
                   "2",
                   3),
       file_error::kPasswordNotDigits,
       "group 1 of the scrambled password is not three decimal digits."},
      {"099", file_error::kPasswordCodeOutOfRange,
       "group 1 of the scrambled password gives a character code outside 0 to 255."},
      {"356", file_error::kPasswordCodeOutOfRange,
       "group 1 of the scrambled password gives a character code outside 0 to 255."},
      {"197100", file_error::kPasswordCodeOutOfRange,
       "group 2 of the scrambled password gives a character code outside 0 to 255."},
      {"197999", file_error::kPasswordCodeOutOfRange,
       "group 2 of the scrambled password gives a character code outside 0 to 255."},
  };
  for (const Case& c : cases) {
    const FileResult<std::string> plain = fctnDecrypt(c.scrambled);
    ASSERT_FALSE(plain.ok()) << c.scrambled;
    EXPECT_EQ(plain.error(), (FileError{c.number, c.description})) << c.scrambled;
  }
}

}  // namespace
}  // namespace kiv
