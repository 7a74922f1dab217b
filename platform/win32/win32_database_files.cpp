#include "win32_database_files.h"

#include "windows_api.h"

#include <functional>
#include <string_view>

#include "system_error_text.h"
#include "unique_handle.h"
#include "verified_copy.h"
#include "wide_text.h"

namespace kiv {
namespace {

// A lock file lists each user in 64 bytes; this many are plenty to name
// the first few of them.
constexpr DWORD kLockFileBytesRead = 64 * 64;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string lastErrorText(const std::string& subject) {
  return systemErrorText(GetLastError(), subject);
}

std::vector<std::uint8_t> firstBytes(const std::wstring& path) {
  std::vector<std::uint8_t> bytes(kLockFileBytesRead);
  const UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  DWORD got = 0;
  if (!file || ReadFile(file.get(), bytes.data(), kLockFileBytesRead, &got, nullptr) == FALSE) {
    got = 0;
  }
  bytes.resize(got);
  return bytes;
}

// Whether this user may write the file, which is what replacing it takes
// of the file itself; the folder is asked when the copy is put in place.
bool writable(const std::wstring& path) {
  const UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  return static_cast<bool>(file);
}

}  // namespace

LockFileState Win32DatabaseFiles::lockFile(const std::string& path) {
  const std::wstring wide = toWide(path);
  const UniqueHandle exclusive(
      CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (exclusive) return {LockFileState::Holder::Nobody, true, {}};
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
  const LockFileState::Holder holder = error == ERROR_SHARING_VIOLATION
                                           ? LockFileState::Holder::Someone
                                           : LockFileState::Holder::Unknown;
  return {holder, true, firstBytes(wide)};
}

Result<FileFacts, std::string> Win32DatabaseFiles::examineFile(const std::string& path) {
  const std::wstring wide = toWide(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) == FALSE) {
    return lastErrorText(path);
  }
  if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
    return std::string("not a regular file");
  }
  const std::uint64_t size =
      static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  const bool readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  return FileFacts{size, !readOnly && writable(wide)};
}

Result<VolumeSpace, std::string> Win32DatabaseFiles::volumeSpace(const std::string& folder) {
  const std::wstring wide = toWide(folder);
  ULARGE_INTEGER available{};
  std::wstring volume(MAX_PATH + 1, L'\0');
  if (GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr) == FALSE ||
      GetVolumePathNameW(wide.c_str(), volume.data(), static_cast<DWORD>(volume.size())) == FALSE) {
    return lastErrorText(folder);
  }
  volume.resize(volume.find(L'\0'));
  return VolumeSpace{std::hash<std::wstring>{}(volume), available.QuadPart};
}

Result<void, std::string> Win32DatabaseFiles::makeFolder(const std::string& folder) {
  const std::wstring wide = toWide(folder);
  if (CreateDirectoryW(wide.c_str(), nullptr) != FALSE) return {};
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {};
  }
  return systemErrorText(error, folder);
}

Result<std::vector<std::string>, std::string> Win32DatabaseFiles::folderNames(
    const std::string& folder) {
  const std::wstring pattern = toWide(folder) + L"\\*";
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  std::vector<std::string> names;
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return names;
    return systemErrorText(error, folder);
  }
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(fromWide(name));
  } while (FindNextFileW(search, &found) != FALSE);
  FindClose(search);
  return names;
}

Result<void, std::string> Win32DatabaseFiles::copyFile(const std::string& from,
                                                       const std::string& to) {
  if (auto copied = copyFileVerified(toWide(from), toWide(to)); !copied) {
    return copied.error().description;
  }
  return {};
}

Result<void, std::string> Win32DatabaseFiles::removeFile(const std::string& path) {
  if (DeleteFileW(toWide(path).c_str()) == FALSE) return lastErrorText(path);
  return {};
}

}  // namespace kiv
