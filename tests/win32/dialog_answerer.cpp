#include "dialog_answerer.h"

#include <chrono>

#include "waiting.h"
#include "wide_text.h"
#include "window_search.h"

namespace kiv::testing {
namespace {

constexpr auto kAppearLimit = std::chrono::seconds{20};

HWND waitForWindow(const std::string& windowClass, const std::string& title) {
  const WindowQuery query{GetCurrentProcessId(), windowClass, title, true};
  HWND found = nullptr;
  waitUntil([&] { return (found = findTopLevelWindow(query)) != nullptr; }, kAppearLimit);
  return found;
}

}  // namespace

DialogAnswerer::DialogAnswerer(std::string windowClass, std::string title,
                               std::function<void(HWND)> answer)
    : thread_([this, windowClass = std::move(windowClass), title = std::move(title),
               answer = std::move(answer)] {
        HWND window = waitForWindow(windowClass, title);
        if (window == nullptr) return;
        found_ = true;
        answer(window);
      }) {}

DialogAnswerer::~DialogAnswerer() {
  if (thread_.joinable()) thread_.join();
}

bool DialogAnswerer::answered() {
  if (thread_.joinable()) thread_.join();
  return found_;
}

void pressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string dialogItemText(HWND dialog, int id) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(dialog, id, text, 1024);
  return fromWide(text);
}

int defaultButton(HWND dialog) {
  for (const int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
    HWND button = GetDlgItem(dialog, id);
    if (button != nullptr && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      return id;
  }
  return 0;
}

}  // namespace kiv::testing
