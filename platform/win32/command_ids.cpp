#include "command_ids.h"

#include <algorithm>
#include <stdexcept>

namespace kiv {

int CommandIds::idOf(const Control& control) const {
  const auto& controls = form_.controls();
  const auto found = std::find(controls.begin(), controls.end(), &control);
  if (found == controls.end())
    throw std::logic_error(control.name() + " is no control of the form");
  return kFirst + static_cast<int>(found - controls.begin());
}

Control* CommandIds::controlOf(int id) const {
  const auto& controls = form_.controls();
  const int position = id - kFirst;
  if (position < 0 || position >= static_cast<int>(controls.size())) return nullptr;
  return controls[static_cast<std::size_t>(position)];
}

}  // namespace kiv
