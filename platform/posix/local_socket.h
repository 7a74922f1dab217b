#pragma once

#include <chrono>
#include <string>

#include "posix/unique_fd.h"

namespace kiv::posix {

// Stream sockets in the file system, for the programs of one user on one
// machine. Every descriptor is close-on-exec, so no started program holds one.

// Listens, without blocking, at `path`, replacing a socket a dead listener
// left there; only the owner may connect. Empty when the socket cannot be
// made (errno says why).
UniqueFd listenAt(const std::string& path);

// Connects to the socket listening at `path`. Empty when none listens there
// (errno says why).
UniqueFd connectTo(const std::string& path);

// Waits until `fd` can be read from (or, with `forWriting`, written to), at
// most `patience`; false when the time ran out or the wait failed.
bool waitUntilReady(int fd, bool forWriting, std::chrono::milliseconds patience);

}  // namespace kiv::posix
