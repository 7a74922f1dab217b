#include "notify_icon.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "ansi_text.h"

namespace kiv {

static_assert(NOTIFYICONDATAA_V1_SIZE == NotifyIconData::kSize);
static_assert(offsetof(NOTIFYICONDATAA, szTip) + NotifyIconData::kTipLength ==
                  NOTIFYICONDATAA_V1_SIZE,
              "the oldest record ends with a tip of 64 characters");
static_assert(static_cast<DWORD>(TrayOperation::Add) == NIM_ADD &&
              static_cast<DWORD>(TrayOperation::Modify) == NIM_MODIFY &&
              static_cast<DWORD>(TrayOperation::Delete) == NIM_DELETE);

NOTIFYICONDATAA shellTrayRecord(const NotifyIconData& data, HWND window, HICON icon) {
  NOTIFYICONDATAA record{};
  record.cbSize = data.cbSize;
  record.hWnd = window;
  record.uID = data.uID;
  record.uFlags = data.uFlags;
  record.uCallbackMessage = data.uCallbackMessage;
  record.hIcon = icon;
  const std::string tip = toAnsi(data.szTip);
  const std::size_t length = std::min(tip.size(), NotifyIconData::kTipLength - 1);
  std::copy_n(tip.begin(), length, record.szTip);
  record.szTip[length] = '\0';
  return record;
}

bool notifyShell(TrayOperation operation, const NotifyIconData& data, HWND window, HICON icon) {
  NOTIFYICONDATAA record = shellTrayRecord(data, window, icon);
  return Shell_NotifyIconA(static_cast<DWORD>(operation), &record) != FALSE;
}

}  // namespace kiv
