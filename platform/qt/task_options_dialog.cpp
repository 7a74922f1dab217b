#include "task_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <utility>

#include "qt_text.h"

namespace kiv {
namespace {

QString text(std::string_view core) {
  return toQString(std::string(core));
}

QSpinBox* numberField(const QString& name, int lowest, int highest, int value, QWidget* parent) {
  auto* field = new QSpinBox(parent);
  field->setObjectName(name);
  field->setRange(lowest, highest);
  field->setValue(value);
  return field;
}

// A check box that switches its number on and off.
QCheckBox* switchFor(const QString& name, std::string_view caption, bool on, QSpinBox* number,
                     QWidget* parent) {
  auto* box = new QCheckBox(text(caption), parent);
  box->setObjectName(name);
  box->setChecked(on);
  number->setEnabled(on);
  QObject::connect(box, &QCheckBox::toggled, number, &QWidget::setEnabled);
  return box;
}

}  // namespace

TaskOptionsDialog::TaskOptionsDialog(const TaskOptionsRequest& request,
                                     std::function<void()> showHelp, QWidget* parent)
    : QDialog(parent), locked_(request.locked), showHelp_(std::move(showHelp)) {
  setWindowTitle(toQString(request.title));
  const TaskOptions& options = request.options;

  wait_ = numberField(QStringLiteral("wait"), 0, static_cast<int>(kLongestWait.count()),
                      static_cast<int>(options.wait.count()), this);
  auto* waitLabel = new QLabel(text(options_dialog::kWaitLabel), this);
  waitLabel->setBuddy(wait_);

  timeLimit_ = numberField(
      QStringLiteral("timeLimit"), static_cast<int>(kShortestTimeLimit.count()),
      static_cast<int>(kLongestTimeLimit.count()),
      static_cast<int>(options.timeLimit.value_or(options_dialog::kOfferedTimeLimit).count()),
      this);
  hasTimeLimit_ = switchFor(QStringLiteral("hasTimeLimit"), options_dialog::kTimeLimitCheck,
                            options.timeLimit.has_value(), timeLimit_, this);

  catchUp_ = numberField(
      QStringLiteral("catchUp"), static_cast<int>(kShortestCatchUp.count()),
      static_cast<int>(kLongestCatchUp.count()),
      static_cast<int>(options.catchUp.value_or(options_dialog::kOfferedCatchUp).count()), this);
  hasCatchUp_ = switchFor(QStringLiteral("hasCatchUp"), options_dialog::kCatchUpCheck,
                          options.catchUp.has_value(), catchUp_, this);

  auto* buttons = new QDialogButtonBox(this);
  if (locked_) {
    buttons->addButton(text(options_dialog::kCloseButton), QDialogButtonBox::RejectRole);
  } else {
    buttons->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  }
  buttons->addButton(text(options_dialog::kHelpButton), QDialogButtonBox::HelpRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this] { showHelp_(); });

  auto* grid = new QGridLayout(this);
  grid->addWidget(waitLabel, 0, 0);
  grid->addWidget(wait_, 0, 1);
  grid->addWidget(hasTimeLimit_, 1, 0);
  grid->addWidget(timeLimit_, 1, 1);
  grid->addWidget(hasCatchUp_, 2, 0);
  grid->addWidget(catchUp_, 2, 1);
  if (locked_) {
    auto* note = new QLabel(text(options_dialog::kLockedNote), this);
    note->setObjectName(QStringLiteral("lockedNote"));
    grid->addWidget(note, 3, 0, 1, 2);
    for (QWidget* field : {static_cast<QWidget*>(wait_), static_cast<QWidget*>(hasTimeLimit_),
                           static_cast<QWidget*>(timeLimit_), static_cast<QWidget*>(hasCatchUp_),
                           static_cast<QWidget*>(catchUp_)}) {
      field->setEnabled(false);
    }
  }
  grid->addWidget(buttons, 4, 0, 1, 2);

  setTabOrder(wait_, hasTimeLimit_);
  setTabOrder(hasTimeLimit_, timeLimit_);
  setTabOrder(timeLimit_, hasCatchUp_);
  setTabOrder(hasCatchUp_, catchUp_);
  setTabOrder(catchUp_, buttons);
  if (locked_) {
    buttons->buttons().constFirst()->setFocus();
  } else {
    wait_->setFocus();
  }
}

std::optional<TaskOptions> TaskOptionsDialog::answer() const {
  if (locked_ || result() != QDialog::Accepted) return std::nullopt;
  return shownOptions();
}

TaskOptions TaskOptionsDialog::shownOptions() const {
  TaskOptions options;
  options.wait = std::chrono::minutes{wait_->value()};
  if (hasTimeLimit_->isChecked()) options.timeLimit = std::chrono::minutes{timeLimit_->value()};
  if (hasCatchUp_->isChecked()) options.catchUp = std::chrono::hours{catchUp_->value()};
  return options;
}

// F1 reaches the dialog from whichever of its fields has the focus, since none
// of them takes it.
void TaskOptionsDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    showHelp_();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace kiv
