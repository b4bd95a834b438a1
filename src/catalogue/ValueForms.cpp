#include "catalogue/ValueForms.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {
QString isoText(const QDate& date, const QTime& time) {
    const QString day = date.toString(QStringLiteral("yyyy-MM-dd"));
    return time == QTime(0, 0) ? day : day + QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
}

// Groups 4 to 7 of either form: hour, minute, optional second, optional AM/PM; none of them is midnight.
std::optional<QTime> timeOf(const QRegularExpressionMatch& match) {
    if (!match.hasCaptured(4))
        return QTime(0, 0);
    int hour = match.captured(4).toInt();
    const int minute = match.captured(5).toInt();
    const int second = match.hasCaptured(6) ? match.captured(6).toInt() : 0;
    if (match.hasCaptured(7)) { // a 12-hour clock
        if (hour < 1 || hour > 12)
            return std::nullopt;
        const bool pm = match.captured(7).compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    const QTime time(hour, minute, second);
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

// A two-digit year is read as the older engine read it: 00 to 29 in this century, 30 to 99 in the last.
int fullYear(const QString& digits) {
    const int year = digits.toInt();
    if (digits.size() != 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}
} // namespace

std::optional<QString> storedDate(QStringView text) {
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    static const QRegularExpression us(QStringLiteral(
        "^(\\d{1,2})/(\\d{1,2})/(\\d{4}|\\d{2})(?: +(\\d{1,2}):(\\d{2})(?::(\\d{2}))?(?: *([AaPp][Mm]))?)?$"));
    const QString trimmed = text.trimmed().toString();
    QDate date;
    QRegularExpressionMatch match = iso.match(trimmed);
    if (match.hasMatch())
        date = QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    else if ((match = us.match(trimmed)).hasMatch())
        date = QDate(fullYear(match.captured(3)), match.captured(1).toInt(), match.captured(2).toInt());
    else
        return std::nullopt;
    const std::optional<QTime> time = timeOf(match);
    if (!date.isValid() || !time)
        return std::nullopt;
    return isoText(date, *time);
}

std::optional<int> storedYesNo(QStringView text) {
    const QStringView word = text.trimmed();
    for (const char* yes : {"true", "yes", "on", "-1", "1"})
        if (word.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
            return 1;
    for (const char* no : {"false", "no", "off", "0"})
        if (word.compare(QLatin1String(no), Qt::CaseInsensitive) == 0)
            return 0;
    return std::nullopt;
}
