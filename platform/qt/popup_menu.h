#pragma once

#include <QMenu>
#include <memory>

#include "form/controls.h"

namespace kiv {

// A pop-up menu of a menu item's items, each with its caption, enabled and
// visible state; each action's data is the item's position among the items.
std::unique_ptr<QMenu> makePopupMenu(const MenuItem& menu, QWidget* parent = nullptr);

// The item an action of makePopupMenu stands for; nullptr for no action.
MenuItem* chosenItem(const MenuItem& menu, const QAction* action);

}  // namespace kiv
