#include "tooltips.h"

#include <commctrl.h>

#include "wide_text.h"

namespace kiv {

Tooltips::Tooltips(HWND owner)
    : owner_(owner),
      tooltips_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                nullptr, nullptr, nullptr)) {}

Tooltips::~Tooltips() {
  DestroyWindow(tooltips_);
}

void Tooltips::add(HWND control, const std::string& text) {
  std::wstring tip = toWide(text);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  // The tooltip watches the control's mouse messages itself.
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = tip.data();
  SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace kiv
