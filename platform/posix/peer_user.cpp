#include "posix/peer_user.h"

#include <sys/socket.h>
#include <unistd.h>

namespace kiv::posix {

bool peerIsThisUser(int socket) {
  ucred peer{};
  socklen_t length = sizeof peer;
  return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
         length == sizeof peer && peer.uid == ::geteuid();
}

}  // namespace kiv::posix
