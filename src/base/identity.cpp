#include "base/identity.h"

namespace kiv::identity {

std::string versionLine() {
  return std::string(kTitle) + " - " + std::string(kProductName) + " v" + std::to_string(kMajor) +
         "." + std::to_string(kMinor) + "." + std::to_string(kRevision);
}

}  // namespace kiv::identity
