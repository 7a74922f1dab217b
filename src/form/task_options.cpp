#include <chrono>
#include <optional>
#include <string>

#include "form/main_form.h"
#include "schedule_file/options_record.h"

namespace kiv {
namespace {

// The schedule file holds no other values, so a front-end that let one
// through is not believed.
bool withinRanges(const TaskOptions& options, const CodePage& codePage) {
  const bool waitFits =
      options.wait >= std::chrono::minutes::zero() && options.wait <= kLongestWait;
  const bool limitFits = !options.timeLimit || (*options.timeLimit >= kShortestTimeLimit &&
                                                *options.timeLimit <= kLongestTimeLimit);
  const bool catchUpFits = !options.catchUp || (*options.catchUp >= kShortestCatchUp &&
                                                *options.catchUp <= kLongestCatchUp);
  const bool backupsFit = options.backups >= 0 && options.backups <= kMostBackups;
  return waitFits && limitFits && catchUpFits && backupsFit &&
         !backupFolderProblem(options.backupFolder, codePage);
}

// The reason the schedule file cannot hold a folder, as a sentence of its
// own.
std::string folderProblemSentence(std::string_view folder, const CodePage& codePage) {
  std::optional<FileError> problem = backupFolderProblem(folder, codePage);
  if (!problem) return {};
  std::string sentence = std::move(problem->description);
  if (sentence.front() >= 'a' && sentence.front() <= 'z') {
    sentence.front() = static_cast<char>(sentence.front() - 'a' + 'A');
  }
  return sentence;
}

}  // namespace

void MainForm::mnuOptions_Click() {
  const int task = cmbTask.listIndex();
  if (task < 0) return;
  const CodePage& codePage = platform_.ansiCodePage();
  const std::optional<TaskOptions> chosen = platform_.taskOptions(
      {"Options of task " + std::to_string(task + 1), tasks.at(task).Options,
       tasks.at(task).Compiled != 0, mnuOptions.helpContext,
       [&codePage](std::string_view folder) { return folderProblemSentence(folder, codePage); }});
  // The dialog is modal: a tick may have run meanwhile, so the task is read
  // again rather than held across it.
  Task& edited = tasks.at(task);
  if (!chosen || edited.Compiled != 0 || !withinRanges(*chosen, codePage) ||
      *chosen == edited.Options) {
    return;
  }
  edited.Options = *chosen;
  fctnChange(true);
}

}  // namespace kiv
