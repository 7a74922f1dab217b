#include "incoming_hand_over.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QTimer>
#include <algorithm>
#include <cerrno>

namespace kiv {
namespace {

// No more of a connection is read than a whole message and a byte beyond it,
// which tells that it is no hand-over.
constexpr qsizetype kReadLimit =
    static_cast<qsizetype>(kHandOverHeaderBytes) + static_cast<qsizetype>(kHandOverTextBytes) + 1;

}  // namespace

IncomingHandOver::IncomingHandOver(posix::UniqueFd connection, std::chrono::milliseconds patience,
                                   Ended ended, QObject* parent)
    : QObject(parent),
      connection_(std::move(connection)),
      readable_(connection_.get(), QSocketNotifier::Read),
      ended_(std::move(ended)) {
  connect(&readable_, &QSocketNotifier::activated, this, &IncomingHandOver::readMore);
  QTimer::singleShot(patience, this, [this] {
    readMore();  // what came in time, should its notice not have been handled yet
    if (connection_) end(std::nullopt);
  });
}

void IncomingHandOver::close() {
  if (!connection_) return;
  // The notifier lets go of the descriptor before it is closed, and its
  // number may serve the next connection.
  readable_.setEnabled(false);
  connection_ = posix::UniqueFd();
  deleteLater();
}

void IncomingHandOver::readMore() {
  if (!connection_) return;
  bool senderGone = false;
  char chunk[4096];
  while (received_.size() < kReadLimit) {
    const auto room = std::min<qsizetype>(sizeof chunk, kReadLimit - received_.size());
    const ssize_t got = ::read(connection_.get(), chunk, static_cast<std::size_t>(room));
    if (got > 0) {
      received_.append(chunk, got);
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    senderGone = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    break;
  }
  HandOver handOver;
  switch (readHandOver(received_, handOver)) {
    case HandOverReading::Incomplete:
      if (senderGone) end(std::nullopt);
      return;
    case HandOverReading::Malformed:
      end(std::nullopt);
      return;
    case HandOverReading::Complete:
      // A sender that has gone meanwhile needs no answer.
      static_cast<void>(::send(connection_.get(), &kHandOverTaken, 1, MSG_NOSIGNAL));
      end(handOver);
      return;
  }
}

void IncomingHandOver::end(const std::optional<HandOver>& handOver) {
  close();
  ended_(*this, handOver);
}

}  // namespace kiv
