#include "schedule_file/file_error.h"

#include "schedule_file/code_page.h"

namespace kiv {
namespace {

FileError systemFailure(std::error_code cause, int fallbackNumber, std::string_view fallbackText) {
  if (!cause) return {fallbackNumber, std::string(fallbackText)};
  return {cause.value(), cause.message()};
}

}  // namespace

FileError readFailure(std::error_code cause) {
  return systemFailure(cause, file_error::kReadFailed, "The schedule file could not be read.");
}

FileError writeFailure(std::error_code cause) {
  return systemFailure(cause, file_error::kWriteFailed, "The schedule file could not be written.");
}

FileError flushFailure() {
  return {file_error::kFlushFailed, "The schedule file could not be forced to the disk."};
}

FileError notARegularFile() {
  return {file_error::kNotARegularFile, "The schedule file is not a regular file."};
}

FileError taskFieldError(int number, int taskIndex, std::string_view field, std::string_view what) {
  std::string description = "Task " + std::to_string(taskIndex + 1) + ", ";
  description.append(field);
  description.append(": ");
  description.append(what);
  return {number, std::move(description)};
}

int encodeFailureNumber(const EncodeFailure& failure) {
  return failure.reason == EncodeFailure::Reason::InvalidUtf8 ? file_error::kInvalidUtf8
                                                              : file_error::kNoCodePageForm;
}

}  // namespace kiv
