#include "notify_icon.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "ansi_text.h"

namespace kiv {
namespace {

// The text in the system's code page, cut to leave room for the closing NUL
// within `room` characters.
void copyCut(const std::string& text, char* field, std::size_t room) {
  const std::string ansi = toAnsi(text);
  const std::size_t length = std::min(ansi.size(), room - 1);
  std::copy_n(ansi.begin(), length, field);
  field[length] = '\0';
}

}  // namespace

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
  copyCut(data.szTip, record.szTip, NotifyIconData::kTipLength);
  return record;
}

bool notifyShell(TrayOperation operation, const NotifyIconData& data, HWND window, HICON icon) {
  NOTIFYICONDATAA record = shellTrayRecord(data, window, icon);
  return Shell_NotifyIconA(static_cast<DWORD>(operation), &record) != FALSE;
}

NOTIFYICONDATAA shellBalloonRecord(const std::string& title, const std::string& text, HWND window) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V2_SIZE;
  record.hWnd = window;
  record.uID = NotifyIconData{}.uID;
  record.uFlags = NIF_INFO;
  copyCut(title, record.szInfoTitle, sizeof record.szInfoTitle);
  copyCut(text, record.szInfo, sizeof record.szInfo);
  record.dwInfoFlags = NIIF_WARNING;
  return record;
}

bool showBalloon(const std::string& title, const std::string& text, HWND window) {
  NOTIFYICONDATAA record = shellBalloonRecord(title, text, window);
  return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

}  // namespace kiv
