#include "form/focus_keys.h"

#include <algorithm>
#include <array>

#include "form/main_form.h"

namespace kiv {
namespace {

constexpr std::array<std::string_view, 4> kTextBoxKeys{"Ctrl+X", "Ctrl+C", "Ctrl+V", "Ctrl+A"};

}  // namespace

bool focusKeepsKey(const MainForm& form, std::string_view key) {
  const Control* focused = form.activeControl();
  if (focused == nullptr || focused->kind() != ControlKind::TextBox) return false;
  // A box the compiled task locks cannot be edited, even if the focus stayed.
  if (!focused->enabled() || !focused->visible()) return false;
  return std::ranges::find(kTextBoxKeys, key) != kTextBoxKeys.end();
}

}  // namespace kiv
