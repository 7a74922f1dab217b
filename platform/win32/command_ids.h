#pragma once

#include "form/main_form.h"

namespace kiv {

// The command identifiers of the window's controls and menu items: one for
// each control of the form, in the form's order, above the identifiers the
// dialog manager keeps for itself (IDOK, IDCANCEL, ...).
class CommandIds {
 public:
  static constexpr int kFirst = 100;

  explicit CommandIds(MainForm& form) : form_(form) {}

  int idOf(const Control& control) const;
  // nullptr for an identifier that names no control.
  Control* controlOf(int id) const;

 private:
  MainForm& form_;
};

}  // namespace kiv
