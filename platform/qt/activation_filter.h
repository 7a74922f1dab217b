#pragma once

#include <QObject>
#include <functional>

namespace kiv {

// Watches the whole application for the moment it becomes the active one
// and reports it. Installed on the application object while the window hook
// is in place; it never takes an event away from its receiver.
class ActivationFilter : public QObject {
 public:
  explicit ActivationFilter(std::function<void()> onActivated, QObject* parent = nullptr)
      : QObject(parent), onActivated_(std::move(onActivated)) {}

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> onActivated_;
};

}  // namespace kiv
