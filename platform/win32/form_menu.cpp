#include "form_menu.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "shortcut_keys.h"
#include "wide_text.h"

namespace kiv {
namespace {

// The caption with the shortcut shown beside it, as menus show them.
std::wstring menuText(const MenuItem& item) {
  std::string text = item.caption();
  if (!item.shortcut.empty()) text += "\t" + item.shortcut;
  return toWide(text);
}

MenuItem* menuItemOf(const CommandIds& ids, int id) {
  Control* control = ids.controlOf(id);
  return control != nullptr && control->kind() == ControlKind::MenuItem
             ? static_cast<MenuItem*>(control)
             : nullptr;
}

UINT stateFlags(const MenuItem& item) {
  return item.enabled() ? MF_ENABLED : MF_GRAYED;
}

std::vector<ACCEL> acceleratorsOf(const std::vector<MenuItem*>& menus, const CommandIds& ids) {
  std::vector<ACCEL> table;
  for (const MenuItem* menu : menus) {
    for (const MenuItem* item : menu->items()) {
      if (item->shortcut.empty()) continue;
      const std::optional<ACCEL> accelerator =
          acceleratorFor(item->shortcut, static_cast<WORD>(ids.idOf(*item)));
      if (!accelerator)
        throw std::logic_error(item->name() + " has a shortcut no key makes: " + item->shortcut);
      table.push_back(*accelerator);
    }
  }
  return table;
}

}  // namespace

FormMenu::FormMenu(MainForm& form, const CommandIds& ids) : ids_(ids), bar_(CreateMenu()) {
  const std::vector<MenuItem*> menus = form.menus();
  for (MenuItem* menu : menus) {
    if (!menu->visible()) continue;
    AppendMenuW(bar_, MF_POPUP | stateFlags(*menu), reinterpret_cast<UINT_PTR>(createPopup(*menu)),
                menuText(*menu).c_str());
    barMenus_.push_back(menu);
  }
  std::vector<ACCEL> table = acceleratorsOf(menus, ids_);
  accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

FormMenu::~FormMenu() {
  DestroyAcceleratorTable(accelerators_);
}

HMENU FormMenu::createPopup(const MenuItem& menu) const {
  HMENU popup = CreatePopupMenu();
  for (const MenuItem* item : menu.items()) {
    AppendMenuW(popup, MF_STRING | stateFlags(*item), static_cast<UINT_PTR>(ids_.idOf(*item)),
                menuText(*item).c_str());
  }
  return popup;
}

int FormMenu::barPosition(const MenuItem& menu) const {
  const auto found = std::find(barMenus_.begin(), barMenus_.end(), &menu);
  return found == barMenus_.end() ? -1 : static_cast<int>(found - barMenus_.begin());
}

void FormMenu::show(const MenuItem& item, Property property, HWND window) const {
  std::wstring text = menuText(item);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  switch (property) {
    case Property::Caption:
      info.fMask = MIIM_STRING;
      info.dwTypeData = text.data();
      break;
    case Property::Enabled:
      info.fMask = MIIM_STATE;
      info.fState = item.enabled() ? MFS_ENABLED : MFS_GRAYED;
      break;
    default:
      return;
  }
  const int position = barPosition(item);
  if (position >= 0) {
    SetMenuItemInfoW(bar_, static_cast<UINT>(position), TRUE, &info);
    DrawMenuBar(window);
  } else {
    // Items of a menu that is not on the bar are not found here; their pop-up
    // takes their state when it is built.
    SetMenuItemInfoW(bar_, static_cast<UINT>(ids_.idOf(item)), FALSE, &info);
  }
}

MenuItem* FormMenu::choose(const MenuItem& menu, HWND window) const {
  HMENU popup = createPopup(menu);
  POINT at{};
  GetCursorPos(&at);
  // Without this a pop-up of a window in the background stays open when the
  // user clicks elsewhere.
  SetForegroundWindow(window);
  const int chosen =
      static_cast<int>(TrackPopupMenu(popup, TPM_RETURNCMD, at.x, at.y, 0, window, nullptr));
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(popup);
  return menuItemOf(ids_, chosen);
}

const MenuItem* FormMenu::highlighted(HMENU menu, UINT item, UINT flags) const {
  if (menu == nullptr) return nullptr;
  if ((flags & MF_POPUP) != 0) {
    return menu == bar_ && item < barMenus_.size() ? barMenus_[item] : nullptr;
  }
  return menuItemOf(ids_, static_cast<int>(item));
}

}  // namespace kiv
