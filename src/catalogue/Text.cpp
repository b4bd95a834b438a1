#include "catalogue/Text.h"

#include "catalogue/Failure.h"

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QStringView trimBlanks(QStringView text) {
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

QString requireText(const QVariant& value) {
    if (value.isNull())
        throw failure::invalidUseOfNull();
    return value.toString();
}

qint32 requireWhole(const QVariant& value) {
    if (value.isNull())
        throw failure::invalidUseOfNull();
    bool ok = false;
    const qlonglong whole = value.toLongLong(&ok);
    if (!ok)
        throw failure::typeMismatch();
    return toInt32(whole);
}

QString textOrEmpty(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}
