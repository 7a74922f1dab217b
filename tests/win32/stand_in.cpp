// Takes the place of the database program in the tests: writes the command
// line it was started with, byte for byte, to the file that the environment
// variable KIV_STAND_IN_RECORD names. The record appears whole or not at
// all, so a test that sees it may read it. A GUI program, like the database
// program, so starting it opens no console.
#include <windows.h>

#include <string>

namespace {

bool writeWhole(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
  char record[MAX_PATH] = {};
  if (GetEnvironmentVariableA("KIV_STAND_IN_RECORD", record, MAX_PATH) == 0) return 2;
  const std::string partial = std::string(record) + ".part";
  if (!writeWhole(partial, GetCommandLineA())) return 1;
  return MoveFileExA(partial.c_str(), record, MOVEFILE_REPLACE_EXISTING) != FALSE ? 0 : 1;
}
