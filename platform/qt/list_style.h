#pragma once

#include <QProxyStyle>

namespace kiv {

// Draws the drop-down lists with a narrower arrow and gives the room to the
// shown entry. The lists keep the window's fixed sizes, and at those sizes
// the usual arrow leaves too little room for an entry such as "Compact".
class ListStyle : public QProxyStyle {
 public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl subControl, const QWidget* widget) const override;
};

}  // namespace kiv
