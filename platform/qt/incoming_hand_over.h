#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <chrono>
#include <functional>
#include <optional>

#include "hand_over_message.h"
#include "posix/unique_fd.h"

namespace kiv {

// One connection to the window program's socket, read in the event loop as
// its bytes come and never beyond a whole hand-over and a byte more. It ends
// once the message has come whole (the sender is then told it was taken),
// once what came is no hand-over, once the sender has gone or once
// `patience` has run out: its descriptor is closed at once, the object is
// deleted later.
class IncomingHandOver : public QObject {
 public:
  // Told once, as the connection ends: the hand-over, or nullopt when none came.
  using Ended =
      std::function<void(IncomingHandOver& connection, const std::optional<HandOver>& handOver)>;

  // `connection` does not block.
  IncomingHandOver(posix::UniqueFd connection, std::chrono::milliseconds patience, Ended ended,
                   QObject* parent);

  // Ends the connection without a word to the sender or to `ended`.
  void close();

 private:
  void readMore();
  void end(const std::optional<HandOver>& handOver);

  posix::UniqueFd connection_;
  QSocketNotifier readable_;
  Ended ended_;
  QByteArray received_;
};

}  // namespace kiv
