#pragma once

#include <array>
#include <optional>
#include <streambuf>
#include <system_error>

namespace kiv::ctl {

// kivctl's standard output: a stream buffer that writes to descriptor 1 and
// keeps the reason of the first write that failed (a full disk, a closed
// pipe), so that output which never arrived is not reported as success.
// After a failure the rest of the output is dropped.
class StandardOutput final : public std::streambuf {
 public:
  StandardOutput();

  // Writes what is still buffered; the reason of the first failed write, or
  // nullopt when every byte went out.
  std::optional<std::error_code> finish();

 protected:
  int_type overflow(int_type character) override;
  int sync() override;

 private:
  bool writeBuffered();

  std::array<char, 8192> buffer_{};
  std::optional<std::error_code> failure_;
};

}  // namespace kiv::ctl
