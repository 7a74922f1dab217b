#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// Splits a Windows command line into the arguments a Windows program would
// receive from its C runtime, so that a line composed for CreateProcess means
// the same on POSIX.
//
// The first argument, the program's name as the program sees it, follows the
// C runtime's own rule for it: a double quote starts or ends quoting and is
// dropped, backslashes are plain characters, and the name ends only at a
// blank or tab outside quotes (or the end of the line). So `"C:\A.EXE"x y`
// gives `C:\A.EXEx` and `y`.
//
// Every further argument follows the C runtime's rules (the msvcrt rules in
// force since 2008, which the UCRT keeps):
// - blanks and tabs separate arguments, except inside double quotes;
// - a double quote starts or ends quoting and is dropped; quoting can start
//   and end anywhere inside an argument, and "" alone is an empty argument;
// - 2n backslashes before a double quote give n backslashes, and the quote
//   starts or ends quoting; 2n+1 backslashes give n backslashes and a literal
//   quote; backslashes anywhere else are plain characters;
// - inside quoting, "" gives one literal quote and quoting goes on;
// - a quote left open runs to the end of the line.
// Blanks and tabs before the program name are skipped. A line of nothing but
// blanks gives no arguments at all.
std::vector<std::string> splitWindowsCommandLine(std::string_view commandLine);

// What follows the program's name as the C runtime ends it (see
// splitWindowsCommandLine) and the blanks and tabs after it, kept exactly as
// it stands: the arguments as the program is to receive them.
std::string windowsArgumentsAfterName(std::string_view commandLine);

// The program CreateProcess starts for a command line, which is not always
// the name the program is told (see splitWindowsCommandLine): a name that
// starts with a double quote runs to the next double quote (or the end of the
// line), backslashes in it plain; any other name runs to the first blank or
// tab. Blanks and tabs before it are skipped. Empty when the line names none.
std::string windowsProgramToStart(std::string_view commandLine);

// What starting a command line runs: the program CreateProcess starts
// (windowsProgramToStart) and the arguments its C runtime gives it
// (splitWindowsCommandLine), the first of them the name it is told. The two
// names differ only when the program's name holds a double quote.
struct WindowsStart {
  std::string program;
  std::vector<std::string> arguments;
};
WindowsStart windowsStartOf(std::string_view commandLine);

// Why a command line holding a NUL character is never started: Windows reads a
// command line only up to its first NUL, and a POSIX program each argument, so
// the program started, or the texts it is given, would not be the ones the
// line shows.
inline constexpr std::string_view kCommandLineHoldsNul =
    "The command line holds a NUL character, which would cut it short.";

// Whether `commandLine` holds a NUL character (see kCommandLineHoldsNul).
bool holdsNulCharacter(std::string_view commandLine);

}  // namespace kiv
