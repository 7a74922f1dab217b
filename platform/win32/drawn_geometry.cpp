#include "drawn_geometry.h"

#include <array>
#include <utility>

namespace kiv {
namespace {

// In the documented 975 twips the Action list's field cuts "Decompile" and
// runs "Compact" into the arrow; 1080 twips show both with room to spare and
// still end before the Macro label to their right.
constexpr std::array<std::pair<ComboBox MainForm::*, int>, 1> kWiderLists{{
    {&MainForm::cmbAction, 1080},
}};

}  // namespace

TwipsRect drawnGeometry(const MainForm& form, const Control& control) {
  TwipsRect geometry = control.geometry;
  for (const auto& [list, width] : kWiderLists) {
    if (&(form.*list) == &control) geometry.width = width;
  }
  return geometry;
}

}  // namespace kiv
