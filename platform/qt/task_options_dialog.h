#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "shell/task_options_question.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kiv {

// The Options dialog of one task: the minutes to wait for a busy database,
// a time limit and a catch-up window, each switched on by its check box, the
// copies of the database to keep and their folder (typed, or chosen with
// Browse). OK (Enter) ends it with the options shown, Cancel (Esc) without;
// while the schedule file cannot hold the folder the dialog says why and OK
// is off. Help and F1 call `showHelp`. A locked request shows the options
// greyed with only Close and Help.
class TaskOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  TaskOptionsDialog(const TaskOptionsRequest& request, std::function<void()> showHelp,
                    QWidget* parent = nullptr);

  // The options shown once OK ended the dialog; nothing otherwise.
  std::optional<TaskOptions> answer() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TaskOptions shownOptions() const;
  void showFolderProblem();
  void browseForFolder();

  QSpinBox* wait_;
  QCheckBox* hasTimeLimit_;
  QSpinBox* timeLimit_;
  QCheckBox* hasCatchUp_;
  QSpinBox* catchUp_;
  QSpinBox* backups_;
  QLineEdit* backupFolder_;
  QPushButton* browse_;
  QLabel* folderProblem_;
  QPushButton* ok_ = nullptr;
  std::function<std::string(std::string_view)> folderProblemOf_;
  bool locked_;
  std::function<void()> showHelp_;
};

}  // namespace kiv
