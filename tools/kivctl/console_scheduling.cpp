#include "console_scheduling.h"

#include <array>

#include "os_services.h"
#include "scheduler/date_time_text.h"
#include "wall_clock.h"

namespace kiv::ctl {
namespace {

constexpr std::array<std::string_view, 12> kMonthAbbreviations{
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A message of several paragraphs still takes one line of the log: each run
// of line breaks becomes one blank.
std::string oneLine(std::string_view text) {
  std::string line;
  for (const char c : text) {
    if (c != '\r' && c != '\n') {
      line += c;
    } else if (!line.empty() && line.back() != ' ') {
      line += ' ';
    }
  }
  return line;
}

}  // namespace

ConsoleScheduling::ConsoleScheduling(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

void ConsoleScheduling::note(std::string_view text) {
  err_ << dateTimeText(localNow()) << ' ' << oneLine(text) << '\n' << std::flush;
}

ClockReading ConsoleScheduling::readClock() {
  return readLocalClock();
}

const LocalZone& ConsoleScheduling::localZone() {
  return systemLocalZone();
}

std::string ConsoleScheduling::generalDateTime(LocalTime time) {
  return dateTimeText(time);
}

std::string ConsoleScheduling::monthAbbreviation(int month) {
  return std::string(kMonthAbbreviations.at(static_cast<std::size_t>(month - 1)));
}

StartResult ConsoleScheduling::startProcess(const std::string& commandLine) {
  return programs_.start(commandLine);
}

void ConsoleScheduling::endProgram(ProcessId pid, Ending how) {
  programs_.end(pid, how);
}

Result<void, std::string> ConsoleScheduling::appendJournalLine(const std::string& line) {
  return appendToJournal(line);
}

Result<std::string, JournalUnreadable> ConsoleScheduling::readJournal() {
  return journalText();
}

void ConsoleScheduling::notify(const std::string&, const std::string& text) {
  note(text);
}

void ConsoleScheduling::launchStarting(const LaunchNotice&) {}

// One line for each launch that started, as the window's icon tip shows it;
// a launch that closes the scheduler prints it too, as the last line.
void ConsoleScheduling::launchStarted(const LaunchNotice& notice) {
  out_ << notice.status << '\n' << std::flush;
}

}  // namespace kiv::ctl
