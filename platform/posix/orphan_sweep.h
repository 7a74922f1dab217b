#pragma once

#include <string_view>

namespace kiv::posix {

// Removes the temporary files of earlier saves of `target` (a name in the
// open folder `folder`) that no save is writing any more: those a killed or
// crashed save left behind. A file counts as left behind when it belongs to
// this user and nobody holds its lock, since every save locks its temporary
// file from creating it until it has its place, and a lock ends with the
// process that held it.
void removeOrphanedTemporaries(int folder, std::string_view target);

}  // namespace kiv::posix
