#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "base/result.h"

namespace kiv {

struct EncodeFailure;

// A failure of reading or writing a schedule file. Users see a reading failure
// as number, ": " and description, a writing failure as the description alone,
// so every description stands on its own.
struct FileError {
  int number = 0;
  std::string description;

  friend bool operator==(const FileError&, const FileError&) = default;
};

template <typename T>
using FileResult = Result<T, FileError>;

// The failures of the schedule file layer. Operating-system failures keep the
// system's own number (errno, or the code std::filesystem reports) and its
// text, so they are not listed here; the schedule file's own numbers start at
// 1001, above every errno value, so the two never share a number.
namespace file_error {

// Reading stopped without the system naming a cause (the stream failed but
// left no error number).
inline constexpr int kReadFailed = 1001;
// Writing stopped without the system naming a cause.
inline constexpr int kWriteFailed = 1002;
// The front-end could not force the written schedule to the disk; the old file
// is kept, because a file that may vanish in a power cut must not replace it.
inline constexpr int kFlushFailed = 1003;
// The path names a pipe, a device or a socket: only a regular file holds a
// schedule, and opening the others could wait for ever or read endless bytes.
inline constexpr int kNotARegularFile = 1004;
// A text slot's length field says more than the 126 bytes a slot can hold.
inline constexpr int kSlotTooLong = 1010;
// A group of the scrambled password is not three decimal digits.
inline constexpr int kPasswordNotDigits = 1011;
// A group of the scrambled password unscrambles to a code outside 0 to 255.
inline constexpr int kPasswordCodeOutOfRange = 1012;
// A byte field holds a value the window cannot show (or, when saving, one the
// program could not read back).
inline constexpr int kValueOutOfRange = 1013;
// A text holds a character that has no form in the Windows-1252 code page.
inline constexpr int kNoCodePageForm = 1020;
// A text is not valid UTF-8 (the core's texts always are; this guards a caller
// that was handed raw bytes).
inline constexpr int kInvalidUtf8 = 1021;
// A text, once in the code page (or scrambled, for the password), is longer
// than the 126 bytes a slot can hold.
inline constexpr int kTextTooLong = 1022;

}  // namespace file_error

// The failure the system reported (errno, or the code std::filesystem gives),
// with the system's text for it; kReadFailed or kWriteFailed when the system
// left no error number.
FileError readFailure(std::error_code cause);
FileError writeFailure(std::error_code cause);

// kFlushFailed and kNotARegularFile with their texts.
FileError flushFailure();
FileError notARegularFile();

// A failure that belongs to one field of one task: "Task 3, Password: " and
// what went wrong. `taskIndex` is 0-based; users read task numbers from 1.
FileError taskFieldError(int number, int taskIndex, std::string_view field, std::string_view what);

// The number of a text the code page cannot hold: kInvalidUtf8 or
// kNoCodePageForm.
int encodeFailureNumber(const EncodeFailure& failure);

}  // namespace kiv
