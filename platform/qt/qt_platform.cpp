#include "qt_platform.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QSettings>
#include <cstdlib>
#include <memory>

#include "app/controls.h"
#include "file_flush.h"
#include "input_dialog.h"
#include "locale_texts.h"
#include "message_box.h"
#include "popup_menu.h"
#include "qt_text.h"

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

QString joinedArguments(const QStringList& arguments) {
  return arguments.mid(1).join(QLatin1Char(' '));
}

// A box over a hidden window would be placed against a window nobody sees.
QWidget* QtPlatform::boxParent() const {
  return window_ != nullptr && window_->isVisible() ? window_.data() : nullptr;
}

MessageAnswer QtPlatform::messageBox(const MessageBoxRequest& request) {
  const auto box = makeMessageBox(request, boxParent());
  box->exec();
  return messageAnswer(*box);
}

std::string QtPlatform::inputBox(const std::string& prompt, const std::string& title) {
  InputDialog dialog(prompt, title, boxParent());
  dialog.exec();
  return dialog.answer();
}

// A later change adds the open and save dialogs; until then every call is a cancel.
FileDialogOutcome QtPlatform::fileDialog(FileDialogRecord&) {
  return {0, 0};
}

std::string QtPlatform::currentFolder() {
  return toCoreText(QDir::toNativeSeparators(QDir::currentPath()));
}

bool QtPlatform::flushToDisk(const std::filesystem::path& file) {
  return flushFileToDisk(file);
}

// Showing keeps the window's state: a minimised window stays minimised.
void QtPlatform::showWindow() {
  if (window_ == nullptr) return;
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void QtPlatform::hideWindow() {
  if (window_ != nullptr) window_->hide();
}

// The chosen item is pressed once the menu has closed, outside its event loop.
void QtPlatform::popupMenu(const MenuItem& menu) {
  const auto popup = makePopupMenu(menu, window_);
  if (MenuItem* item = chosenItem(menu, popup->exec(QCursor::pos()))) item->press();
}

// A later change adds the window hook.
void QtPlatform::setWindowHook(bool) {}

// A later change adds the help viewer.
void QtPlatform::showHelp(int) {}

// A later change adds the notification-area icon; until then the shell refuses.
bool QtPlatform::notifyIcon(TrayOperation, const NotifyIconData&) {
  return false;
}

// A later change adds starting programs.
StartResult QtPlatform::startProcess(const std::string&) {
  return {false, "Starting programs is not available in this build yet."};
}

// Ending runs nothing further: no handler, no event, no destructor.
void QtPlatform::endProcess() {
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

LocalTime QtPlatform::now() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return fromCivil(
      {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()});
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
