#include "control_windows.h"

#include <commctrl.h>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "drawn_geometry.h"
#include "text_box_keys.h"
#include "twips.h"
#include "wide_text.h"
#include "window_text.h"

namespace kiv {
namespace {

struct WindowKind {
  ControlKind kind;
  const wchar_t* windowClass;
  DWORD style;
  DWORD extendedStyle;
};

// The check boxes and buttons notify focus changes (BS_NOTIFY), so the form
// learns where the focus is. A label keeps to its one line: a second line
// would be cut by the label's height anyway.
constexpr std::array<WindowKind, 6> kWindowKinds{{
    {ControlKind::TextBox, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {ControlKind::ComboBox, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
    {ControlKind::CheckBox, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX | BS_NOTIFY, 0},
    {ControlKind::CommandButton, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0},
    {ControlKind::Label, L"STATIC", SS_LEFTNOWORDWRAP, 0},
    {ControlKind::Frame, L"BUTTON", BS_GROUPBOX, 0},
}};

const WindowKind* windowKindOf(ControlKind kind) {
  const auto found = std::find_if(kWindowKinds.begin(), kWindowKinds.end(),
                                  [kind](const WindowKind& entry) { return entry.kind == kind; });
  return found == kWindowKinds.end() ? nullptr : &*found;
}

constexpr std::array kEveryProperty{Property::Caption,  Property::Text,    Property::ListIndex,
                                    Property::Value,    Property::Enabled, Property::Visible,
                                    Property::ForeColor};

// Check box values by position: unchecked, checked, grayed.
constexpr std::array<WPARAM, 3> kCheckStates{BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE};

// Entries a dropped-down list shows before it scrolls.
constexpr int kVisibleListEntries = 14;

// A grayed value is shown in the third state, but a click must never lead
// the user into it, so the box has three states only while it shows that one.
void showCheckValue(HWND handle, int value) {
  const DWORD style = value == CheckBox::kGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX;
  SendMessageW(handle, BM_SETSTYLE, style | BS_NOTIFY, TRUE);
  SendMessageW(handle, BM_SETCHECK, kCheckStates.at(static_cast<std::size_t>(value)), 0);
}

void fillList(HWND combo, const ComboBox& list) {
  for (const std::string& item : list.items()) {
    const std::wstring entry = toWide(item);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
}

// A drop-down list's height is its field and its dropped list together; the
// field's own height follows the font.
void makeRoomForList(HWND combo, const RECT& field) {
  const auto entryHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
  SetWindowPos(combo, nullptr, 0, 0, field.right - field.left,
               field.bottom - field.top + kVisibleListEntries * entryHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

ControlWindows::ControlWindows(MainForm& form, const CommandIds& ids, HWND window, HFONT font,
                               int dotsPerInch)
    : form_(form), ids_(ids), tooltips_(window) {
  // Created in tab order: the dialog manager moves the focus in the order
  // the windows were made.
  std::vector<Control*> ordered = form.controls();
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
  const RECT frame = twipsToPixels(form.Frame1.geometry, dotsPerInch);
  for (Control* control : ordered) {
    const bool inFrame = control != &form.Frame1;
    const POINT origin = inFrame ? POINT{frame.left, frame.top} : POINT{0, 0};
    HWND handle = create(*control, window, origin, dotsPerInch);
    if (handle == nullptr) continue;
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!control->tooltip.empty()) tooltips_.add(handle, control->tooltip);
    showEveryProperty(*control);
  }
  // The frame is drawn behind the controls it holds.
  SetWindowPos(handleOf(form.Frame1), HWND_BOTTOM, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND ControlWindows::create(Control& control, HWND window, POINT origin, int dotsPerInch) {
  const WindowKind* kind = windowKindOf(control.kind());
  if (kind == nullptr) return nullptr;  // the window itself and the menu items
  DWORD style = WS_CHILD | kind->style;
  if (control.kind() == ControlKind::TextBox &&
      static_cast<TextBox&>(control).passwordChar != '\0') {
    style |= ES_PASSWORD;
  }
  const RECT place = twipsToPixels(drawnGeometry(form_, control), dotsPerInch, origin);
  HWND handle = CreateWindowExW(
      kind->extendedStyle, kind->windowClass, L"", style, place.left, place.top,
      place.right - place.left, place.bottom - place.top, window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids_.idOf(control))), nullptr, nullptr);
  handles_.emplace(&control, handle);
  controls_.emplace(handle, &control);

  if (control.kind() == ControlKind::TextBox) {
    auto& box = static_cast<TextBox&>(control);
    if (box.maxLength > 0)
      SendMessageW(handle, EM_LIMITTEXT, static_cast<WPARAM>(box.maxLength), 0);
    if (box.passwordChar != '\0') {
      SendMessageW(handle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(box.passwordChar), 0);
    }
    attachTextBoxKeys(handle, form_, box.index());
  } else if (control.kind() == ControlKind::ComboBox) {
    fillList(handle, static_cast<ComboBox&>(control));
    makeRoomForList(handle, place);
  }
  return handle;
}

HWND ControlWindows::handleOf(const Control& control) const {
  const auto found = handles_.find(&control);
  return found == handles_.end() ? nullptr : found->second;
}

Control* ControlWindows::controlOf(HWND handle) const {
  const auto found = controls_.find(handle);
  return found == controls_.end() ? nullptr : found->second;
}

void ControlWindows::showEveryProperty(const Control& control) {
  for (Property property : kEveryProperty) show(control, property);
}

void ControlWindows::show(const Control& control, Property property) {
  HWND handle = handleOf(control);
  if (handle == nullptr) return;
  ++showing_;
  switch (property) {
    case Property::Caption:
      if (control.kind() != ControlKind::TextBox) showWindowText(handle, control.caption());
      break;
    case Property::Text:
      if (control.kind() == ControlKind::TextBox) {
        showWindowText(handle, static_cast<const TextBox&>(control).text());
      }
      break;
    case Property::ListIndex:
      if (control.kind() == ControlKind::ComboBox) {
        SendMessageW(handle, CB_SETCURSEL,
                     static_cast<WPARAM>(static_cast<const ComboBox&>(control).listIndex()), 0);
      }
      break;
    case Property::Value:
      if (control.kind() == ControlKind::CheckBox) {
        showCheckValue(handle, static_cast<const CheckBox&>(control).value());
      }
      break;
    case Property::Enabled:
      EnableWindow(handle, control.enabled());
      break;
    case Property::Visible:
      ShowWindow(handle, control.visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case Property::ForeColor:
      // The colour is taken from the form when the box is drawn.
      InvalidateRect(handle, nullptr, TRUE);
      break;
  }
  --showing_;
}

}  // namespace kiv
