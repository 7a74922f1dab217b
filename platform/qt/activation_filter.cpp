#include "activation_filter.h"

#include <QApplicationStateChangeEvent>

namespace kiv {

bool ActivationFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ApplicationStateChange &&
      static_cast<QApplicationStateChangeEvent*>(event)->applicationState() ==
          Qt::ApplicationActive) {
    onActivated_();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kiv
