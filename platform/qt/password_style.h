#pragma once

#include <QProxyStyle>

namespace kiv {

// Draws every character of a password box as the box's own mask character;
// the platform style would otherwise choose its own (often a bullet).
class PasswordStyle : public QProxyStyle {
 public:
  explicit PasswordStyle(QChar mask) : mask_(mask) {}

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override;

 private:
  QChar mask_;
};

}  // namespace kiv
