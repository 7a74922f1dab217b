#include "tooltips.h"

#include <commctrl.h>

#include "ansi_text.h"

namespace kiv {

Tooltips::Tooltips(HWND owner)
    : owner_(owner),
      tooltips_(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                nullptr, nullptr, nullptr)) {}

Tooltips::~Tooltips() {
  DestroyWindow(tooltips_);
}

void Tooltips::add(HWND control, const std::string& text) {
  std::string tip = toAnsi(text);
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  // The tooltip watches the control's mouse messages itself.
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = tip.data();
  SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace kiv
