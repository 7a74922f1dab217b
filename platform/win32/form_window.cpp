#include "form_window.h"

#include <windowsx.h>

#include <array>
#include <utility>

#include "close_reason.h"
#include "form/focus_keys.h"
#include "resource_ids.h"
#include "shortcut_keys.h"
#include "single_scheduler.h"
#include "twips.h"
#include "user_edits.h"
#include "wide_text.h"

namespace kiv {
namespace {

constexpr const wchar_t* kWindowClass = FormWindow::kClassName;
// Posted to itself to act on a command line a later start handed over.
constexpr UINT kHandOverMessage = WM_APP + 1;
constexpr UINT_PTR kTickTimer = 1;
// A fixed-size window: caption, system menu, minimise and close, but no
// maximise. WS_EX_CONTROLPARENT lets Tab move through the controls.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExtendedStyle = WS_EX_CONTROLPARENT;

// The mouse buttons and shift keys as the form's mouse handler counts them.
constexpr std::array<std::pair<UINT, int>, 3> kMouseButtons{{
    {WM_LBUTTONDOWN, 1},
    {WM_RBUTTONDOWN, 2},
    {WM_MBUTTONDOWN, 4},
}};
constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

int shiftState(WPARAM keys) {
  return ((keys & MK_SHIFT) != 0 ? kShiftMask : 0) | ((keys & MK_CONTROL) != 0 ? kCtrlMask : 0) |
         (GetKeyState(VK_MENU) < 0 ? kAltMask : 0);
}

// Shared icons: the system keeps them for the life of the process.
HICON loadIcon(HINSTANCE instance, int sizeMetric) {
  const int size = GetSystemMetrics(sizeMetric);
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_KIV), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

FormWindow::FormWindow(MainForm& form, HINSTANCE instance)
    : form_(form),
      ids_(form),
      menu_(form, ids_),
      dotsPerInch_(screenDotsPerInch()),
      font_(createFormFont(dotsPerInch_)),
      icon_(loadIcon(instance, SM_CXICON)),
      smallIcon_(loadIcon(instance, SM_CXSMICON)) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExW(instance, kWindowClass, &windowClass) == FALSE) {
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
  }

  RECT outer = twipsToPixels(form_.KIV.geometry, dotsPerInch_);
  AdjustWindowRectEx(&outer, kStyle, TRUE, kExtendedStyle);
  // The window keeps its handle when it is created (WM_NCCREATE).
  CreateWindowExW(kExtendedStyle, kWindowClass, toWide(form_.KIV.caption()).c_str(), kStyle,
                  CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                  nullptr, menu_.bar(), instance, this);
  SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  controls_ = std::make_unique<ControlWindows>(form_, ids_, handle_, font_, dotsPerInch_);
  form_.addObserver(this);
  tickTimer_.arm(handle_, kTickTimer);
}

FormWindow::~FormWindow() {
  form_.removeObserver(this);
  KillTimer(handle_, kTickTimer);
  controls_.reset();
  DestroyWindow(handle_);
  DeleteObject(font_);
}

void FormWindow::tick() {
  tickTimer_.arm(handle_, kTickTimer);
  form_.Timer1_Timer();
  if (programs_ == nullptr) return;
  for (const ProgramEnding& ending : programs_->collectEnded()) {
    form_.scheduler().programEnded(ending.pid, ending.outcome);
  }
}

LRESULT CALLBACK FormWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created =
        static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // Until its controls exist, and while it is destroyed, the window is not the form's.
  if (self == nullptr || self->controls_ == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->handleMessage(message, wParam, lParam);
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const std::optional<CloseReason> reason =
          closeReason(message, wParam, InSendMessageEx(nullptr))) {
    int Cancel = 0;
    // Returns only when the close was refused; an accepted close ends the process.
    form_.Form_QueryUnload(Cancel, *reason);
    return message == WM_QUERYENDSESSION ? TRUE : 0;
  }
  switch (message) {
    case WM_COMMAND:
      command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CTLCOLOREDIT:
      return textColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_TIMER:
      if (wParam != kTickTimer) break;
      tick();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      mouseDown(message, wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) break;
      focusActiveControl();
      return 0;
    case WM_MENUSELECT:
      highlightedMenu_ =
          menu_.highlighted(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam));
      return 0;
    // F1 asks here, and only here: the system turns the key into WM_HELP,
    // from a control (passed up by its parent) or from an open menu.
    case WM_HELP: {
      const auto* help = reinterpret_cast<const HELPINFO*>(lParam);
      form_.helpRequested(help->iContextType == HELPINFO_MENUITEM ? highlightedMenu_ : nullptr);
      return TRUE;
    }
    case WM_COPYDATA:
      if (!takeHandOver(*reinterpret_cast<const COPYDATASTRUCT*>(lParam))) break;
      return TRUE;
    case kHandOverMessage:
      actOnHandOver();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

