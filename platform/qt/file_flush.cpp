#include "file_flush.h"

#include <QFile>
#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kiv {

// Opened for writing, without truncating, because Windows flushes only
// through a handle with write access.
bool flushFileToDisk(const std::filesystem::path& file) {
  QFile handle(file);
  if (!handle.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return false;
#if defined(Q_OS_WIN)
  return _commit(handle.handle()) == 0;
#else
  return ::fsync(handle.handle()) == 0;
#endif
}

}  // namespace kiv
