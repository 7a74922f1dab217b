#pragma once

#include <string>

namespace kiv {

// The file a metrics collector reads: replaced whole with each new text, so a
// reader never sees half of one. Writing never fails loudly: a metrics file
// that cannot be written never stops a launch.
class MetricsFile {
 public:
  virtual ~MetricsFile() = default;
  virtual void writeMetrics(const std::string& exposition) = 0;
};

}  // namespace kiv
