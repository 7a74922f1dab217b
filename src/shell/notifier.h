#pragma once

#include <string>

namespace kiv {

// A message that asks nothing and goes by itself: from the notification-area
// icon in the window program (nothing where there is no icon), a line of the
// log in kivctl. The tick goes on while it shows.
class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void notify(const std::string& title, const std::string& text) = 0;
  // A task that could not start, a program that failed, a database that
  // needs attention: where the desktop keeps notifications, this one stays
  // until the user has seen it. Elsewhere it is shown like any other.
  virtual void notifyFailure(const std::string& title, const std::string& text) {
    notify(title, text);
  }
};

}  // namespace kiv
