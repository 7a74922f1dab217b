#pragma once

#include "windows_api.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "command_ids.h"
#include "control_windows.h"
#include "form/main_form.h"
#include "form_menu.h"
#include "program_watcher.h"
#include "tick_timer.h"

namespace kiv {

// The main window drawn with Win32 controls. It decides nothing: it builds a
// child window for each control of the form, shows every property change the
// form reports, and hands each user action to the same setter the core itself
// uses. Close requests, mouse presses, the tick timer and the help key go to
// the form's handlers.
class FormWindow : public FormObserver {
 public:
  // The window class, by which a later start finds the running window.
  static constexpr const wchar_t* kClassName = L"KivForm";

  FormWindow(MainForm& form, HINSTANCE instance);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  MainForm& form() const { return form_; }
  HWND handle() const { return handle_; }
  // The form's icon at the size the notification area shows.
  HICON icon() const { return smallIcon_; }
  // The child window of a control; nullptr for the window and menu items.
  HWND handleOf(const Control& control) const { return controls_->handleOf(control); }
  const FormMenu& menu() const { return menu_; }

  // The window's share of the message loop: menu shortcuts, then the dialog
  // keys (Tab, mnemonics). True when the message has been dealt with.
  bool preTranslate(MSG& message) const;
  // The waitable timer the message loop waits on, signalled when a tick is
  // due; nullptr where the window's timer alone carries the ticks.
  HANDLE tickTimer() const { return tickTimer_.handle(); }
  // Runs one tick: arms the next, then the form's tick handler, then tells
  // the form of each program of `reportEndingsOf` that has ended. Armed
  // first, so a question the tick asks does not hold the clock up while it
  // is open; endings last, so nothing they show delays a launch that is due.
  void tick();
  // The started programs whose endings each tick hands to the form.
  void reportEndingsOf(ProgramWatcher& programs) { programs_ = &programs; }

  void propertyChanged(const Control& control, Property property) override;
  void focusChanged(const Control* control) override;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // A later start's command line (WM_COPYDATA) is taken at once and acted on
  // from the message loop, so the sender never waits for a question.
  bool takeHandOver(const COPYDATASTRUCT& data);
  void actOnHandOver();
  void command(int id, int notification, HWND child);
  void forwardEdit(Control& control, int notification, HWND child);
  LRESULT textColours(HDC context, HWND child) const;
  void mouseDown(UINT message, WPARAM wParam, LPARAM lParam);
  void focusActiveControl();

  MainForm& form_;
  CommandIds ids_;
  FormMenu menu_;
  int dotsPerInch_;
  HFONT font_;
  HICON icon_;
  HICON smallIcon_;
  HWND handle_ = nullptr;
  std::unique_ptr<ControlWindows> controls_;
  const MenuItem* highlightedMenu_ = nullptr;
  std::vector<std::pair<std::string, std::string>> handedOver_;  // arguments, folder
  TickTimer tickTimer_;
  ProgramWatcher* programs_ = nullptr;
};

}  // namespace kiv
