#include "catalogue/ColumnConversion.h"

#include "catalogue/Failure.h"
#include "catalogue/ValueForms.h"

namespace {
Failure conversionError() {
    return {failure::ConversionError, QStringLiteral("Data type conversion error.")};
}
} // namespace

ColumnKind columnKindOf(const QString& declaredType) {
    const QString t = declaredType.toUpper();
    if (t.contains(QLatin1String("INT")))
        return ColumnKind::Integer;
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return ColumnKind::Date;
    if (t.contains(QLatin1String("BOOL")) || t == QLatin1String("BIT") || t == QLatin1String("YESNO"))
        return ColumnKind::YesNo;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")) ||
        t.contains(QLatin1String("BLOB")) || t.isEmpty())
        return ColumnKind::Text;
    return ColumnKind::Real;
}

QVariant convertForColumn(const QVariant& value, ColumnKind kind) {
    if (kind == ColumnKind::Text || value.isNull() || value.typeId() != QMetaType::QString)
        return value;
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return QVariant();
    if (kind == ColumnKind::Date) {
        if (const std::optional<QString> date = storedDate(text))
            return *date;
        throw conversionError();
    }
    if (kind == ColumnKind::YesNo) {
        if (const std::optional<int> yesNo = storedYesNo(text))
            return *yesNo;
        throw conversionError();
    }
    bool ok = false;
    if (kind == ColumnKind::Integer) {
        const qlonglong whole = text.toLongLong(&ok);
        if (ok)
            return whole;
    }
    const double real = text.toDouble(&ok);
    if (ok)
        return real;
    throw conversionError();
}
