#include "password_style.h"

namespace kiv {

int PasswordStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
  if (hint == SH_LineEdit_PasswordCharacter) return mask_.unicode();
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

}  // namespace kiv
