#pragma once

#include "windows_api.h"

#include <utility>
#include <vector>

#include "command_ids.h"
#include "form/main_form.h"

namespace kiv {

// The window's menu bar and keyboard accelerators, built from the form's menu
// tree: the form is the one source of captions, shortcuts and states. A menu
// the form keeps invisible (the Access menu) is never on the bar; it is built
// afresh each time it pops up.
class FormMenu {
 public:
  FormMenu(MainForm& form, const CommandIds& ids);
  ~FormMenu();
  FormMenu(const FormMenu&) = delete;
  FormMenu& operator=(const FormMenu&) = delete;

  // Handed to the window, which destroys it with itself.
  HMENU bar() const { return bar_; }
  HACCEL accelerators() const { return accelerators_; }

  // Shows a changed caption or enabled state of an item on the bar.
  void show(const MenuItem& item, Property property, HWND window) const;

  // Pops `menu` up at the mouse and returns the item chosen, or nullptr.
  MenuItem* choose(const MenuItem& menu, HWND window) const;

  // The menu or item the user highlights, from WM_MENUSELECT's values;
  // nullptr once the menu has closed.
  const MenuItem* highlighted(HMENU menu, UINT item, UINT flags) const;

 private:
  HMENU createPopup(const MenuItem& menu) const;
  // The position on the bar of a top-level menu, -1 for any other item.
  int barPosition(const MenuItem& menu) const;

  const CommandIds& ids_;
  std::vector<MenuItem*> barMenus_;  // left to right
  HMENU bar_ = nullptr;
  HACCEL accelerators_ = nullptr;
};

}  // namespace kiv
