// Takes the place of the database program in the tests: writes the command
// line it was started with to the file that the environment variable
// KIV_STAND_IN_RECORD names, as UTF-8 of the UTF-16 line Windows handed it,
// so every character arrives as it was sent. The record appears whole or not
// at all, so a test that sees it may read it. Then it stays for the
// milliseconds KIV_STAND_IN_STAY_MS gives and exits with the status
// KIV_STAND_IN_EXIT_STATUS gives (decimal, or hexadecimal after 0x), 0 by
// default. Where KIV_STAND_IN_HOLD names a file, the stand-in has it open
// before it writes the record and until it exits, shared for reading and
// writing, as the database program holds its lock file. A GUI program, like the database program,
// so starting it opens no console.
#include <windows.h>

#include <cwchar>
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

DWORD environmentNumber(const wchar_t* name) {
  wchar_t text[32] = {};
  if (GetEnvironmentVariableW(name, text, 32) == 0) return 0;
  return static_cast<DWORD>(std::wcstoul(text, nullptr, 0));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t record[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KIV_STAND_IN_RECORD", record, MAX_PATH) == 0) return 2;
  wchar_t held[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KIV_STAND_IN_HOLD", held, MAX_PATH) != 0 &&
      CreateFileW(held, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr) == INVALID_HANDLE_VALUE) {
    return 1;
  }
  const std::wstring partial = std::wstring(record) + L".part";
  if (!writeWhole(partial, kiv::fromWide(GetCommandLineW()))) return 1;
  if (MoveFileExW(partial.c_str(), record, MOVEFILE_REPLACE_EXISTING) == FALSE) return 1;
  Sleep(environmentNumber(L"KIV_STAND_IN_STAY_MS"));
  return static_cast<int>(environmentNumber(L"KIV_STAND_IN_EXIT_STATUS"));
}
