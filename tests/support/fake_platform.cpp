#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>

#include "form/controls.h"
#include "schedule_file/code_page.h"
#include "schedule_file/file_bytes.h"

namespace kiv::testing {
namespace {

// The button a question's default position names; Yes, No and Cancel stand
// in that order in both kinds of question.
MessageAnswer defaultAnswer(const MessageBoxRequest& request) {
  constexpr std::array kInOrder{MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel};
  const int buttons = request.buttons == MessageButtons::YesNo ? 2 : 3;
  if (request.defaultButton < 0 || request.defaultButton >= buttons) {
    ADD_FAILURE() << "no button at " << request.defaultButton << ": " << request.text;
    return MessageAnswer::Cancel;
  }
  return kInOrder.at(static_cast<std::size_t>(request.defaultButton));
}

}  // namespace

void FakePlatform::runDuringQuestion() {
  if (!duringNextQuestion) return;
  auto during = std::move(duringNextQuestion);
  duringNextQuestion = nullptr;
  during();
}

MessageAnswer FakePlatform::messageBox(const MessageBoxRequest& request) {
  messages.push_back(request);
  events.push_back("message: " + request.text);
  runDuringQuestion();
  if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (answers.empty() && enterAnswers) return defaultAnswer(request);
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected question: " << request.text;
    return MessageAnswer::Cancel;
  }
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string FakePlatform::inputBox(const std::string& prompt, const std::string& title) {
  inputBoxes.emplace_back(prompt, title);
  runDuringQuestion();
  if (inputs.empty()) {
    ADD_FAILURE() << "unexpected input box: " << prompt;
    return "";
  }
  std::string entry = inputs.front();
  inputs.pop_front();
  return entry;
}

std::optional<TaskOptions> FakePlatform::taskOptions(const TaskOptionsRequest& request) {
  optionsDialogs.push_back(request);
  events.push_back("options: " + request.title);
  runDuringQuestion();
  if (optionsAnswers.empty()) {
    ADD_FAILURE() << "unexpected options dialog: " << request.title;
    return std::nullopt;
  }
  std::optional<TaskOptions> answer = optionsAnswers.front();
  optionsAnswers.pop_front();
  return answer;
}

FileDialogOutcome FakePlatform::fileDialog(FileDialogRecord& record) {
  fileDialogs.push_back(record);
  events.push_back("file dialog: " + record.title);
  runDuringQuestion();
  if (fileChoices.empty()) {
    ADD_FAILURE() << "unexpected file dialog: " << record.title;
    return {};
  }
  auto [outcome, path] = fileChoices.front();
  fileChoices.pop_front();
  if (outcome.apiReturn == 1) {
    record.file = path;
    record.fileTitle = path.substr(path.find_last_of('/') + 1);
  }
  return outcome;
}

const CodePage& FakePlatform::ansiCodePage() const {
  return codePage != nullptr ? *codePage : Platform::ansiCodePage();
}

FileResult<std::vector<std::uint8_t>> FakeFileStorage::readFile(const std::filesystem::path& path,
                                                                std::size_t limit) {
  return readFileBytes(path, limit);
}

Result<void, FileError> FakeFileStorage::replaceFile(const std::filesystem::path& target,
                                                     std::span<const std::uint8_t> bytes) {
  savedFiles.push_back(target);
  if (!flushSucceeds) return flushFailure();
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return writeFailure({});
  return {};
}

void FakePlatform::showWindow() {
  ++windowShows;
  events.emplace_back("show");
}

void FakePlatform::hideWindow() {
  ++windowHides;
  events.emplace_back("hide");
}

void FakePlatform::setWindowHook(bool installed) {
  windowHooks.push_back(installed);
  events.emplace_back(installed ? "hook" : "unhook");
}

void FakePlatform::endProcess() {
  ended = true;
  events.emplace_back("end");
}

void FakePlatform::popupMenu(const MenuItem& menu) {
  popups.push_back(menu.name());
}

bool FakePlatform::notifyIcon(TrayOperation operation, const NotifyIconData& data) {
  trayCalls.emplace_back(operation, data);
  static const std::array<const char*, 3> kOperations{"tray add", "tray modify", "tray delete"};
  events.emplace_back(kOperations.at(static_cast<std::size_t>(operation)));
  return true;
}

void FakePlatform::notify(const std::string& title, const std::string& text) {
  notifications.emplace_back(title, text);
  events.push_back("notify: " + text);
}

void FakePlatform::notifyFailure(const std::string& title, const std::string& text) {
  failureNotices.push_back(text);
  notify(title, text);
}

StartResult FakePlatform::startProcess(const std::string& commandLine) {
  launches.push_back(commandLine);
  if (startResults.empty()) {
    if (!nextProcessId) return StartedProgram{};
    return StartedProgram{(*nextProcessId)++};
  }
  StartResult result = startResults.front();
  startResults.pop_front();
  return result;
}

std::string FakePlatform::readSetting(const std::string& application, const std::string& section,
                                      const std::string& key) {
  auto found = settings.find({application, section, key});
  return found == settings.end() ? "" : found->second;
}

void FakePlatform::writeSetting(const std::string& application, const std::string& section,
                                const std::string& key, const std::string& value) {
  settings[{application, section, key}] = value;
}

void FakePlatform::setUtc(std::chrono::sys_seconds instant) {
  utcOffset = localZone().utcOffsetAt(instant);
  clock = LocalTime{instant.time_since_epoch() + utcOffset};
}

const LocalZone& FakePlatform::localZone() {
  if (zone != nullptr) return *zone;
  fixedZone_ = FixedZone(utcOffset);
  return fixedZone_;
}

ScheduleClaim FakePlatform::claimSchedule(const std::string& scheduleFile) {
  claims.push_back(scheduleFile);
  if (const auto held = heldByOthers.find(scheduleFile); held != heldByOthers.end()) {
    return {ScheduleClaim::Kind::HeldByOther, held->second};
  }
  claimedSchedule = scheduleFile;
  return {};
}

Result<void, std::string> FakePlatform::appendJournalLine(const std::string& line) {
  if (journalFailure) return *journalFailure;
  journalLines.push_back(line);
  return {};
}

Result<std::string, JournalUnreadable> FakePlatform::readJournal() {
  std::string text;
  for (const std::string& line : journalLines) text += line + '\n';
  return text;
}

// A fixed, easily read regional format: "2026-12-07 02:00:00".
std::string FakePlatform::generalDateTime(LocalTime time) {
  return dateTimeText(time);
}

std::string FakePlatform::monthAbbreviation(int month) {
  static const std::array<const char*, 12> kNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return kNames.at(static_cast<std::size_t>(month - 1));
}

LockFileState FakeDatabaseFiles::lockFile(const std::string& path) {
  const auto scripted = lockFiles.find(path);
  return scripted == lockFiles.end() ? LockFileState{} : scripted->second;
}

Result<FileFacts, std::string> FakeDatabaseFiles::examineFile(const std::string& path) {
  if (std::ranges::find(missing, path) != missing.end()) {
    return std::string("No such file or directory");
  }
  return FileFacts{size, true};
}

Result<VolumeSpace, std::string> FakeDatabaseFiles::volumeSpace(const std::string& /*folder*/) {
  return VolumeSpace{1, size * 100};
}

Result<std::vector<std::string>, std::string> FakeDatabaseFiles::folderNames(
    const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& copied : copies) {
    const std::filesystem::path to(copied.second);
    if (to.parent_path() == folder && std::ranges::find(removed, copied.second) == removed.end()) {
      names.push_back(to.filename().string());
    }
  }
  return names;
}

Result<void, std::string> FakeDatabaseFiles::copyFile(const std::string& from,
                                                      const std::string& to) {
  copies.emplace_back(from, to);
  return {};
}

Result<void, std::string> FakeDatabaseFiles::removeFile(const std::string& path) {
  removed.push_back(path);
  return {};
}

}  // namespace kiv::testing
