#include "task_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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
    : QDialog(parent),
      folderProblemOf_(request.folderProblem),
      locked_(request.locked),
      showHelp_(std::move(showHelp)) {
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

  backups_ = numberField(QStringLiteral("backups"), 0, kMostBackups, options.backups, this);
  auto* backupsLabel = new QLabel(text(options_dialog::kBackupsLabel), this);
  backupsLabel->setBuddy(backups_);

  backupFolder_ = new QLineEdit(toQString(options.backupFolder), this);
  backupFolder_->setObjectName(QStringLiteral("backupFolder"));
  backupFolder_->setPlaceholderText(text(options_dialog::kBackupFolderHint));
  auto* backupFolderLabel = new QLabel(text(options_dialog::kBackupFolderLabel), this);
  backupFolderLabel->setBuddy(backupFolder_);
  browse_ = new QPushButton(text(options_dialog::kBrowseButton), this);
  browse_->setObjectName(QStringLiteral("browse"));
  browse_->setAutoDefault(false);
  connect(browse_, &QPushButton::clicked, this, &TaskOptionsDialog::browseForFolder);
  folderProblem_ = new QLabel(this);
  folderProblem_->setObjectName(QStringLiteral("folderProblem"));
  folderProblem_->setWordWrap(true);
  folderProblem_->hide();
  connect(backupFolder_, &QLineEdit::textChanged, this, &TaskOptionsDialog::showFolderProblem);

  auto* buttons = new QDialogButtonBox(this);
  if (locked_) {
    buttons->addButton(text(options_dialog::kCloseButton), QDialogButtonBox::RejectRole);
  } else {
    buttons->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
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
  grid->addWidget(backupsLabel, 3, 0);
  grid->addWidget(backups_, 3, 1);
  grid->addWidget(backupFolderLabel, 4, 0);
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(backupFolder_, 1);
  folderRow->addWidget(browse_);
  grid->addLayout(folderRow, 4, 1);
  grid->addWidget(folderProblem_, 5, 0, 1, 2);
  if (locked_) {
    auto* note = new QLabel(text(options_dialog::kLockedNote), this);
    note->setObjectName(QStringLiteral("lockedNote"));
    grid->addWidget(note, 6, 0, 1, 2);
    for (QWidget* field :
         std::initializer_list<QWidget*>{wait_, hasTimeLimit_, timeLimit_, hasCatchUp_, catchUp_,
                                         backups_, backupFolder_, browse_}) {
      field->setEnabled(false);
    }
  }
  grid->addWidget(buttons, 7, 0, 1, 2);

  setTabOrder(wait_, hasTimeLimit_);
  setTabOrder(hasTimeLimit_, timeLimit_);
  setTabOrder(timeLimit_, hasCatchUp_);
  setTabOrder(hasCatchUp_, catchUp_);
  setTabOrder(catchUp_, backups_);
  setTabOrder(backups_, backupFolder_);
  setTabOrder(backupFolder_, browse_);
  setTabOrder(browse_, buttons);
  showFolderProblem();
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
  options.backups = backups_->value();
  options.backupFolder = toCoreText(backupFolder_->text());
  return options;
}

// Said as soon as the folder is typed, and OK held off until it is mended.
void TaskOptionsDialog::showFolderProblem() {
  const std::string problem =
      folderProblemOf_ ? folderProblemOf_(toCoreText(backupFolder_->text())) : std::string();
  folderProblem_->setText(toQString(problem));
  folderProblem_->setVisible(!problem.empty());
  if (ok_ != nullptr) ok_->setEnabled(problem.empty());
}

void TaskOptionsDialog::browseForFolder() {
  const QString chosen = QFileDialog::getExistingDirectory(
      this, text(options_dialog::kBackupFolderLabel).remove(QLatin1Char('&')).chopped(1),
      backupFolder_->text(), QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (!chosen.isEmpty()) backupFolder_->setText(QDir::toNativeSeparators(chosen));
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
