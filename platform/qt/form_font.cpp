#include "form_font.h"

#include <QFontDatabase>

#include "form/form_layout.h"

namespace kiv {

QFont formFont() {
  const QString tahoma = QString::fromUtf8(layout::kFontFamily.data(),
                                           static_cast<qsizetype>(layout::kFontFamily.size()));
  QFont font(QFontDatabase::hasFamily(tahoma) ? tahoma : QStringLiteral("Arial"));
  font.setPointSizeF(layout::kFontPointSize);
  return font;
}

}  // namespace kiv
