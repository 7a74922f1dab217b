#pragma once

namespace kiv::posix {

// Whether the process at the other end of the connected local socket
// `socket` runs as this user: what one Kiv program tells another is for the
// user's own programs only.
bool peerIsThisUser(int socket);

}  // namespace kiv::posix
