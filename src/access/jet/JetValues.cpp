#include "access/jet/JetValues.h"

#include <QDate>
#include <QTime>
#include <charconv>
#include <cmath>

namespace jet {

namespace {
// 0100-01-01 and 9999-12-31 counted from 1899-12-30.
constexpr double firstDay = -657434;
constexpr double lastDay = 2958465;
constexpr qint64 secondsPerDay = 86400;
} // namespace

std::optional<QString> dateTimeText(double days) {
    if (!std::isfinite(days))
        return std::nullopt;
    const double whole = std::trunc(days);
    if (whole < firstDay || whole > lastDay)
        return std::nullopt;
    qint64 seconds = std::llround(std::fabs(days - whole) * double(secondsPerDay));
    QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
    if (seconds == secondsPerDay) {
        date = date.addDays(1);
        seconds = 0;
    }
    if (date.year() > 9999)
        return std::nullopt;
    QString text = QStringLiteral("%1-%2-%3")
                       .arg(date.year(), 4, 10, QLatin1Char('0'))
                       .arg(date.month(), 2, 10, QLatin1Char('0'))
                       .arg(date.day(), 2, 10, QLatin1Char('0'));
    if (seconds != 0)
        text += QLatin1Char(' ') + QTime::fromMSecsSinceStartOfDay(int(seconds * 1000)).toString(u"HH:mm:ss");
    return text;
}

QByteArray currencyText(qint64 tenThousandths) {
    // Through the unsigned magnitude, so that the smallest value does not overflow on negation.
    const bool negative = tenThousandths < 0;
    const quint64 magnitude = negative ? 0 - quint64(tenThousandths) : quint64(tenThousandths);
    QByteArray text =
        QByteArray::number(magnitude / 10000) + '.' + QByteArray::number(magnitude % 10000).rightJustified(4, '0');
    return negative ? '-' + text : text;
}

double singleAsDouble(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double widened = value;
    std::from_chars(text, written.ptr, widened);
    return widened;
}

} // namespace jet
