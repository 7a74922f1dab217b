#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "shell/platform.h"

namespace kiv {

// The Platform of the Qt program: Qt's dialogs, window, settings and locale.
class QtPlatform : public Platform {
 public:
  // The window that showWindow and hideWindow act on and that owns the boxes.
  void setWindow(QWidget* window) { window_ = window; }

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  std::string inputBox(const std::string& prompt, const std::string& title) override;

  FileDialogOutcome fileDialog(FileDialogRecord& record) override;
  std::string currentFolder() override;
  bool flushToDisk(const std::filesystem::path& file) override;

  void showWindow() override;
  void hideWindow() override;
  void popupMenu(const MenuItem& menu) override;
  void setWindowHook(bool installed) override;
  void showHelp(int context) override;

  bool notifyIcon(TrayOperation operation, const NotifyIconData& data) override;

  StartResult startProcess(const std::string& commandLine) override;
  [[noreturn]] void endProcess() override;
  std::string commandArguments() override;

  std::string readSetting(const std::string& application, const std::string& section,
                          const std::string& key) override;
  void writeSetting(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) override;

  LocalTime now() override;
  std::string generalDateTime(LocalTime time) override;
  std::string monthAbbreviation(int month) override;

 private:
  QWidget* boxParent() const;

  QPointer<QWidget> window_;
};

// The process's arguments after its own name, joined with single blanks.
QString joinedArguments(const QStringList& arguments);

}  // namespace kiv
