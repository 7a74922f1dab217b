#pragma once

#include "windows_api.h"

#include <unordered_map>

#include "command_ids.h"
#include "form/main_form.h"
#include "tooltips.h"

namespace kiv {

// One Win32 child window for every control of the form's client area, at the
// control's twip position, in the form's font, with its tooltip. It shows the
// control's properties; the window that owns it forwards what the user does.
class ControlWindows {
 public:
  ControlWindows(MainForm& form, const CommandIds& ids, HWND window, HFONT font, int dotsPerInch);
  ControlWindows(const ControlWindows&) = delete;
  ControlWindows& operator=(const ControlWindows&) = delete;

  // nullptr for the window itself and for menu items.
  HWND handleOf(const Control& control) const;
  // nullptr for a window that draws no control.
  Control* controlOf(HWND handle) const;

  void show(const Control& control, Property property);
  // True while show() changes a child window: the notifications the change
  // raises echo the form and must not be forwarded to it.
  bool showing() const { return showing_ > 0; }

 private:
  HWND create(Control& control, HWND window, POINT origin, int dotsPerInch);
  void showEveryProperty(const Control& control);

  MainForm& form_;
  std::unordered_map<const Control*, HWND> handles_;
  std::unordered_map<HWND, Control*> controls_;
  const CommandIds& ids_;
  Tooltips tooltips_;
  int showing_ = 0;
};

}  // namespace kiv
