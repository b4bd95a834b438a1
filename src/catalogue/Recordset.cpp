#include "catalogue/Recordset.h"

#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"
#include "catalogue/PreparedStatement.h"
#include "catalogue/Text.h"

namespace {
// Binds as Qt's driver did: a null text is null, whole numbers and truth values are integers.
int bindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull()))
        return sqlite3_bind_null(statement, index);
    if (value.typeId() == QMetaType::Bool || isWholeNumber(value))
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(statement, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text64(statement, index, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                                   SQLITE_UTF8);
    }
    }
}
} // namespace

int columnPosition(const QStringList& columns, const QString& name) {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw failure::itemNotFound(name);
}

struct Recordset::Rows {
    sqlite3* engine = nullptr;
    PreparedStatement statement;

    // Steps to the next row; false past the last one.
    bool step() {
        const int code = sqlite3_step(statement.get());
        if (code == SQLITE_ROW)
            return true;
        if (code == SQLITE_DONE)
            return false;
        throw engineFailure(engine, code);
    }
};

Recordset::Recordset(QSqlDatabase db, const Statement& statement) : rows(std::make_unique<Rows>()) {
    rows->engine = engineHandle(db);
    rows->statement = prepareStatement(rows->engine, statement.text);
    sqlite3_stmt* const prepared = rows->statement.get();
    for (int i = 0; i < statement.binds.size(); ++i)
        if (const int code = bindValue(prepared, i + 1, statement.binds[i]); code != SQLITE_OK)
            throw bindFailure(rows->engine, code, QStringLiteral("value %1 of the statement").arg(i + 1));
    // Named as Qt named them, without the quotes a statement may put around them.
    for (int i = 0; i < sqlite3_column_count(prepared); ++i)
        columns << QString::fromUtf8(sqlite3_column_name(prepared, i)).remove(QLatin1Char('"'));
    atEnd = !rows->step();
}

Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset::~Recordset() {
    Close();
}

bool Recordset::Eof() const {
    return atEnd;
}

void Recordset::MoveNext() {
    if (atEnd || !rows)
        throw failure::noCurrentRecord();
    atEnd = !rows->step();
}

void Recordset::RequireRow(int position) const {
    if (position < 0 || position >= columns.size())
        throw failure::itemNotFound();
    if (atEnd || !rows)
        throw failure::noCurrentRecord();
}

QVariant Recordset::Fields(int position) const {
    RequireRow(position);
    sqlite3_stmt* const row = rows->statement.get();
    switch (sqlite3_column_type(row, position)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(row, position));
    case SQLITE_FLOAT:
        return sqlite3_column_double(row, position);
    case SQLITE_BLOB: {
        const void* bytes = sqlite3_column_blob(row, position);
        return QByteArray(static_cast<const char*>(bytes), sqlite3_column_bytes(row, position));
    }
    case SQLITE_NULL:
        return QVariant();
    default:
        return TextField(position).toString();
    }
}

QVariant Recordset::Fields(const QString& name) const {
    return Fields(FieldPosition(name));
}

// One call that takes the database's lock, then reads that need none: the connection is only ever used from
// the thread that opened it.
Recordset::FieldValue Recordset::RawField(int position) const {
    RequireRow(position);
    sqlite3_value* const value = sqlite3_column_value(rows->statement.get(), position);
    FieldValue result;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        result.kind = FieldKind::Whole;
        result.whole = sqlite3_value_int64(value);
        break;
    case SQLITE_FLOAT:
        result.kind = FieldKind::Real;
        break;
    case SQLITE_NULL:
        break;
    case SQLITE_BLOB:
        result.kind = FieldKind::Bytes;
        result.utf8 = QByteArrayView(static_cast<const char*>(sqlite3_value_blob(value)), sqlite3_value_bytes(value));
        break;
    default:
        result.kind = FieldKind::Text;
        result.utf8 =
            QByteArrayView(reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
        break;
    }
    return result;
}

QStringView Recordset::TextField(int position) const {
    RequireRow(position);
    sqlite3_stmt* const row = rows->statement.get();
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(row, position));
    return QStringView(text, sqlite3_column_bytes16(row, position) / qsizetype(sizeof(char16_t)));
}

int Recordset::FieldCount() const {
    return int(columns.size());
}

QString Recordset::FieldName(int position) const {
    return columns.value(position);
}

int Recordset::FieldPosition(const QString& name) const {
    return columnPosition(columns, name);
}

void Recordset::Close() {
    rows.reset();
    atEnd = true;
}
