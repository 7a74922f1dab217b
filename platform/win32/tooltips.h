#pragma once

#include "windows_api.h"

#include <string>

namespace kiv {

// One tooltip window for the form, showing each control's tip while the mouse
// rests on it.
class Tooltips {
 public:
  explicit Tooltips(HWND owner);
  ~Tooltips();
  Tooltips(const Tooltips&) = delete;
  Tooltips& operator=(const Tooltips&) = delete;

  void add(HWND control, const std::string& text);

 private:
  HWND owner_;
  HWND tooltips_;
};

}  // namespace kiv
