#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "shell/task_options_question.h"

class QCheckBox;
class QSpinBox;

namespace kiv {

// The Options dialog of one task: the minutes to wait for a busy database,
// and a time limit and a catch-up window, each switched on by its check box.
// OK (Enter) ends it with the options shown, Cancel (Esc) without; Help and
// F1 call `showHelp`. A locked request shows the options greyed with only
// Close and Help.
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

  QSpinBox* wait_;
  QCheckBox* hasTimeLimit_;
  QSpinBox* timeLimit_;
  QCheckBox* hasCatchUp_;
  QSpinBox* catchUp_;
  bool locked_;
  std::function<void()> showHelp_;
};

}  // namespace kiv
