#pragma once

#include <QPointer>
#include <QSocketNotifier>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>

#include "activation_filter.h"
#include "desktop_notifications.h"
#include "form_view.h"
#include "help_window.h"
#include "posix/child_watcher.h"
#include "posix/local_clock.h"
#include "posix/posix_database_files.h"
#include "posix/schedule_locks.h"
#include "posix/system_log_socket.h"
#include "qt_text.h"
#include "shell/platform.h"
#include "tray_icon_view.h"

namespace kiv {

class MainForm;

// The Platform of the Qt program: Qt's dialogs, window, notification-area
// icon, help window, settings and locale; programs start through the POSIX
// starter and are reaped from the event loop when they end, the launch
// journal is written, schedules are locked and the clock is read through the
// POSIX parts.
class QtPlatform : public Platform {
 public:
  QtPlatform();
  ~QtPlatform() override;
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  // The window that showWindow and hideWindow act on and that owns the boxes.
  // When it is the form's view, whatever drawing it holds back is done before
  // a box or menu opens over it.
  void setWindow(QWidget* window);
  // Or the window is made by `make` the first time it is to be shown. Until
  // then the program holds no widgets, fonts or laid-out text: most of what
  // a Kiv idling in the notification area would otherwise hold.
  void setWindowMaker(std::function<QWidget*()> make) { makeWindow_ = std::move(make); }
  // The form that presses on the icon and the window hook report to.
  void connectForm(MainForm& form);
  // The help document showHelp opens; found beside the program by default.
  void setHelpDocument(const QString& path) { helpDocument_ = path; }

  TrayIconView& trayIcon() { return tray_; }
  // The programs started and not yet reaped.
  const posix::ChildWatcher& children() const { return children_; }

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  std::string inputBox(const std::string& prompt, const std::string& title) override;
  std::optional<TaskOptions> taskOptions(const TaskOptionsRequest& request) override;

  FileDialogOutcome fileDialog(FileDialogRecord& record) override;
  std::string currentFolder() override;
  FileStorage& fileStorage() override { return *storage_; }
  DatabaseFiles& databaseFiles() override { return databaseFiles_; }
  SystemLog* systemLog() override { return &systemLog_; }
  bool programsHaveNoExtension() const override { return true; }

  void showWindow() override;
  void hideWindow() override;
  void popupMenu(const MenuItem& menu) override;
  void setWindowHook(bool installed) override;
  void showHelp(int context) override;

  bool notifyIcon(TrayOperation operation, const NotifyIconData& data) override;
  void notify(const std::string& title, const std::string& text) override;
  void notifyFailure(const std::string& title, const std::string& text) override;

  StartResult startProcess(const std::string& commandLine) override;
  void endProgram(ProcessId pid, Ending how) override;
  [[noreturn]] void endProcess() override;
  std::string commandArguments() override;

  std::string readSetting(const std::string& application, const std::string& section,
                          const std::string& key) override;
  void writeSetting(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) override;

  ScheduleClaim claimSchedule(const std::string& scheduleFile) override;
  Result<void, std::string> appendJournalLine(const std::string& line) override;
  Result<std::string, JournalUnreadable> readJournal() override;

  ClockReading readClock() override;
  const LocalZone& localZone() override { return zone_; }
  std::string generalDateTime(LocalTime time) override;
  std::string monthAbbreviation(int month) override;

 private:
  QWidget* boxParent() const;
  // Draws what the view holds back, for as long as the returned hold lives.
  DrawingHold drawnWindow();

  QPointer<QWidget> window_;
  QPointer<FormView> view_;
  std::function<QWidget*()> makeWindow_;
  MainForm* form_ = nullptr;
  TrayIconView tray_;
  // Through the desktop's notification service, else the icon's balloon.
  DesktopNotifications notices_{[this](const QString& title, const QString& text) {
    tray_.showMessage(toCoreText(title), toCoreText(text));
  }};
  ActivationFilter activation_;
  QString helpDocument_;
  std::unique_ptr<HelpWindow> help_;
  std::unique_ptr<FileStorage> storage_;
  posix::PosixDatabaseFiles databaseFiles_;
  posix::SystemLogSocket systemLog_;
  posix::ScheduleLocks locks_{"kiv"};
  posix::SystemLocalZone zone_;
  posix::ChildWatcher children_;
  QSocketNotifier childEndings_;
};

// The process's arguments after its own name, joined with single blanks.
QString joinedArguments(const QStringList& arguments);

}  // namespace kiv
