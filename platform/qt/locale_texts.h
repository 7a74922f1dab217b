#pragma once

#include <QDate>
#include <QLocale>
#include <QTime>

namespace kiv {

// The user's general date-and-time text: the short date, a blank and the long
// time. Qt's long time format ends in a time-zone field; the text names a
// wall-clock reading, which has no zone, so that field is left out.
QString generalDateTimeText(QDate date, QTime time, const QLocale& locale);

}  // namespace kiv
