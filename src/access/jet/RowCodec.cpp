#include "access/jet/RowCodec.h"

#include "access/jet/Bytes.h"
#include "access/jet/JetError.h"
#include "access/jet/LongValues.h"

#include <cstring>
#include <optional>

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

namespace {

// A row's layout, read from its two ends: the column count first; the null mask last, the count of
// variable-length columns before it and their offsets (from the row's start) before that, in reverse.
struct RowView {
    const char* row = nullptr;
    int length = 0, columns = 0, maskLength = 0, varCount = 0, varEnd = 0;
    // Nothing when the row is too short for what it claims.
    static std::optional<RowView> of(const QByteArray& page, const RowLocation& at, bool hasVariable) {
        RowView v;
        v.row = page.constData() + at.start;
        v.length = at.end - at.start;
        if (v.length < 2)
            return std::nullopt;
        v.columns = qFromLittleEndian<quint16>(v.row);
        v.maskLength = (v.columns + 7) / 8;
        if (2 + v.maskLength + 2 > v.length)
            return std::nullopt;
        if (hasVariable) {
            v.varCount = qFromLittleEndian<quint16>(v.row + v.length - v.maskLength - 2);
            v.varEnd = v.length - v.maskLength - 2 - 2 * (v.varCount + 1);
            if (v.varEnd < 2)
                return std::nullopt;
        }
        return v;
    }
    bool present(int number) const {
        return number < columns && (row[length - maskLength + number / 8] >> (number % 8)) & 1;
    }
    int offset(int i) const { return qFromLittleEndian<quint16>(row + length - maskLength - 4 - 2 * i); }
    // The bytes of variable slot `index`: null beyond the row's slots, nothing when they lie outside the row.
    std::optional<QByteArray> variable(int index) const {
        if (index >= varCount)
            return QByteArray();
        const int start = offset(index), end = offset(index + 1);
        if (start > end || end > varEnd || start < 2)
            return std::nullopt;
        return QByteArray(row + start, end - start);
    }
};

Value variableValue(PageStore& store, const TableDef& table, const ColumnDef& column, const QByteArray& data) {
    switch (column.type) {
    case ColumnType::Text:
        return decodeText(data);
    case ColumnType::Memo:
        return decodeText(readLongValue(store, table, data));
    case ColumnType::Ole:
        return readLongValue(store, table, data);
    default: // Binary, and Numeric or GUID where stored as variable
        return data;
    }
}

} // namespace

QList<Value> decodeRow(PageStore& store, const TableDef& table, const QByteArray& page, const RowLocation& at) {
    const bool hasVariable =
        std::any_of(table.columns.begin(), table.columns.end(), [](const ColumnDef& c) { return !c.fixed(); });
    const std::optional<RowView> view = RowView::of(page, at, hasVariable);
    if (!view)
        damaged(QStringLiteral("Table \"%1\", page %2: a row of %3 bytes is too short for its own layout.")
                    .arg(table.name)
                    .arg(at.page)
                    .arg(at.end - at.start));
    QList<Value> values;
    values.reserve(table.columns.size());
    for (const ColumnDef& column : table.columns) {
        if (column.type == ColumnType::Boolean) {
            values << Value(view->present(column.number));
        } else if (!view->present(column.number) || (!column.fixed() && column.varIndex >= view->varCount)) {
            values << Value();
        } else if (column.fixed()) {
            if (2 + column.fixedOffset + column.length > view->length)
                damaged(fixedValueError(table, column, at.page));
            values << fixedValue(column, view->row + 2 + column.fixedOffset);
        } else {
            const std::optional<QByteArray> data = view->variable(column.varIndex);
            if (!data)
                damaged(fixedValueError(table, column, at.page));
            values << variableValue(store, table, column, *data);
        }
    }
    return values;
}

QByteArray rawVariable(const QByteArray& page, const RowLocation& at, const ColumnDef& column) {
    const std::optional<RowView> view = RowView::of(page, at, true);
    if (column.fixed() || !view || !view->present(column.number))
        return {};
    return view->variable(column.varIndex).value_or(QByteArray());
}

} // namespace jet
