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
