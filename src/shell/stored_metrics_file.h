#pragma once

#include <functional>
#include <string>

#include "schedule_file/file_storage.h"
#include "shell/metrics_file.h"

namespace kiv {

// The metrics file at a path the user gave, replaced whole each time as a
// schedule is saved, so a collector never reads half of one. A file that
// cannot be written is told once through `tell`, and again only after it was
// written in between.
class StoredMetricsFile final : public MetricsFile {
 public:
  StoredMetricsFile(std::string path, FileStorage& storage,
                    std::function<void(const std::string&)> tell);
  void writeMetrics(const std::string& exposition) override;

 private:
  std::string path_;
  FileStorage& storage_;
  std::function<void(const std::string&)> tell_;
  bool failureTold_ = false;
};

}  // namespace kiv
