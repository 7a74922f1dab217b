#include "console_platform.h"

#include <array>
#include <utility>

#include "os_services.h"
#include "scheduler/date_time_text.h"
#include "utf8_path.h"
#include "wall_clock.h"

namespace kiv::ctl {
namespace {

// The answer that changes nothing, for each set of buttons.
constexpr std::array<std::pair<MessageButtons, MessageAnswer>, 3> kSafeAnswers{{
    {MessageButtons::Ok, MessageAnswer::Ok},
    {MessageButtons::YesNo, MessageAnswer::No},
    {MessageButtons::YesNoCancel, MessageAnswer::Cancel},
}};

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

std::string_view withoutTrailingBlanks(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

}  // namespace

ConsolePlatform::ConsolePlatform(std::string scheduleFile, std::ostream& out, std::ostream& err)
    : scheduleFile_(std::move(scheduleFile)), out_(out), err_(err) {}

void ConsolePlatform::note(std::string_view text) {
  err_ << dateTimeText(localNow()) << ' ' << oneLine(text) << '\n' << std::flush;
}

MessageAnswer ConsolePlatform::messageBox(const MessageBoxRequest& request) {
  note(request.text);
  for (const auto& [buttons, answer] : kSafeAnswers) {
    if (buttons == request.buttons) return answer;
  }
  return MessageAnswer::Cancel;
}

std::string ConsolePlatform::inputBox(const std::string&, const std::string&) {
  return "";
}

FileDialogOutcome ConsolePlatform::fileDialog(FileDialogRecord&) {
  return {0, 0};
}

std::string ConsolePlatform::currentFolder() {
  std::error_code error;
  return utf8Text(std::filesystem::current_path(error));
}

FileStorage& ConsolePlatform::fileStorage() {
  return scheduleStorage();
}

const CodePage& ConsolePlatform::ansiCodePage() const {
  return scheduleCodePage();
}

void ConsolePlatform::popupMenu(const MenuItem&) {}
void ConsolePlatform::setWindowHook(bool) {}
void ConsolePlatform::showHelp(int) {}

bool ConsolePlatform::notifyIcon(TrayOperation operation, const NotifyIconData& data) {
  if (operation == TrayOperation::Modify) {
    pendingStatus_.reset();
    printStatus(data.szTip);
  }
  return true;
}

void ConsolePlatform::notify(const std::string&, const std::string& text) {
  note(text);
}

// A start that fails is told by the core, as a notification naming the task.
StartResult ConsolePlatform::startProcess(const std::string& commandLine) {
  StartResult result = programs_.start(commandLine);
  if (result.started && watchedTray_ != nullptr) {
    pendingStatus_ = std::string(withoutTrailingBlanks(watchedTray_->szTip));
  }
  return result;
}

void ConsolePlatform::endProcess() {
  if (pendingStatus_) printStatus(*pendingStatus_);
  pendingStatus_.reset();
  ended_ = true;
}

std::string ConsolePlatform::commandArguments() {
  return "/o " + scheduleFile_;
}

std::string ConsolePlatform::readSetting(const std::string&, const std::string&,
                                         const std::string&) {
  return "";
}

void ConsolePlatform::writeSetting(const std::string&, const std::string&, const std::string&,
                                   const std::string&) {}

ScheduleClaim ConsolePlatform::claimSchedule(const std::string& scheduleFile) {
  return claimScheduleFile(scheduleFile);
}

std::optional<std::string> ConsolePlatform::appendJournalLine(const std::string& line) {
  return appendToJournal(line);
}

Result<std::string, JournalUnreadable> ConsolePlatform::readJournal() {
  return journalText();
}

ClockReading ConsolePlatform::readClock() {
  return readLocalClock();
}

const LocalZone& ConsolePlatform::localZone() {
  return systemLocalZone();
}

std::string ConsolePlatform::generalDateTime(LocalTime time) {
  return dateTimeText(time);
}

std::string ConsolePlatform::monthAbbreviation(int month) {
  return std::string(kMonthAbbreviations.at(static_cast<std::size_t>(month - 1)));
}

void ConsolePlatform::printStatus(std::string_view tip) {
  out_ << withoutTrailingBlanks(tip) << '\n' << std::flush;
}

}  // namespace kiv::ctl
