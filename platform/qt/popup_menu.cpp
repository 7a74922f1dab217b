#include "popup_menu.h"

#include "qt_text.h"

namespace kiv {

std::unique_ptr<QMenu> makePopupMenu(const MenuItem& menu, QWidget* parent) {
  auto popup = std::make_unique<QMenu>(parent);
  int position = 0;
  for (const MenuItem* item : menu.items()) {
    QAction* action = popup->addAction(toQString(item->caption()));
    action->setEnabled(item->enabled());
    action->setVisible(item->visible());
    action->setData(position++);
  }
  return popup;
}

MenuItem* chosenItem(const MenuItem& menu, const QAction* action) {
  if (action == nullptr) return nullptr;
  return menu.items().at(static_cast<std::size_t>(action->data().toInt()));
}

}  // namespace kiv
