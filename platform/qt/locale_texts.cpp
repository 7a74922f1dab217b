#include "locale_texts.h"

namespace kiv {
namespace {

// Drops every time-zone letter 't' that stands outside a quoted literal.
QString withoutTimeZone(const QString& format) {
  QString kept;
  bool quoted = false;
  for (QChar letter : format) {
    if (letter == QLatin1Char('\'')) quoted = !quoted;
    if (quoted || letter != QLatin1Char('t')) kept.append(letter);
  }
  return kept.trimmed();
}

}  // namespace

QString generalDateTimeText(QDate date, QTime time, const QLocale& locale) {
  return locale.toString(date, QLocale::ShortFormat) + QLatin1Char(' ') +
         locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

}  // namespace kiv
