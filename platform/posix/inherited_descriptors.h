#pragma once

namespace kiv::posix {

// Whether the kernel closes a range of descriptors in one call (close_range,
// Linux 5.9). A started program then has every descriptor above its standard
// streams closed in the child itself, also one another thread opened without
// close-on-exec a moment before.
bool closeRangeAvailable();

// Marks every open descriptor from `first` upwards close-on-exec, for a
// kernel without close_range: the descriptors are listed from /proc/self/fd,
// or, where /proc is not mounted, every number up to the descriptor limit is
// marked. Marking in this process cannot catch a descriptor another thread
// opens between the marking and the start, which closing in the child can.
void markCloseOnExecFrom(int first);

}  // namespace kiv::posix
