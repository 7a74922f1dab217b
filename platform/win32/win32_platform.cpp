#include "win32_platform.h"

#include "ansi_code_page.h"
#include "command_arguments.h"
#include "file_dialog.h"
#include "form_window.h"
#include "help_document.h"
#include "input_box.h"
#include "launch_journal_file.h"
#include "local_clock.h"
#include "message_box.h"
#include "notify_icon.h"
#include "registry_settings.h"
#include "task_options_dialog.h"
#include "wide_text.h"
#include "window_hook.h"

namespace kiv {

void Win32Platform::setWindow(FormWindow* window) {
  window_ = window;
  if (window_ != nullptr) window_->reportEndingsOf(programs_);
}

HWND Win32Platform::windowHandle() const {
  return window_ != nullptr ? window_->handle() : nullptr;
}

HWND Win32Platform::boxOwner() const {
  HWND window = windowHandle();
  return window != nullptr && IsWindowVisible(window) != FALSE ? window : nullptr;
}

MessageAnswer Win32Platform::messageBox(const MessageBoxRequest& request) {
  return showMessageBox(boxOwner(), request);
}

std::string Win32Platform::inputBox(const std::string& prompt, const std::string& title) {
  return showInputBox(instance_, boxOwner(), prompt, title);
}

std::optional<TaskOptions> Win32Platform::taskOptions(const TaskOptionsRequest& request) {
  return showTaskOptionsDialog(instance_, boxOwner(), request,
                               [this, context = request.helpContext] { showHelp(context); });
}

FileDialogOutcome Win32Platform::fileDialog(FileDialogRecord& record) {
  FileDialogCall call(windowHandle(), record);
  return call.run(record);
}

std::string Win32Platform::currentFolder() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return fromWide(folder);
}

const CodePage& Win32Platform::ansiCodePage() const {
  return systemAnsiCodePage();
}

// Showing keeps the window's state: a minimised window stays minimised.
void Win32Platform::showWindow() {
  HWND window = windowHandle();
  if (window == nullptr) return;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
}

void Win32Platform::hideWindow() {
  if (HWND window = windowHandle()) ShowWindow(window, SW_HIDE);
}

// The chosen item is pressed once the menu has closed.
void Win32Platform::popupMenu(const MenuItem& menu) {
  if (window_ == nullptr) return;
  if (MenuItem* item = window_->menu().choose(menu, window_->handle())) item->press();
}

void Win32Platform::setWindowHook(bool installed) {
  if (window_ == nullptr) return;
  if (installed) {
    installWindowHook(window_->handle(), window_->form().hook);
  } else {
    removeWindowHook(window_->handle());
  }
}

void Win32Platform::showHelp(int context) {
  openHelpDocument(boxOwner(), helpDocumentBesideProgram(), context);
}

bool Win32Platform::notifyIcon(TrayOperation operation, const NotifyIconData& data) {
  if (window_ == nullptr) return false;
  return notifyShell(operation, data, window_->handle(), window_->icon());
}

void Win32Platform::notify(const std::string& title, const std::string& text) {
  if (window_ != nullptr) showBalloon(title, text, window_->handle());
}

StartResult Win32Platform::startProcess(const std::string& commandLine) {
  return programs_.start(commandLine);
}

void Win32Platform::endProgram(ProcessId pid, Ending how) {
  programs_.end(pid, how);
}

// Ending runs nothing further: no handler, no message, no destructor.
void Win32Platform::endProcess() {
  ExitProcess(0);
}

std::string Win32Platform::commandArguments() {
  return argumentsAfterProgramName(fromWide(GetCommandLineW()));
}

std::string Win32Platform::readSetting(const std::string& application, const std::string& section,
                                       const std::string& key) {
  return readRegistrySetting(application, section, key);
}

void Win32Platform::writeSetting(const std::string& application, const std::string& section,
                                 const std::string& key, const std::string& value) {
  writeRegistrySetting(application, section, key, value);
}

ScheduleClaim Win32Platform::claimSchedule(const std::string& scheduleFile) {
  return locks_.claim(scheduleFile);
}

Result<void, std::string> Win32Platform::appendJournalLine(const std::string& line) {
  return Win32JournalFile::forUser().append(line);
}

Result<std::string, JournalUnreadable> Win32Platform::readJournal() {
  return Win32JournalFile::forUser().read();
}

ClockReading Win32Platform::readClock() {
  return readLocalClock();
}

std::string Win32Platform::generalDateTime(LocalTime time) {
  return userGeneralDateTime(time);
}

std::string Win32Platform::monthAbbreviation(int month) {
  return userMonthAbbreviation(month);
}

}  // namespace kiv
