#include "qt_platform.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <cstdlib>
#include <memory>

#include "file_dialog.h"
#include "form/controls.h"
#include "form/main_form.h"
#include "input_dialog.h"
#include "locale_texts.h"
#include "message_box.h"
#include "popup_menu.h"
#include "posix/launch_journal_file.h"
#include "posix/posix_file_storage.h"
#include "posix/process_starter.h"
#include "qt_text.h"
#include "task_options_dialog.h"
#include "window_system_sync.h"

namespace kiv {
namespace {

// One section of an application's settings in the native store (the registry
// on Windows, a .conf file elsewhere). QSettings needs an organization; the
// application names its own.
std::unique_ptr<QSettings> openSection(const std::string& application, const std::string& section) {
  const QString name = toQString(application);
  auto settings =
      std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, name, name);
  settings->beginGroup(toQString(section));
  return settings;
}

}  // namespace

QtPlatform::QtPlatform()
    : activation_([this] {
        if (form_ != nullptr) form_->hook.WindowProc(WindowHook::WM_ACTIVATEAPP, 1);
      }),
      helpDocument_(findHelpDocument()),
      storage_(std::make_unique<posix::PosixFileStorage>()),
      children_([this](const posix::ChildEnding& ending) {
        if (form_ != nullptr)
          form_->scheduler().programEnded(ending.pid, posix::programOutcome(ending));
      }),
      childEndings_(children_.descriptor(), QSocketNotifier::Read) {
  QObject::connect(&childEndings_, &QSocketNotifier::activated, [this] { children_.reap(); });
}

QtPlatform::~QtPlatform() {
  setWindowHook(false);
}

void QtPlatform::connectForm(MainForm& form) {
  form_ = &form;
  tray_.setPressHandler([this](int button, int mouseMessage) {
    form_->Form_MouseDown(button, 0, static_cast<float>(mouseMessage), 0);
  });
}

void QtPlatform::setWindow(QWidget* window) {
  window_ = window;
  view_ = qobject_cast<FormView*>(window);
}

DrawingHold QtPlatform::drawnWindow() {
  return DrawingHold(view_, false);
}

QString joinedArguments(const QStringList& arguments) {
  return arguments.mid(1).join(QLatin1Char(' '));
}

// A box over a hidden window would be placed against a window nobody sees.
QWidget* QtPlatform::boxParent() const {
  return window_ != nullptr && window_->isVisible() ? window_.data() : nullptr;
}

MessageAnswer QtPlatform::messageBox(const MessageBoxRequest& request) {
  const DrawingHold drawn = drawnWindow();
  const auto box = makeMessageBox(request, boxParent());
  box->exec();
  return messageAnswer(*box);
}

std::string QtPlatform::inputBox(const std::string& prompt, const std::string& title) {
  const DrawingHold drawn = drawnWindow();
  InputDialog dialog(prompt, title, boxParent());
  dialog.exec();
  return dialog.answer();
}

// Modal to the window only, so that the help it opens can be read beside it.
std::optional<TaskOptions> QtPlatform::taskOptions(const TaskOptionsRequest& request) {
  const DrawingHold drawn = drawnWindow();
  TaskOptionsDialog dialog(
      request, [this, context = request.helpContext] { showHelp(context); }, boxParent());
  if (dialog.parentWidget() != nullptr) dialog.setWindowModality(Qt::WindowModal);
  dialog.exec();
  return dialog.answer();
}

FileDialogOutcome QtPlatform::fileDialog(FileDialogRecord& record) {
  const DrawingHold drawn = drawnWindow();
  const auto dialog = makeFileDialog(record, record.ownedByMainWindow ? boxParent() : nullptr);
  if (dialog->exec() != QDialog::Accepted) return {0, 0};
  takeFileChoice(*dialog, record);
  // As with the system's own dialogs, the chosen file's folder becomes the
  // current folder, where the next Open or Save As starts.
  QDir::setCurrent(QFileInfo(toQString(record.file)).absolutePath());
  return {1, 0};
}

