// Takes the place of the database program in the tests: writes the command
// line it was started with to the file that the environment variable
// KIV_STAND_IN_RECORD names, as UTF-8 of the UTF-16 line Windows handed it,
// so every character arrives as it was sent. The record appears whole or not
// at all, so a test that sees it may read it. A GUI program, like the
// database program, so starting it opens no console.
#include <windows.h>

#include <string>

#include "wide_text.h"

namespace {

bool writeWhole(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL wrote =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return wrote != FALSE && written == bytes.size();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t record[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KIV_STAND_IN_RECORD", record, MAX_PATH) == 0) return 2;
  const std::wstring partial = std::wstring(record) + L".part";
  if (!writeWhole(partial, kiv::fromWide(GetCommandLineW()))) return 1;
  return MoveFileExW(partial.c_str(), record, MOVEFILE_REPLACE_EXISTING) != FALSE ? 0 : 1;
}
