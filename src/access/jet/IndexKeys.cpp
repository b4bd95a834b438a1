#include "access/jet/IndexKeys.h"

#include "access/jet/JetError.h"
#include "access/jet/TextKeyCodes.h"

#include <QHash>
#include <QtEndian>
#include <cstring>

namespace jet {

namespace {

constexpr char AscendingStart = char(0x7F), DescendingStart = char(0x80);
constexpr char AscendingNull = char(0x00), DescendingNull = char(0xFF);
constexpr int MaxIndexedTextLength = 255; // longer text (a memo) is indexed by its first 255 characters
constexpr quint8 GeneralSortOrder = 0;    // collation version of the legacy General order
constexpr quint16 GeneralCollation = 1033;

// One character's codes, parsed from the table's token.
struct CharCode {
    char kind = 0; // S, I, U, P; 0 when the character is refused
    QByteArray inlineBytes, extraBytes, unprintableBytes;
    quint8 modifier = 0;
};

QByteArray hexBytes(QByteArrayView hex) {
    QByteArray even = hex.size() % 2 ? "0" + hex.toByteArray() : hex.toByteArray();
    return QByteArray::fromHex(even);
}

QHash<char16_t, CharCode> parseCodes() {
    QHash<char16_t, CharCode> codes;
    for (int r = 0; r < textkeys::rangeCount; ++r) {
        const auto& range = textkeys::ranges[r];
        const QList<QByteArray> tokens = QByteArray(range.codes).split(' ');
        char16_t c = range.first;
        for (const QByteArray& token : tokens) {
            if (token.isEmpty())
                continue;
            CharCode code;
            const QList<QByteArray> parts = token.mid(1).split(',');
            code.kind = token.at(0);
            switch (code.kind) {
            case 'S':
                code.inlineBytes = hexBytes(parts[0]);
                break;
            case 'I':
                code.inlineBytes = hexBytes(parts[0]);
                code.extraBytes = hexBytes(parts.value(1));
                break;
            case 'U':
                code.unprintableBytes = hexBytes(parts[0]);
                break;
            case 'P':
                code.modifier = quint8(hexBytes(parts[0]).at(0));
                break;
            default: // the null character alone is known to be ignored; other X are refused
                code.kind = c == 0 ? 'X' : 0;
            }
            if (code.kind)
                codes.insert(c, code);
            ++c;
        }
        Q_ASSERT(c == range.last + 1);
    }
    return codes;
}

const QHash<char16_t, CharCode>& codes() {
    static const QHash<char16_t, CharCode> table = parseCodes();
    return table;
}

// The accent/variant codes gathered while the characters are written, with what their position arithmetic needs.
struct ExtraCodes {
    QByteArray bytes;
    int chars = 0;      // characters accounted for in bytes
    int markPrefix = 0; // a combining mark before any extra code leaves its own byte in front
};

void addExtra(ExtraCodes& extra, int charOffset, const CharCode& code) {
    if (extra.chars < charOffset) {
        extra.bytes.append(charOffset - extra.chars, char(0x02)); // characters without a variant
        extra.chars = charOffset;
    }
    if (!code.extraBytes.isEmpty()) {
        extra.bytes += code.extraBytes;
        ++extra.chars;
    } else if (!extra.bytes.isEmpty()) {
        extra.bytes.back() = char(quint8(extra.bytes.back()) + code.modifier);
    } else {
        extra.bytes.append(char(code.modifier));
        extra.markPrefix = 1;
    }
}

void addUnprintable(QByteArray& out, const std::optional<ExtraCodes>& extra, int charOffset, const CharCode& code) {
    int position = charOffset;
    if (extra)
        position = int(extra->bytes.size()) + (charOffset - extra->chars) - extra->markPrefix;
    const quint16 offset = quint16((7 + 4 * position) | 0x8000);
    out.append(char(offset >> 8)).append(char(offset & 0xFF)).append(char(0x06)).append(code.unprintableBytes);
}

QString describe(QChar c) {
    return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

int columnIndex(const TableDef& table, quint16 number) {
    for (int i = 0; i < table.columns.size(); ++i)
        if (table.columns[i].number == number)
            return i;
    damaged(QStringLiteral("An index of table \"%1\" names column %2, which the table does not have.")
                .arg(table.name)
                .arg(number));
}

void flip(QByteArray& bytes, int from = 0) {
    for (int i = from; i < bytes.size(); ++i)
        bytes[i] = char(~bytes[i]);
}

template <typename T> QByteArray bigEndian(T value) {
    QByteArray bytes(sizeof(T), Qt::Uninitialized);
    qToBigEndian<T>(value, bytes.data());
    return bytes;
}

// Binary and GUID values: 8-byte segments, each followed by 9 when more follow or by its used length at the end.
QByteArray binaryKey(const QByteArray& value, bool ascending) {
    QByteArray out;
    for (int pos = 0; pos < value.size(); pos += 8) {
        const int len = std::min<int>(8, int(value.size()) - pos);
        QByteArray segment = value.mid(pos, len).leftJustified(8, '\0');
        const bool last = pos + 8 >= value.size();
        if (!ascending)
            flip(segment);
        segment.append(char(last ? len : 9));
        if (!ascending && last)
            segment.back() = char(~segment.back());
        out += segment;
    }
    return out;
}

QByteArray integerKey(const ColumnDef& column, qint64 value) {
    switch (column.type) {
    case ColumnType::Int:
        return bigEndian<quint16>(quint16(qint16(value)) ^ 0x8000);
    case ColumnType::Long:
    case ColumnType::Complex:
        return bigEndian<quint32>(quint32(qint32(value)) ^ 0x80000000u);
    default: // BigInt and Money (ten-thousandths)
        return bigEndian<quint64>(quint64(value) ^ 0x8000000000000000ull);
    }
}

QByteArray floatingKey(const ColumnDef& column, double value) {
    QByteArray bytes;
    if (column.type == ColumnType::Float) {
        float f = float(value);
        quint32 bits;
        std::memcpy(&bits, &f, sizeof bits);
        bytes = bigEndian(bits);
    } else {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        bytes = bigEndian(bits);
    }
    if (quint8(bytes.at(0)) & 0x80)
        flip(bytes); // negatives: all bits inverted so larger magnitudes sort first
    else
        bytes[0] = char(quint8(bytes.at(0)) ^ 0x80);
    return bytes;
}

// The GUID's first three groups are stored little-endian in a row; the key wants them in reading order.
QByteArray guidKeyBytes(const QByteArray& stored) {
    QByteArray b = stored;
    if (b.size() == 16) {
        std::reverse(b.begin(), b.begin() + 4);
        std::reverse(b.begin() + 4, b.begin() + 6);
        std::reverse(b.begin() + 6, b.begin() + 8);
    }
    return b;
}

[[noreturn]] void wrongValue(const TableDef& table, const ColumnDef& column) {
    unsupported(QStringLiteral("The value given for column \"%1\" of table \"%2\" does not fit its type.")
                    .arg(column.name, table.name));
}

// The value's bytes after the column's flag byte, in ascending form.
QByteArray valueKey(const TableDef& table, const ColumnDef& column, const Value& value) {
    switch (column.type) {
    case ColumnType::Byte:
        if (auto v = std::get_if<qint64>(&value))
            return QByteArray(1, char(quint8(*v)));
        break;
    case ColumnType::Int:
    case ColumnType::Long:
    case ColumnType::BigInt:
    case ColumnType::Complex:
        if (auto v = std::get_if<qint64>(&value))
            return integerKey(column, *v);
        break;
    case ColumnType::Money:
        if (auto v = std::get_if<Currency>(&value))
            return integerKey(column, v->tenThousandths);
        break;
    case ColumnType::Float:
    case ColumnType::Double:
        if (auto v = std::get_if<double>(&value))
            return floatingKey(column, *v);
        break;
    case ColumnType::DateTime:
        if (auto v = std::get_if<DateTime>(&value))
            return floatingKey(column, v->days);
        break;
    default:
        break;
    }
    wrongValue(table, column);
}

} // namespace

bool generalLegacyEncodes(QChar c) {
    return codes().contains(c.unicode());
}

QByteArray generalLegacyTextKey(const QString& text, bool ascending) {
    QString s = text.left(MaxIndexedTextLength);
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1); // trailing spaces do not count
    QByteArray out;
    std::optional<ExtraCodes> extra;
    QByteArray unprintable;
    int charOffset = 0;
    for (QChar c : std::as_const(s)) {
        const auto found = codes().constFind(c.unicode());
        if (found == codes().constEnd())
            unsupported(
                QStringLiteral("The character %1 cannot be written into a text index of this file.").arg(describe(c)));
        const CharCode& code = *found;
        const int at = charOffset;
        if (!code.inlineBytes.isEmpty()) {
            out += code.inlineBytes;
            ++charOffset;
        }
        if (code.kind == 'S' || code.kind == 'X')
            continue;
        if (!code.extraBytes.isEmpty() || code.modifier) {
            if (!extra)
                extra.emplace();
            addExtra(*extra, at, code);
        }
        if (!code.unprintableBytes.isEmpty())
            addUnprintable(unprintable, extra, at, code);
    }
    out.append(char(0x01));
    if (extra) {
        while (!extra->bytes.isEmpty() && quint8(extra->bytes.back()) <= 0x02)
            extra->bytes.chop(1); // trailing "no variant" codes say nothing
        out += extra->bytes;
    }
    if (!unprintable.isEmpty())
        out.append("\x01\x01\x01", 3).append(unprintable);
    if (!ascending) {
        out.append(char(0x00));
        flip(out);
    }
    out.append(char(0x00));
    return out;
}

bool allKeyColumnsNull(const TableDef& table, const IndexDef& index, const QList<Value>& row) {
    for (const IndexColumn& ic : index.columns) {
        const int i = columnIndex(table, ic.columnNumber);
        // a yes/no column is never null in a key: null counts as No
        if (table.columns[i].type == ColumnType::Boolean || !isNull(row.value(i)))
            return false;
    }
    return true;
}

bool anyKeyColumnNull(const TableDef& table, const IndexDef& index, const QList<Value>& row) {
    for (const IndexColumn& ic : index.columns) {
        const int i = columnIndex(table, ic.columnNumber);
        if (table.columns[i].type != ColumnType::Boolean && isNull(row.value(i)))
            return true;
    }
    return false;
}

QByteArray encodeKey(const TableDef& table, const IndexDef& index, const QList<Value>& row) {
    QByteArray key;
    for (const IndexColumn& ic : index.columns) {
        const int i = columnIndex(table, ic.columnNumber);
        const ColumnDef& column = table.columns[i];
        const Value value = row.value(i);
        if (column.type == ColumnType::Boolean) {
            const bool yes = std::holds_alternative<bool>(value) && std::get<bool>(value);
            key.append(ic.ascending ? AscendingStart : DescendingStart);
            key.append(char(yes == ic.ascending ? 0x00 : 0xFF));
            continue;
        }
        if (isNull(value)) {
            key.append(ic.ascending ? AscendingNull : DescendingNull);
            continue;
        }
        key.append(ic.ascending ? AscendingStart : DescendingStart);
        if (column.type == ColumnType::Text || column.type == ColumnType::Memo) {
            const QString* text = std::get_if<QString>(&value);
            if (!text)
                wrongValue(table, column);
            key += generalLegacyTextKey(*text, ic.ascending); // inverts itself, with its own end byte
            continue;
        }
        QByteArray bytes;
        if (column.type == ColumnType::Binary || column.type == ColumnType::Guid) {
            const QByteArray* raw = std::get_if<QByteArray>(&value);
            if (!raw)
                wrongValue(table, column);
            key += binaryKey(column.type == ColumnType::Guid ? guidKeyBytes(*raw) : *raw, ic.ascending);
            continue;
        }
        bytes = valueKey(table, column, value);
        if (!ic.ascending)
            flip(bytes);
        key += bytes;
    }
    return key;
}

std::optional<QString> whyNotKeepable(const TableDef& table, const IndexDef& index) {
    for (const IndexColumn& ic : index.columns) {
        const ColumnDef* column = nullptr;
        for (const ColumnDef& c : table.columns)
            if (c.number == ic.columnNumber)
                column = &c;
        if (!column)
            return QStringLiteral("The index names a column that table \"%1\" does not have.").arg(table.name);
        switch (column->type) {
        case ColumnType::Text:
        case ColumnType::Memo:
            if (!(column->collation == 0 ||
                  (column->collation == GeneralCollation && column->collationVersion == GeneralSortOrder)))
                return QStringLiteral("Column \"%1\" of table \"%2\" sorts its text in an order other than "
                                      "General (Access 2000-2007), whose index keys this program does not write.")
                    .arg(column->name, table.name);
            break;
        case ColumnType::Numeric:
        case ColumnType::Ole:
        case ColumnType::Complex:
            return QStringLiteral("Column \"%1\" of table \"%2\" is of a type whose index keys this program does "
                                  "not write.")
                .arg(column->name, table.name);
        default:
            break;
        }
    }
    return std::nullopt;
}

} // namespace jet
