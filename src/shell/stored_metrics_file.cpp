#include "shell/stored_metrics_file.h"

#include <cstdint>
#include <span>
#include <utility>

#include "base/utf8_path.h"
#include "schedule_file/file_bytes.h"

namespace kiv {

StoredMetricsFile::StoredMetricsFile(std::string path, FileStorage& storage,
                                     std::function<void(const std::string&)> tell)
    : path_(std::move(path)), storage_(storage), tell_(std::move(tell)) {}

void StoredMetricsFile::writeMetrics(const std::string& exposition) {
  const std::span<const std::uint8_t> bytes(
      reinterpret_cast<const std::uint8_t*>(exposition.data()), exposition.size());
  const Result<void, FileError> written = writeFileSafely(pathFromUtf8(path_), bytes, storage_);
  if (written) {
    failureTold_ = false;
    return;
  }
  if (std::exchange(failureTold_, true)) return;
  tell_("The metrics file " + path_ + " could not be written: " + written.error().description +
        ". Launches go on without it.");
}

}  // namespace kiv
