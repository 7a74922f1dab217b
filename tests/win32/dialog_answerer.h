#pragma once

#include "windows_api.h"

#include <functional>
#include <string>
#include <thread>

namespace kiv::testing {

// Answers a modal window of this process the way a user would, from a second
// thread, while the test's own thread sits in the call that shows it: waits
// until a visible top-level window of `windowClass` ("#32770" for dialog
// boxes, "#32768" for pop-up menus) with the title `title` (any title when
// empty; UTF-8) appears, and then runs `answer` on it.
class DialogAnswerer {
 public:
  DialogAnswerer(std::string windowClass, std::string title, std::function<void(HWND)> answer);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // Waits for the answer; false when the window never appeared.
  bool answered();

 private:
  std::thread thread_;
  bool found_ = false;
};

// What a user does in a dialog box.
void pressButton(HWND dialog, int id);
// As UTF-8.
std::string dialogItemText(HWND dialog, int id);
// The button drawn as the default, the one Enter presses; 0 when there is none.
int defaultButton(HWND dialog);

// The static text of a message box.
inline constexpr int kMessageBoxText = 0xFFFF;

}  // namespace kiv::testing
