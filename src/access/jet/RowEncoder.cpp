#include "access/jet/Bytes.h"
#include "access/jet/JetError.h"
#include "access/jet/RowCodec.h"

#include <cstring>

namespace jet {

namespace {

[[noreturn]] void wrongValue(const TableDef& table, const ColumnDef& column, const QString& why) {
    throw Error(Error::Kind::Constraint,
                QStringLiteral("Table \"%1\", column \"%2\": %3.").arg(table.name, column.name, why));
}

void putFixed(const TableDef& table, const ColumnDef& c, const Value& value, char* p) {
    const auto* n = std::get_if<qint64>(&value);
    auto needNumber = [&](qint64 low, qint64 high) {
        if (!n)
            wrongValue(table, c, QStringLiteral("a whole number is expected"));
        if (*n < low || *n > high)
            wrongValue(table, c, QStringLiteral("%1 is out of range").arg(*n));
        return *n;
    };
    switch (c.type) {
    case ColumnType::Byte:
        *p = char(needNumber(0, 255));
        return;
    case ColumnType::Int:
        qToLittleEndian<qint16>(qint16(needNumber(-32768, 32767)), p);
        return;
    case ColumnType::Long:
    case ColumnType::Complex:
        qToLittleEndian<qint32>(qint32(needNumber(INT32_MIN, INT32_MAX)), p);
        return;
    case ColumnType::BigInt:
        qToLittleEndian<qint64>(needNumber(INT64_MIN, INT64_MAX), p);
        return;
    case ColumnType::Money:
        if (const auto* m = std::get_if<Currency>(&value))
            return qToLittleEndian<qint64>(m->tenThousandths, p);
        wrongValue(table, c, QStringLiteral("a currency amount is expected"));
    case ColumnType::Float:
    case ColumnType::Double:
    case ColumnType::DateTime: {
        double d;
        if (const auto* x = std::get_if<double>(&value); x && c.type != ColumnType::DateTime)
            d = *x;
        else if (const auto* t = std::get_if<DateTime>(&value); t && c.type == ColumnType::DateTime)
            d = t->days;
        else
            wrongValue(table, c,
                       QStringLiteral("a %1 is expected").arg(c.type == ColumnType::DateTime ? "date" : "number"));
        if (c.type == ColumnType::Float) {
            const float f = float(d);
            quint32 bits;
            std::memcpy(&bits, &f, 4);
            return qToLittleEndian<quint32>(bits, p);
        }
        quint64 bits;
        std::memcpy(&bits, &d, 8);
        return qToLittleEndian<quint64>(bits, p);
    }
    default:
        if (const auto* b = std::get_if<QByteArray>(&value); b && b->size() == c.length)
            return void(std::memcpy(p, b->constData(), c.length));
        wrongValue(table, c, QStringLiteral("%1 bytes are expected").arg(c.length));
    }
}

QByteArray variableBytes(const TableDef& table, const ColumnDef& c, const Value& value, const QByteArray& longField) {
    if (c.type == ColumnType::Memo || c.type == ColumnType::Ole)
        return longField;
    if (c.type == ColumnType::Text) {
        const auto* text = std::get_if<QString>(&value);
        if (!text)
            wrongValue(table, c, QStringLiteral("text is expected"));
        if (text->size() * 2 > c.length)
            wrongValue(table, c,
                       QStringLiteral("the text is longer than the %1 characters it holds").arg(c.length / 2));
        return encodeText(*text, c.compressedUnicode);
    }
    const auto* bytes = std::get_if<QByteArray>(&value);
    if (!bytes || (c.length && bytes->size() > c.length && c.type == ColumnType::Binary))
        wrongValue(table, c, QStringLiteral("bytes (at most %1) are expected").arg(c.length));
    return *bytes;
}

} // namespace

QByteArray encodeRow(const TableDef& table, int maxColumns, const QList<Value>& values,
                     const QList<QByteArray>& longValueFields, int minSize) {
    int fixedEnd = 0, varCount = 0;
    for (const ColumnDef& c : table.columns) {
        if (c.type == ColumnType::Boolean)
            continue;
        if (c.fixed())
            fixedEnd = std::max(fixedEnd, c.fixedOffset + c.length);
        else
            varCount = std::max(varCount, c.varIndex + 1);
        maxColumns = std::max(maxColumns, c.number + 1);
    }
    if (varCount > 0) // offsets of dropped columns stay in the table
        varCount = std::max<int>(varCount, table.maxVarColumns);
    const int maskLength = (maxColumns + 7) / 8;
    QByteArray mask(maskLength, 0);
    QByteArray row(2 + fixedEnd, 0);
    put16(row, 0, quint16(maxColumns));
    QList<QByteArray> variable(varCount);
    QList<bool> varPresent(varCount, false);
    for (int i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns[i];
        const Value& value = values[i];
        if (c.type == ColumnType::Boolean) {
            const auto* b = std::get_if<bool>(&value);
            if (!b && !isNull(value))
                wrongValue(table, c, QStringLiteral("yes or no is expected"));
            if (b && *b)
                mask[c.number / 8] = char(mask[c.number / 8] | (1 << (c.number % 8)));
            continue;
        }
        if (isNull(value))
            continue;
        mask[c.number / 8] = char(mask[c.number / 8] | (1 << (c.number % 8)));
        if (c.fixed()) {
            putFixed(table, c, value, row.data() + 2 + c.fixedOffset);
        } else {
            variable[c.varIndex] = variableBytes(table, c, value, longValueFields.value(i));
            varPresent[c.varIndex] = true;
        }
    }
    if (varCount == 0) {
        const int trailer = maskLength;
        if (row.size() + trailer < minSize)
            row.append(QByteArray(minSize - row.size() - trailer, 0));
        return row + mask;
    }
    QList<quint16> offsets;
    for (const QByteArray& data : variable) {
        offsets << quint16(row.size());
        row += data;
    }
    offsets << quint16(row.size()); // end of the variable data
    const int trailer = 2 * (varCount + 1) + 2 + maskLength;
    if (row.size() + trailer < minSize)
        row.append(QByteArray(minSize - row.size() - trailer, 0));
    QByteArray tail(2 * (varCount + 1) + 2, 0);
    for (int i = 0; i <= varCount; ++i)
        put16(tail, 2 * (varCount - i), offsets[i]);
    put16(tail, 2 * (varCount + 1), quint16(varCount));
    return row + tail + mask;
}

} // namespace jet
