#include "access/jet/RowCodec.h"

#include "access/jet/Bytes.h"
#include "access/jet/JetError.h"
#include "access/jet/LongValues.h"

#include <cstring>

namespace jet {

namespace {

QString ucs2(const char* data, qsizetype bytes) {
    return QString(reinterpret_cast<const QChar*>(data), bytes / 2); // surrogate pairs stay as stored
}

QString fixedValueError(const TableDef& table, const ColumnDef& column, quint32 page) {
    return QStringLiteral("Table \"%1\", page %2: the value of column \"%3\" lies outside its row.")
        .arg(table.name)
        .arg(page)
        .arg(column.name);
}

Value fixedValue(const ColumnDef& column, const char* p) {
    switch (column.type) {
    case ColumnType::Byte:
        return qint64(quint8(*p));
    case ColumnType::Int:
        return qint64(qFromLittleEndian<qint16>(p));
    case ColumnType::Long:
    case ColumnType::Complex:
        return qint64(qFromLittleEndian<qint32>(p));
    case ColumnType::BigInt:
        return qFromLittleEndian<qint64>(p);
    case ColumnType::Money:
        return Currency{qFromLittleEndian<qint64>(p)};
    case ColumnType::Float: {
        float f;
        const quint32 bits = qFromLittleEndian<quint32>(p);
        std::memcpy(&f, &bits, 4);
        return double(f);
    }
    case ColumnType::Double:
    case ColumnType::DateTime: {
        double d;
        const quint64 bits = qFromLittleEndian<quint64>(p);
        std::memcpy(&d, &bits, 8);
        if (column.type == ColumnType::DateTime)
            return DateTime{d};
        return d;
    }
    case ColumnType::Text:
        return decodeText(QByteArray(p, column.length));
    default:
        return QByteArray(p, column.length); // Guid, Numeric, fixed Binary: as stored
    }
}

} // namespace

QString decodeText(const QByteArray& bytes) {
    if (bytes.size() < 2 || u8(bytes, 0) != 0xFF || u8(bytes, 1) != 0xFE)
        return ucs2(bytes.constData(), bytes.size());
    QString text;
    bool compressed = true;
    int start = 2;
    auto flush = [&](int end) {
        if (compressed)
            for (int i = start; i < end; ++i)
                text += QChar(u8(bytes, i));
        else
            text += ucs2(bytes.constData() + start, end - start);
    };
    for (int i = 2; i < bytes.size(); ++i)
        if (bytes.at(i) == 0) {
            flush(i);
            compressed = !compressed;
            start = i + 1;
        }
    flush(bytes.size());
    return text;
}

QByteArray encodeText(const QString& text, bool compress) {
    // Long texts stay UCS-2, as Access leaves them.
    bool fits = compress && !text.isEmpty() && text.size() <= 1024;
    for (QChar c : text)
        if (c.unicode() == 0 || c.unicode() > 0xFF)
            fits = false;
    if (fits) {
        QByteArray out("\xFF\xFE", 2);
        for (QChar c : text)
            out += char(c.unicode());
        return out;
    }
    QByteArray out(text.size() * 2, 0);
    for (int i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text[i].unicode(), out.data() + 2 * i);
    return out;
}

QList<Value> decodeRow(PageStore& store, const TableDef& table, const QByteArray& page, const RowLocation& at) {
    const char* row = page.constData() + at.start;
    const int length = at.end - at.start;
    auto bad = [&](const QString& what) {
        damaged(QStringLiteral("Table \"%1\", page %2: %3.").arg(table.name).arg(at.page).arg(what));
    };
    if (length < 2)
        bad(QStringLiteral("a row of %1 bytes").arg(length));
    const int columns = qFromLittleEndian<quint16>(row);
    const int maskLength = (columns + 7) / 8;
    if (2 + maskLength + 2 > length)
        bad(QStringLiteral("a row of %1 bytes claims %2 columns").arg(length).arg(columns));
    const char* mask = row + length - maskLength;
    auto present = [&](int number) { return number < columns && (mask[number / 8] >> (number % 8)) & 1; };
    const bool anyVariable =
        std::any_of(table.columns.begin(), table.columns.end(), [](const ColumnDef& c) { return !c.fixed(); });
    int varCount = 0;
    const char* offsets = row + length - maskLength - 2;
    if (anyVariable) {
        varCount = qFromLittleEndian<quint16>(offsets);
        if (2 + maskLength + 2 + 2 * (varCount + 1) > length)
            bad(QStringLiteral("the variable-length column table of a row overruns it"));
    }
    auto varOffset = [&](int i) { return int(qFromLittleEndian<quint16>(offsets - 2 - 2 * i)); };
    const int varEnd = length - maskLength - 2 - 2 * (varCount + 1);

    QList<Value> values;
    values.reserve(table.columns.size());
    for (const ColumnDef& column : table.columns) {
        if (column.type == ColumnType::Boolean) {
            values << Value(present(column.number));
            continue;
        }
        if (!present(column.number)) {
            values << Value();
            continue;
        }
        if (column.fixed()) {
            if (2 + column.fixedOffset + column.length > length)
                damaged(fixedValueError(table, column, at.page));
            values << fixedValue(column, row + 2 + column.fixedOffset);
            continue;
        }
        if (column.varIndex >= varCount) {
            values << Value();
            continue;
        }
        const int start = varOffset(column.varIndex), end = varOffset(column.varIndex + 1);
        if (start > end || end > varEnd || start < 2)
            damaged(fixedValueError(table, column, at.page));
        const QByteArray data(row + start, end - start);
        switch (column.type) {
        case ColumnType::Text:
            values << Value(decodeText(data));
            break;
        case ColumnType::Memo:
            values << Value(decodeText(readLongValue(store, table, data)));
            break;
        case ColumnType::Ole:
            values << Value(readLongValue(store, table, data));
            break;
        case ColumnType::Numeric:
        case ColumnType::Guid:
            values << Value(data);
            break;
        default:
            values << Value(data);
        }
    }
    return values;
}

QByteArray rawVariable(const QByteArray& page, const RowLocation& at, const ColumnDef& column) {
    const char* row = page.constData() + at.start;
    const int length = at.end - at.start;
    const int columns = qFromLittleEndian<quint16>(row);
    const int maskLength = (columns + 7) / 8;
    if (column.fixed() || column.number >= columns || 2 + maskLength + 2 > length ||
        !((row[length - maskLength + column.number / 8] >> (column.number % 8)) & 1))
        return {};
    const char* offsets = row + length - maskLength - 2;
    const int varCount = qFromLittleEndian<quint16>(offsets);
    if (column.varIndex >= varCount || 2 + maskLength + 2 + 2 * (varCount + 1) > length)
        return {};
    const int start = qFromLittleEndian<quint16>(offsets - 2 - 2 * column.varIndex);
    const int end = qFromLittleEndian<quint16>(offsets - 4 - 2 * column.varIndex);
    return start <= end && end <= length ? QByteArray(row + start, end - start) : QByteArray();
}

} // namespace jet
