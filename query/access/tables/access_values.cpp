#include "query/access/tables/access_values.h"

#include <QDate>
#include <QLocale>
#include <cmath>

namespace orbo {
namespace {

constexpr double kFirstDay = -657434;      // 0100-01-01
constexpr double kDayAfterLast = 2958466;  // 10000-01-01
constexpr qint64 kSecondsPerDay = 86400;

QString TwoDigits(qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

}  // namespace

QString AccessDateText(double days) {
  if (!(days >= kFirstDay && days < kDayAfterLast))
    return QString::number(days, 'g', QLocale::FloatingPointShortest);
  const double whole = std::trunc(days);
  QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
  qint64 seconds = std::llround(std::abs(days - whole) * kSecondsPerDay);
  if (seconds == kSecondsPerDay) {
    date = date.addDays(1);
    seconds = 0;
  }
  if (date.year() > 9999) return QString::number(days, 'g', QLocale::FloatingPointShortest);
  QString text = QStringLiteral("%1-%2-%3")
                     .arg(date.year(), 4, 10, QLatin1Char('0'))
                     .arg(TwoDigits(date.month()), TwoDigits(date.day()));
  if (seconds > 0)
    text += u' ' + TwoDigits(seconds / 3600) + u':' + TwoDigits(seconds / 60 % 60) + u':' +
            TwoDigits(seconds % 60);
  return text;
}

QString WithoutTrailingZeros(const QString& decimal) {
  if (!decimal.contains(u'.')) return decimal;
  QString text = decimal;
  while (text.endsWith(u'0')) text.chop(1);
  if (text.endsWith(u'.')) text.chop(1);
  return text;
}

}  // namespace orbo
