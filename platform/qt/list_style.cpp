#include "list_style.h"

#include <QStyleOptionComplex>
#include <algorithm>

namespace kiv {
namespace {

// The arrow keeps this share of the width the base style gives it: enough
// for the arrow glyph with a pixel to spare on either side.
constexpr int kArrowShareEighths = 5;

// The arrow's part of the base style's arrow area, at its outer edge.
QRect narrowArrow(const QRect& arrow, Qt::LayoutDirection direction) {
  const int width = arrow.width() * kArrowShareEighths / 8;
  const int left = direction == Qt::RightToLeft ? arrow.left() : arrow.right() - width + 1;
  return {left, arrow.top(), width, arrow.height()};
}

}  // namespace

QRect ListStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                SubControl subControl, const QWidget* widget) const {
  QRect rect = QProxyStyle::subControlRect(control, option, subControl, widget);
  if (control != CC_ComboBox ||
      (subControl != SC_ComboBoxArrow && subControl != SC_ComboBoxEditField)) {
    return rect;
  }
  const QRect arrow = narrowArrow(
      QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget), option->direction);
  if (subControl == SC_ComboBoxArrow) return arrow;
  if (option->direction == Qt::RightToLeft) {
    rect.setLeft(std::min(rect.left(), arrow.right() + 1));
  } else {
    rect.setRight(std::max(rect.right(), arrow.left() - 1));
  }
  return rect;
}

}  // namespace kiv
