#include "notify_icon.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>

#include "wide_text.h"

namespace kiv {
namespace {

bool isLowSurrogate(wchar_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The text as UTF-16, cut to leave room for the closing NUL within `room`
// code units, before a character rather than through it.
void copyCut(const std::string& text, wchar_t* field, std::size_t room) {
  const std::wstring wide = toWide(text);
  std::size_t length = std::min(wide.size(), room - 1);
  if (length < wide.size() && isLowSurrogate(wide[length])) --length;
  std::copy_n(wide.begin(), length, field);
  field[length] = L'\0';
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
  copyCut(data.szTip, record.szTip, NotifyIconData::kTipLength);
  return record;
}

bool notifyShell(TrayOperation operation, const NotifyIconData& data, HWND window, HICON icon) {
  NOTIFYICONDATAW record = shellTrayRecord(data, window, icon);
  return Shell_NotifyIconW(static_cast<DWORD>(operation), &record) != FALSE;
}

NOTIFYICONDATAW shellBalloonRecord(const std::string& title, const std::string& text, HWND window) {
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V2_SIZE;
  record.hWnd = window;
  record.uID = NotifyIconData{}.uID;
  record.uFlags = NIF_INFO;
  copyCut(title, record.szInfoTitle, std::size(record.szInfoTitle));
  copyCut(text, record.szInfo, std::size(record.szInfo));
  record.dwInfoFlags = NIIF_WARNING;
  return record;
}

bool showBalloon(const std::string& title, const std::string& text, HWND window) {
  NOTIFYICONDATAW record = shellBalloonRecord(title, text, window);
  return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

}  // namespace kiv
