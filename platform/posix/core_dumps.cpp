#include "posix/core_dumps.h"

#include <sys/resource.h>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace kiv::posix {
namespace {

bool makeUndumpable() {
#if defined(__linux__)
  return ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
#else
  return true;  // the core file size limit below is the whole means there
#endif
}

// Only the soft limit: the hard one stays, so a started program may raise
// its own limit again.
bool limitCoreFilesToNothing() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_CORE, &limit) != 0) return false;
  limit.rlim_cur = 0;
  return ::setrlimit(RLIMIT_CORE, &limit) == 0;
}

}  // namespace

bool forbidCoreDumps() {
  const bool undumpable = makeUndumpable();
  return limitCoreFilesToNothing() && undumpable;
}

}  // namespace kiv::posix
