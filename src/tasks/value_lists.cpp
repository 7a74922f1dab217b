#include "tasks/value_lists.h"

#include <cstddef>

namespace kiv {
namespace {

template <typename Table>
bool isListIndex(const Table& table, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < table.size();
}

}  // namespace

std::string_view securitySwitch(int versionIndex) {
  if (isListIndex(kVersions, versionIndex)) return kVersions[versionIndex].securitySwitch;
  return kVersions[versionIndex > 0 ? 1 : 0].securitySwitch;
}

std::string_view securityFileLabel(int version) {
  return isListIndex(kVersions, version) ? kVersions[version].securityLabel
                                         : kVersions[1].securityLabel;
}

const ActionInfo* actionInfo(int actionIndex) {
  return isListIndex(kActions, actionIndex) ? &kActions[actionIndex] : nullptr;
}

}  // namespace kiv
