#include "catalogue/Text.h"

#include "catalogue/Failure.h"

#include <cmath>

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

qint32 requireIdentifier(const QVariant& value, const QString& column, const QString& row) {
    if (value.isNull())
        throw failure::invalidUseOfNull();
    bool ok = false;
    qlonglong whole = 0;
    if (value.typeId() == QMetaType::Double) {
        const double real = value.toDouble();
        ok = real == std::trunc(real) && std::abs(real) < 0x1p63;
        whole = ok ? qlonglong(real) : 0;
    } else {
        whole = value.toLongLong(&ok);
    }
    if (!ok)
        throw failure::notAnIdentifier(column, value, row);
    return toInt32(whole);
}

QString rowNamed(const QString& name) {
    return QStringLiteral("the row '%1'").arg(trimBlanks(name));
}

QString textOrEmpty(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

bool isWholeNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}
