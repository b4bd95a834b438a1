#include "catalogue/AccessValues.h"

#include "access/jet/JetValues.h"
#include "catalogue/Failure.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <sqlite3.h>

namespace accessvalues {

namespace {

Failure doesNotFit(const QString& table, const jet::ColumnDef& column, const QString& what) {
    return Failure(
        failure::ConversionError,
        QStringLiteral("Data type conversion error: the column '%1' of %2 %3.").arg(column.name, table, what));
}

void bindText(sqlite3_stmt* statement, int position, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, position, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// A GUID as Access shows it: {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}, its first three groups stored little-endian.
QString guidText(const QByteArray& bytes) {
    if (bytes.size() != 16)
        return QString::fromLatin1(bytes.toHex());
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    auto hex = [&](std::initializer_list<int> order) {
        QString part;
        for (int i : order)
            part += QStringLiteral("%1").arg(b[i], 2, 16, QLatin1Char('0'));
        return part.toUpper();
    };
    return QStringLiteral("{%1-%2-%3-%4-%5}")
        .arg(hex({3, 2, 1, 0}), hex({5, 4}), hex({7, 6}), hex({8, 9}), hex({10, 11, 12, 13, 14, 15}));
}

std::optional<QByteArray> guidBytes(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        "^\\{?([0-9a-fA-F]{8})-([0-9a-fA-F]{4})-([0-9a-fA-F]{4})-([0-9a-fA-F]{4})-([0-9a-fA-F]{12})\\}?$"));
    const auto match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    auto bytes = [&](int group) { return QByteArray::fromHex(match.captured(group).toLatin1()); };
    auto reversed = [](QByteArray b) {
        std::reverse(b.begin(), b.end());
        return b;
    };
    return reversed(bytes(1)) + reversed(bytes(2)) + reversed(bytes(3)) + bytes(4) + bytes(5);
}

std::optional<qint64> wholeNumber(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return sqlite3_value_int64(value);
    case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(value);
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18)
            return qint64(d);
        return std::nullopt;
    }
    case SQLITE_TEXT: {
        bool ok = false;
        const qint64 n =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value))).trimmed().toLongLong(&ok);
        return ok ? std::optional(n) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<double> realNumber(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_value_double(value);
    case SQLITE_TEXT: {
        bool ok = false;
        const double d =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value))).trimmed().toDouble(&ok);
        return ok && std::isfinite(d) ? std::optional(d) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// Currency is exact: a decimal text with up to four places is read digit by digit, never through a double.
std::optional<qint64> tenThousandths(sqlite3_value* value) {
    if (sqlite3_value_type(value) == SQLITE_INTEGER) {
        const qint64 whole = sqlite3_value_int64(value);
        if (whole > std::numeric_limits<qint64>::max() / 10000 || whole < std::numeric_limits<qint64>::min() / 10000)
            return std::nullopt;
        return whole * 10000;
    }
    if (sqlite3_value_type(value) == SQLITE_FLOAT) {
        const double scaled = std::round(sqlite3_value_double(value) * 10000.0);
        if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18)
            return std::nullopt;
        return qint64(scaled);
    }
    if (sqlite3_value_type(value) != SQLITE_TEXT)
        return std::nullopt;
    static const QRegularExpression form(QStringLiteral("^([+-]?)(\\d{1,15})(?:\\.(\\d{0,4}))?$"));
    const auto match =
        form.match(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value))).trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 magnitude =
        match.captured(2).toLongLong() * 10000 + match.captured(3).leftJustified(4, QLatin1Char('0')).toLongLong();
    return match.captured(1) == QLatin1String("-") ? -magnitude : magnitude;
}

qint64 limitOf(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Byte:
        return 255;
    case jet::ColumnType::Int:
        return 32767;
    case jet::ColumnType::Long:
        return 2147483647;
    default:
        return std::numeric_limits<qint64>::max();
    }
}
qint64 lowestOf(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Byte:
        return 0;
    case jet::ColumnType::Int:
        return -32768;
    case jet::ColumnType::Long:
        return -2147483647 - 1;
    default:
        return std::numeric_limits<qint64>::min();
    }
}

