#include "launch_journal_file.h"

#include "windows_api.h"

#include <array>

#include "base/utf8_path.h"
#include "system_error_text.h"
#include "unique_handle.h"

namespace kiv {
namespace {

// Held while a Kiv program of the session writes or reads the journal.
class JournalMutex {
 public:
  JournalMutex() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Kiv-launch-journal")) {
    // A holder that died leaves the mutex abandoned, and this one owns it.
    if (mutex_) WaitForSingleObject(mutex_.get(), INFINITE);
  }
  ~JournalMutex() {
    if (mutex_) ReleaseMutex(mutex_.get());
  }
  JournalMutex(const JournalMutex&) = delete;
  JournalMutex& operator=(const JournalMutex&) = delete;

 private:
  UniqueHandle mutex_;
};

std::string failure(const std::filesystem::path& path) {
  const std::string file = utf8FromPath(path);
  return systemErrorText(GetLastError(), file) + ": " + file;
}

bool appendText(const std::filesystem::path& file, const std::string& text) {
  const UniqueHandle handle(CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return false;
  DWORD written = 0;
  const BOOL wrote =
      WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  return wrote != FALSE && written == text.size();
}

// The file's text; empty when there is no such file, which is a journal
// nothing was written to yet (or no previous one). A file that is there and
// cannot be read is no empty journal.
Result<std::string, JournalUnreadable> fileText(const std::filesystem::path& file) {
  const UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
    return JournalUnreadable{failure(file)};
  }
  std::string text;
  std::array<char, 65536> buffer{};
  DWORD count = 0;
  for (;;) {
    if (ReadFile(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &count, nullptr) ==
        FALSE) {
      return JournalUnreadable{failure(file)};
    }
    if (count == 0) return text;
    text.append(buffer.data(), count);
  }
}

}  // namespace

Win32JournalFile Win32JournalFile::forUser() {
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return Win32JournalFile({});
  return Win32JournalFile(std::filesystem::path(folder) / L"Kiv" / kJournalFileName);
}

Result<void, std::string> Win32JournalFile::append(std::string_view line) const {
  if (file_.empty()) return std::string("there is no LOCALAPPDATA folder to keep it in");
  std::error_code error;
  std::filesystem::create_directories(file_.parent_path(), error);
  const std::string text = std::string(line) + '\n';
  const JournalMutex held;
  const std::uintmax_t size = std::filesystem::file_size(file_, error);
  if (!error && journalRotatesBefore(size, text.size()) &&
      MoveFileExW(file_.c_str(), previousFile().c_str(), MOVEFILE_REPLACE_EXISTING) == FALSE) {
    return failure(file_);
  }
  if (!appendText(file_, text)) return failure(file_);
  return {};
}

Result<std::string, JournalUnreadable> Win32JournalFile::read() const {
  if (file_.empty()) return JournalUnreadable{"there is no LOCALAPPDATA folder to keep it in"};
  const JournalMutex held;
  const Result<std::string, JournalUnreadable> previous = fileText(previousFile());
  if (!previous) return previous.error();
  std::string text = previous.value();
  if (!text.empty() && text.back() != '\n') text += '\n';
  const Result<std::string, JournalUnreadable> current = fileText(file_);
  if (!current) return current.error();
  return text + current.value();
}

}  // namespace kiv