bool FormWindow::takeHandOver(const COPYDATASTRUCT& data) {
  const auto handed = handedOverCommandLine(data);
  if (!handed) return false;
  handedOver_.push_back(*handed);
  PostMessageW(handle_, kHandOverMessage, 0, 0);
  return true;
}

void FormWindow::actOnHandOver() {
  if (handedOver_.empty()) return;
  const auto [arguments, folder] = handedOver_.front();
  handedOver_.erase(handedOver_.begin());
  form_.commandLineHandedOver(arguments, folder);
}

// Menu items and shortcuts come without a child window.
void FormWindow::command(int id, int notification, HWND child) {
  if (child != nullptr) {
    if (Control* control = controls_->controlOf(child)) {
      forwardUserEdit(form_, *control, notification, child, controls_->showing());
    }
    return;
  }
  if (Control* control = ids_.controlOf(id);
      control != nullptr && control->kind() == ControlKind::MenuItem) {
    static_cast<MenuItem*>(control)->press();
  }
}

// A locked box is drawn by the system in its disabled colours; an open one
// takes its text colour from the form.
LRESULT FormWindow::textColours(HDC context, HWND child) const {
  const Control* control = controls_->controlOf(child);
  if (control == nullptr || control->kind() != ControlKind::TextBox) {
    return DefWindowProcW(handle_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(context),
                          reinterpret_cast<LPARAM>(child));
  }
  const Color color = static_cast<const TextBox*>(control)->foreColor();
  SetTextColor(context, RGB(color.red, color.green, color.blue));
  SetBkColor(context, GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

// The notification-area icon's callback arrives here too: message 516 is a
// right-button press whose coordinates carry the mouse message over the icon.
void FormWindow::mouseDown(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const auto& [buttonMessage, button] : kMouseButtons) {
    if (buttonMessage != message) continue;
    form_.Form_MouseDown(button, shiftState(wParam), static_cast<float>(GET_X_LPARAM(lParam)),
                         static_cast<float>(GET_Y_LPARAM(lParam)));
  }
}

// An activated window gives the focus back to the form's active control, or
// to the first control in tab order when the form has none yet.
void FormWindow::focusActiveControl() {
  HWND target = nullptr;
  if (const Control* active = form_.activeControl()) target = controls_->handleOf(*active);
  if (target == nullptr || IsWindowEnabled(target) == FALSE) {
    target = GetNextDlgTabItem(handle_, nullptr, FALSE);
  }
  if (target != nullptr) SetFocus(target);
}

bool FormWindow::preTranslate(MSG& message) const {
  if (message.hwnd != handle_ && IsChild(handle_, message.hwnd) == FALSE) return false;
  // A key the focused control keeps goes to it, though a menu item names it.
  const bool menuKey = !focusKeepsKey(form_, shortcutPressed(message));
  return (menuKey && TranslateAcceleratorW(handle_, menu_.accelerators(), &message) != 0) ||
         IsDialogMessageW(handle_, &message) != FALSE;
}

void FormWindow::propertyChanged(const Control& control, Property property) {
  if (&control == &form_.KIV) {
    // The window itself is shown and hidden through the Platform only.
    if (property == Property::Caption) SetWindowTextW(handle_, toWide(control.caption()).c_str());
  } else if (control.kind() == ControlKind::MenuItem) {
    menu_.show(static_cast<const MenuItem&>(control), property, handle_);
  } else {
    controls_->show(control, property);
  }
}

void FormWindow::focusChanged(const Control* control) {
  HWND target = control != nullptr ? controls_->handleOf(*control) : nullptr;
  if (target != nullptr && GetFocus() != target) SetFocus(target);
}

}  // namespace kiv
