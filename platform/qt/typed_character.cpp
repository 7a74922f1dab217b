#include "typed_character.h"

#include <QKeyEvent>
#include <algorithm>
#include <array>

namespace kiv {
namespace {

constexpr int kBackspace = 8;

// Keys whose events carry a text on some systems (Delete as DEL, Tab as a
// tab), though they type nothing into a box: they edit or move the focus.
constexpr std::array kNotTyping{Qt::Key_Delete, Qt::Key_Tab, Qt::Key_Backtab};

}  // namespace

std::optional<int> typedCharacter(const QKeyEvent& event) {
  const auto key = static_cast<Qt::Key>(event.key());
  if (std::find(kNotTyping.begin(), kNotTyping.end(), key) != kNotTyping.end()) return {};
  if (event.modifiers().testFlag(Qt::AltModifier)) return {};
  if (key == Qt::Key_Backspace) return kBackspace;
  if (event.modifiers().testFlag(Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z) {
    return key - Qt::Key_A + 1;
  }
  if (event.text().isEmpty()) return {};
  return event.text().front().unicode();
}

}  // namespace kiv
