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
        return decodeText(QByteArrayView(p, column.length));
    default:
        return QByteArray(p, column.length); // Guid, Numeric, fixed Binary: as stored
    }
}

} // namespace

QString decodeText(QByteArrayView bytes) {
    if (bytes.size() < 2 || quint8(bytes[0]) != 0xFF || quint8(bytes[1]) != 0xFE)
        return ucs2(bytes.data(), bytes.size());
    QString text;
    bool compressed = true;
    int start = 2;
    auto flush = [&](int end) {
        if (compressed)
            for (int i = start; i < end; ++i)
                text += QChar(quint8(bytes[i]));
        else
            text += ucs2(bytes.data() + start, end - start);
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

namespace {

// Writes at `to`, which has room for four bytes; gives the end.
char* putUtf8(char* to, char32_t c) {
    if (c < 0x80) {
        *to++ = char(c);
    } else if (c < 0x800) {
        *to++ = char(0xC0 | (c >> 6));
        *to++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *to++ = char(0xE0 | (c >> 12));
        *to++ = char(0x80 | ((c >> 6) & 0x3F));
        *to++ = char(0x80 | (c & 0x3F));
    } else {
        *to++ = char(0xF0 | (c >> 18));
        *to++ = char(0x80 | ((c >> 12) & 0x3F));
        *to++ = char(0x80 | ((c >> 6) & 0x3F));
        *to++ = char(0x80 | (c & 0x3F));
    }
    return to;
}

bool appendUcs2Utf8(const char* data, qsizetype bytes, std::string& out) {
    const qsizetype units = bytes / 2, before = qsizetype(out.size());
    out.resize(size_t(before + 3 * units)); // a pair of units takes four bytes, a lone one at most three
    char* to = out.data() + before;
    for (qsizetype i = 0; i < units; ++i) {
        const char32_t u = qFromLittleEndian<quint16>(data + 2 * i);
        if (u < 0xD800 || u > 0xDFFF) {
            to = putUtf8(to, u);
            continue;
        }
        const char32_t low = i + 1 < units ? qFromLittleEndian<quint16>(data + 2 * (i + 1)) : 0;
        if (u > 0xDBFF || low < 0xDC00 || low > 0xDFFF)
            return false;
        to = putUtf8(to, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
    }
    out.resize(size_t(to - out.data()));
    return true;
}

} // namespace

bool appendTextUtf8(QByteArrayView bytes, std::string& out) {
    if (bytes.size() < 2 || quint8(bytes[0]) != 0xFF || quint8(bytes[1]) != 0xFE)
        return appendUcs2Utf8(bytes.data(), bytes.size(), out);
    bool compressed = true;
    qsizetype start = 2;
    for (qsizetype i = 2; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != 0)
            continue;
        if (!compressed) {
            if (!appendUcs2Utf8(bytes.data() + start, i - start, out))
                return false;
        } else {
            const qsizetype before = qsizetype(out.size());
            out.resize(size_t(before + 2 * (i - start)));
            char* to = out.data() + before;
            for (qsizetype c = start; c < i; ++c)
                to = putUtf8(to, quint8(bytes[c]));
            out.resize(size_t(to - out.data()));
        }
        compressed = !compressed;
        start = i + 1;
    }
    return true;
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

Value variableValue(PageStore& store, const TableDef& table, const ColumnDef& column, QByteArrayView data) {
    switch (column.type) {
    case ColumnType::Text:
        return decodeText(data);
    case ColumnType::Memo:
        return decodeText(readLongValue(store, table, data.toByteArray()));
    case ColumnType::Ole:
        return readLongValue(store, table, data.toByteArray());
    default: // Binary, and Numeric or GUID where stored as variable
        return data.toByteArray();
    }
}

bool hasVariableColumns(const TableDef& table) {
    return std::any_of(table.columns.begin(), table.columns.end(), [](const ColumnDef& c) { return !c.fixed(); });
}

} // namespace

// A row's layout, read from its two ends: the column count first; the null mask last, the count of
// variable-length columns before it and their offsets (from the row's start) before that, in reverse.
RowFields::RowFields(const QByteArray& page, const RowLocation& at, bool hasVariable)
    : page(at.page), row(page.constData() + at.start), length(at.end - at.start) {
    fits = length >= 2;
    if (fits) {
        columns = qFromLittleEndian<quint16>(row);
        maskLength = (columns + 7) / 8;
        fits = 2 + maskLength + 2 <= length;
    }
    if (fits && hasVariable) {
        varCount = qFromLittleEndian<quint16>(row + length - maskLength - 2);
        varEnd = length - maskLength - 2 - 2 * (varCount + 1);
        fits = varEnd >= 2;
    }
}

RowFields::RowFields(PageStore& store, const TableDef& table, const QByteArray& page, const RowLocation& at)
    : RowFields(page, at, hasVariableColumns(table)) {
    this->store = &store;
    this->table = &table;
    if (!fits)
        damaged(QStringLiteral("Table \"%1\", page %2: a row of %3 bytes is too short for its own layout.")
                    .arg(table.name)
                    .arg(at.page)
                    .arg(length));
}

bool RowFields::flag(int number) const {
    return number < columns && (row[length - maskLength + number / 8] >> (number % 8)) & 1;
}

int RowFields::offset(int i) const {
    return qFromLittleEndian<quint16>(row + length - maskLength - 4 - 2 * i);
}

std::optional<QByteArrayView> RowFields::slot(int index) const {
    if (index >= varCount)
        return QByteArrayView();
    const int start = offset(index), end = offset(index + 1);
    if (start > end || end > varEnd || start < 2)
        return std::nullopt;
    return QByteArrayView(row + start, end - start);
}

bool RowFields::isNull(const ColumnDef& column) const {
    if (column.type == ColumnType::Boolean)
        return false;
    return !flag(column.number) || (!column.fixed() && column.varIndex >= varCount);
}

QByteArrayView RowFields::bytes(const ColumnDef& column) const {
    if (column.fixed()) {
        if (2 + column.fixedOffset + column.length > length)
            damaged(fixedValueError(*table, column, page));
        return {row + 2 + column.fixedOffset, column.length};
    }
    const auto bytes = slot(column.varIndex);
    if (!bytes)
        damaged(fixedValueError(*table, column, page));
    return *bytes;
}

bool RowFields::holdsWholeNumber(const ColumnDef& column) {
    switch (column.type) {
    case ColumnType::Byte:
    case ColumnType::Int:
    case ColumnType::Long:
    case ColumnType::Complex:
    case ColumnType::BigInt:
        return column.fixed();
    default:
        return false;
    }
}

qint64 RowFields::wholeNumber(const ColumnDef& column) const {
    return std::get<qint64>(fixedValue(column, bytes(column).data()));
}

Value RowFields::value(const ColumnDef& column) const {
    if (column.type == ColumnType::Boolean)
        return flag(column.number);
    if (isNull(column))
        return Value();
    if (column.fixed())
        return fixedValue(column, bytes(column).data());
    return variableValue(*store, *table, column, bytes(column));
}

QList<Value> decodeRow(PageStore& store, const TableDef& table, const QByteArray& page, const RowLocation& at) {
    const RowFields fields(store, table, page, at);
    QList<Value> values;
    values.reserve(table.columns.size());
    for (const ColumnDef& column : table.columns)
        values << fields.value(column);
    return values;
}

QByteArray rawVariable(const QByteArray& page, const RowLocation& at, const ColumnDef& column) {
    const RowFields fields(page, at, true);
    if (column.fixed() || !fields.fits || !fields.flag(column.number))
        return {};
    return fields.slot(column.varIndex).value_or(QByteArrayView()).toByteArray();
}

} // namespace jet