QString textOf(sqlite3_value* value) {
    if (sqlite3_value_type(value) == SQLITE_BLOB)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
}
// "YYYY-MM-DD[ HH:MM:SS]" as days since 1899-12-30, the way Access keeps a date/time; nothing when it is not one.
std::optional<double> daysFromText(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(?:[ T](\\d{2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const auto match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
    if (!date.isValid() || !time.isValid() || date.year() < 100)
        return std::nullopt;
    const qint64 whole = QDate(1899, 12, 30).daysTo(date);
    const double fraction = time.msecsSinceStartOfDay() / 86400000.0;
    // Before 1899-12-30 the whole days count backwards while the time of day still counts forwards.
    return whole < 0 ? double(whole) - fraction : double(whole) + fraction;
}

} // namespace

QString declaredType(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Boolean:
        return QStringLiteral("BOOLEAN");
    case jet::ColumnType::Byte:
    case jet::ColumnType::Int:
    case jet::ColumnType::Long:
    case jet::ColumnType::BigInt:
        return QStringLiteral("INTEGER");
    case jet::ColumnType::Money:
    case jet::ColumnType::Numeric:
        return QStringLiteral("NUMERIC");
    case jet::ColumnType::Float:
    case jet::ColumnType::Double:
        return QStringLiteral("REAL");
    case jet::ColumnType::DateTime:
        return QStringLiteral("DATETIME");
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo:
    case jet::ColumnType::Guid:
        return QStringLiteral("TEXT COLLATE NOCASE");
    default:
        return QStringLiteral("BLOB");
    }
}

void bind(sqlite3_stmt* statement, int position, const jet::ColumnDef& column, const jet::Value& value,
          const QString& table) {
    if (column.type == jet::ColumnType::Boolean) {
        // A yes/no value lives in the row's null flags: it is never null.
        const bool* yes = std::get_if<bool>(&value);
        sqlite3_bind_int(statement, position, yes && *yes ? 1 : 0);
        return;
    }
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                sqlite3_bind_null(statement, position);
            } else if constexpr (std::is_same_v<T, bool>) {
                sqlite3_bind_int(statement, position, v ? 1 : 0);
            } else if constexpr (std::is_same_v<T, qint64>) {
                sqlite3_bind_int64(statement, position, v);
            } else if constexpr (std::is_same_v<T, jet::Currency>) {
                const QByteArray text = jet::currencyText(v.tenThousandths);
                sqlite3_bind_text(statement, position, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            } else if constexpr (std::is_same_v<T, double>) {
                sqlite3_bind_double(statement, position,
                                    column.type == jet::ColumnType::Float ? jet::singleAsDouble(float(v)) : v);
            } else if constexpr (std::is_same_v<T, jet::DateTime>) {
                const auto text = jet::dateTimeText(v.days);
                if (!text)
                    throw doesNotFit(
                        table, column,
                        QStringLiteral("holds the date/time value %1, outside the years 100 to 9999").arg(v.days));
                bindText(statement, position, *text);
            } else if constexpr (std::is_same_v<T, QString>) {
                bindText(statement, position, v);
            } else {
                if (column.type == jet::ColumnType::Guid) {
                    bindText(statement, position, guidText(v));
                    return;
                }
                sqlite3_bind_blob(statement, position, v.constData(), int(v.size()), SQLITE_TRANSIENT);
            }
        },
        value);
}

jet::Value fromSqlite(sqlite3_value* value, const jet::ColumnDef& column, const QString& table) {
    const int storage = sqlite3_value_type(value);
    if (column.type == jet::ColumnType::Boolean) {
        const auto n = wholeNumber(value);
        return bool(storage != SQLITE_NULL && (!n || *n != 0));
    }
    if (storage == SQLITE_NULL)
        return std::monostate{};
    switch (column.type) {
    case jet::ColumnType::Byte:
    case jet::ColumnType::Int:
    case jet::ColumnType::Long:
    case jet::ColumnType::BigInt: {
        const auto n = wholeNumber(value);
        if (!n)
            throw doesNotFit(table, column, QStringLiteral("takes whole numbers, not '%1'").arg(textOf(value)));
        if (*n > limitOf(column.type) || *n < lowestOf(column.type))
            throw doesNotFit(table, column, QStringLiteral("cannot hold %1, beyond its size").arg(*n));
        return *n;
    }
    case jet::ColumnType::Money: {
        const auto n = tenThousandths(value);
        if (!n)
            throw doesNotFit(table, column, QStringLiteral("takes a currency amount, not '%1'").arg(textOf(value)));
        return jet::Currency{*n};
    }
    case jet::ColumnType::Float:
    case jet::ColumnType::Double: {
        const auto d = realNumber(value);
        if (!d)
            throw doesNotFit(table, column, QStringLiteral("takes a number, not '%1'").arg(textOf(value)));
        return *d;
    }
    case jet::ColumnType::DateTime: {
        const auto days = storage == SQLITE_TEXT ? daysFromText(textOf(value)) : realNumber(value);
        if (!days)
            throw doesNotFit(table, column, QStringLiteral("takes a date, not '%1'").arg(textOf(value)));
        return jet::DateTime{*days};
    }
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo: {
        const QString text = storage == SQLITE_BLOB ? QString() : textOf(value);
        if (storage == SQLITE_BLOB)
            throw doesNotFit(table, column, QStringLiteral("takes text, not binary data"));
        // A text column's declared length counts bytes of UCS-2.
        if (column.type == jet::ColumnType::Text && column.length > 0 && text.size() > column.length / 2)
            throw Failure(failure::FieldTooSmall,
                          QStringLiteral("The field is too small to accept the amount of data you attempted to add: "
                                         "the column '%1' of %2 holds %3 characters, and the value has %4.")
                              .arg(column.name, table)
                              .arg(column.length / 2)
                              .arg(text.size()));
        return text;
    }
    case jet::ColumnType::Guid: {
        const auto bytes = guidBytes(textOf(value));
        if (!bytes)
            throw doesNotFit(table, column, QStringLiteral("takes a GUID, not '%1'").arg(textOf(value)));
        return *bytes;
    }
    default: {
        if (storage != SQLITE_BLOB)
            throw doesNotFit(table, column, QStringLiteral("takes binary data"));
        return QByteArray(static_cast<const char*>(sqlite3_value_blob(value)), sqlite3_value_bytes(value));
    }
    }
}

} // namespace accessvalues
