#pragma once

#include <QString>
#include <string>

namespace kiv {

// The core's texts are UTF-8.
inline QString toQString(const std::string& text) {
  return QString::fromStdString(text);
}
inline std::string toCoreText(const QString& text) {
  return text.toStdString();
}

// A text shown in a box as lines: the core breaks lines with CR LF, which a
// Qt label would show as a stray glyph before each break.
inline QString shownLines(const std::string& text) {
  QString lines = toQString(text);
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return lines;
}

}  // namespace kiv
