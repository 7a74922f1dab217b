#pragma once

#include "windows_api.h"

#include <streambuf>
#include <string>

namespace kiv::ctl {

// Standard output or error of kivctl.exe, for the UTF-8 the commands write.
// To a file or a pipe the bytes go as they are, line ends and all, so they
// equal kivctl's on POSIX; to a console they go as UTF-16 (WriteConsoleW),
// which shows every character whatever the console's code page.
class ConsoleOutput final : public std::streambuf {
 public:
  explicit ConsoleOutput(DWORD standardHandle);
  ~ConsoleOutput() override;
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

 protected:
  int_type overflow(int_type character) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  HANDLE handle_;
  bool console_;
  // Written at the next sync; for a console, a character whose bytes have
  // not all come yet waits here for the rest.
  std::string pending_;
};

}  // namespace kiv::ctl