std::string QtPlatform::currentFolder() {
  return toCoreText(QDir::toNativeSeparators(QDir::currentPath()));
}

// Showing keeps the window's state: a minimised window stays minimised.
void QtPlatform::showWindow() {
  if (window_ == nullptr && makeWindow_) setWindow(std::exchange(makeWindow_, nullptr)());
  if (window_ == nullptr) return;
  const DrawingHold drawn = drawnWindow();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void QtPlatform::hideWindow() {
  if (window_ != nullptr) window_->hide();
}

// The chosen item is pressed once the menu has closed, outside its event loop.
void QtPlatform::popupMenu(const MenuItem& menu) {
  const DrawingHold drawn = drawnWindow();
  const auto popup = makePopupMenu(menu, window_);
  if (MenuItem* item = chosenItem(menu, popup->exec(QCursor::pos()))) item->press();
}

// The hook watches for the application becoming active. The other moment the
// icon must come back, a restart of the panel, Qt handles itself: it
// registers a shown icon again with the new notification area.
void QtPlatform::setWindowHook(bool installed) {
  if (installed) {
    qApp->installEventFilter(&activation_);
  } else if (qApp != nullptr) {
    qApp->removeEventFilter(&activation_);
  }
}

void QtPlatform::showHelp(int context) {
  if (help_ == nullptr) help_ = std::make_unique<HelpWindow>(helpDocument_);
  help_->showAt(context);
}

bool QtPlatform::notifyIcon(TrayOperation operation, const NotifyIconData& data) {
  return tray_.apply(operation, data);
}

void QtPlatform::notify(const std::string& title, const std::string& text) {
  notices_.show(toQString(title), toQString(text), DesktopNotifications::Urgency::Normal);
}

void QtPlatform::notifyFailure(const std::string& title, const std::string& text) {
  notices_.show(toQString(title), toQString(text), DesktopNotifications::Urgency::Critical);
}

StartResult QtPlatform::startProcess(const std::string& commandLine) {
  return posix::start(commandLine, children_);
}

void QtPlatform::endProgram(ProcessId pid, Ending how) {
  children_.end(static_cast<pid_t>(pid), how);
}

// Ending runs nothing further: no handler, no event, no destructor. The icon
// has just been removed; the window system has taken that in before the
// process goes, so the notification area never shows a dead icon.
void QtPlatform::endProcess() {
  syncWindowSystem();
  std::_Exit(EXIT_SUCCESS);
}

std::string QtPlatform::commandArguments() {
  return toCoreText(joinedArguments(QCoreApplication::arguments()));
}

std::string QtPlatform::readSetting(const std::string& application, const std::string& section,
                                    const std::string& key) {
  return toCoreText(openSection(application, section)->value(toQString(key)).toString());
}

void QtPlatform::writeSetting(const std::string& application, const std::string& section,
                              const std::string& key, const std::string& value) {
  const auto settings = openSection(application, section);
  settings->setValue(toQString(key), toQString(value));
  settings->sync();
}

ScheduleClaim QtPlatform::claimSchedule(const std::string& scheduleFile) {
  return locks_.claim(scheduleFile);
}

Result<void, std::string> QtPlatform::appendJournalLine(const std::string& line) {
  return posix::LaunchJournalFile::forUser().append(line);
}

Result<std::string, JournalUnreadable> QtPlatform::readJournal() {
  return posix::LaunchJournalFile::forUser().read();
}

ClockReading QtPlatform::readClock() {
  return posix::readLocalClock();
}

std::string QtPlatform::generalDateTime(LocalTime time) {
  const CivilTime civil = toCivil(time);
  return toCoreText(generalDateTimeText(QDate(civil.year, civil.month, civil.day),
                                        QTime(civil.hour, civil.minute, civil.second), QLocale()));
}

std::string QtPlatform::monthAbbreviation(int month) {
  return toCoreText(QLocale().monthName(month, QLocale::ShortFormat));
}

}  // namespace kiv
