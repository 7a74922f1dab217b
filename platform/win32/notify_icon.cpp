#include "notify_icon.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "wide_text.h"

namespace kiv {
namespace {

bool isLowSurrogate(wchar_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

// The core's record is the documented ANSI one; only its tip changes form here.
static_assert(NOTIFYICONDATAA_V1_SIZE == NotifyIconData::kSize);
static_assert(offsetof(NOTIFYICONDATAW, szTip) + NotifyIconData::kTipLength * sizeof(wchar_t) ==
                  NOTIFYICONDATAW_V1_SIZE,
              "the oldest record ends with a tip of 64 characters");
static_assert(static_cast<DWORD>(TrayOperation::Add) == NIM_ADD &&
              static_cast<DWORD>(TrayOperation::Modify) == NIM_MODIFY &&
              static_cast<DWORD>(TrayOperation::Delete) == NIM_DELETE);

NOTIFYICONDATAW shellTrayRecord(const NotifyIconData& data, HWND window, HICON icon) {
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = window;
  record.uID = data.uID;
  record.uFlags = data.uFlags;
  record.uCallbackMessage = data.uCallbackMessage;
  record.hIcon = icon;
  const std::wstring tip = toWide(data.szTip);
  std::size_t length = std::min(tip.size(), NotifyIconData::kTipLength - 1);
  if (length < tip.size() && isLowSurrogate(tip[length])) --length;
  std::copy_n(tip.begin(), length, record.szTip);
  record.szTip[length] = L'\0';
  return record;
}

bool notifyShell(TrayOperation operation, const NotifyIconData& data, HWND window, HICON icon) {
  NOTIFYICONDATAW record = shellTrayRecord(data, window, icon);
  return Shell_NotifyIconW(static_cast<DWORD>(operation), &record) != FALSE;
}

}  // namespace kiv
