#include "tray_icon_view.h"

#include <array>

#include "program_icon.h"
#include "qt_text.h"

namespace kiv {
namespace {

struct Press {
  QSystemTrayIcon::ActivationReason reason;
  int button;
  int mouseMessage;
};

// Qt reports a press, not a release. A double-click arrives after the press
// that began it, which has shown the window already, so it is not in the
// table; neither are the middle button and a click on a balloon message.
constexpr std::array<Press, 2> kPresses{{
    {QSystemTrayIcon::Trigger, 1, kTrayLeftButtonDown},
    {QSystemTrayIcon::Context, 2, kTrayRightButtonDown},
}};

// The record's tip is a fixed field filled with blanks.
QString shownTip(const NotifyIconData& data) {
  QString tip = toQString(data.szTip);
  qsizetype end = tip.size();
  while (end > 0 && tip.at(end - 1) == QLatin1Char(' ')) --end;
  tip.truncate(end);
  return tip;
}

}  // namespace

TrayIconView::TrayIconView(QObject* parent) : QObject(parent) {
  icon_.setIcon(programIcon());
  // Queued, so that the press has been handled to its end before a question
  // it leads to runs its own event loop.
  connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIconView::forwardActivation,
          Qt::QueuedConnection);
}

bool TrayIconView::apply(TrayOperation operation, const NotifyIconData& data) {
  switch (operation) {
    case TrayOperation::Add:
      if (icon_.isVisible()) return false;
      icon_.setToolTip(shownTip(data));
      icon_.show();
      return QSystemTrayIcon::isSystemTrayAvailable();
    case TrayOperation::Modify:
      if (!icon_.isVisible()) return false;
      icon_.setToolTip(shownTip(data));
      return true;
    case TrayOperation::Delete:
      if (!icon_.isVisible()) return false;
      icon_.hide();
      return true;
  }
  return false;
}

void TrayIconView::showMessage(const std::string& title, const std::string& text) {
  if (!icon_.isVisible()) return;
  icon_.showMessage(toQString(title), toQString(text), QSystemTrayIcon::Warning);
  emit messageShown(toQString(title), toQString(text));
}

void TrayIconView::forwardActivation(QSystemTrayIcon::ActivationReason reason) {
  for (const Press& press : kPresses) {
    if (press.reason == reason && onPress_) onPress_(press.button, press.mouseMessage);
  }
}

}  // namespace kiv
