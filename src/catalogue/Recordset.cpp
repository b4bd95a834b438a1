#include "catalogue/Recordset.h"

#include "catalogue/ColumnConversion.h"
#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"

#include <QRegularExpression>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {
struct Finalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using PreparedStatement = std::unique_ptr<sqlite3_stmt, Finalizer>;

PreparedStatement prepare(sqlite3* engine, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const int code = sqlite3_prepare_v2(engine, text.constData(), int(text.size()), &statement, nullptr);
    if (code != SQLITE_OK) {
        const Failure failure = engineFailure(engine, code);
        sqlite3_finalize(statement);
        throw failure;
    }
    return PreparedStatement(statement);
}

// Binds as Qt's driver did: a null text is null, whole numbers and truth values are integers.
int bindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull()))
        return sqlite3_bind_null(statement, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
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

// One value waiting for Update, kept in the form it was given in. Texts keep their buffer from row to row, so
// that adding many rows does not allocate for each value.
struct PendingValue {
    enum class Kind { Null, Whole, Real, Text, FixedText, Bytes };
    Kind kind = Kind::Null;
    qint64 whole = 0;
    double real = 0;
    std::string bytes;
};

struct Recordset::Adder {
    sqlite3* engine = nullptr;
    PreparedStatement insert;
    std::vector<ColumnKind> kinds;
    std::vector<PendingValue> row;
    bool editing = false;
};

Recordset::Recordset(QSqlDatabase db, const Statement& statement, RecordsetType type) {
    sqlite3* const engine = engineHandle(db);
    if (type == RecordsetType::Dynaset) {
        static const QRegularExpression wholeTable(QStringLiteral("^SELECT \\* FROM (\\w+)$"));
        const auto match = wholeTable.match(statement.text);
        if (!match.hasMatch())
            throw Failure(failure::OperationNotSupported,
                          QStringLiteral("Operation is not supported for this type of object."));
        const QString table = match.captured(1);
        adder = std::make_unique<Adder>();
        adder->engine = engine;
        const PreparedStatement info = prepare(engine, statements::tableColumns(table).text);
        for (int code = sqlite3_step(info.get()); code != SQLITE_DONE; code = sqlite3_step(info.get())) {
            if (code != SQLITE_ROW)
                throw engineFailure(engine, code);
            columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1)));
            adder->kinds.push_back(
                columnKindOf(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 2)))));
        }
        if (columns.isEmpty())
            throw noSuchTable(table);
        adder->row.resize(columns.size());
        adder->insert = prepare(engine, statements::addRow(table, columns).text);
        return;
    }
    rows = std::make_unique<Rows>();
    rows->engine = engine;
    rows->statement = prepare(engine, statement.text);
    sqlite3_stmt* const prepared = rows->statement.get();
    for (int i = 0; i < statement.binds.size(); ++i)
        if (const int code = bindValue(prepared, i + 1, statement.binds[i]); code != SQLITE_OK)
            throw engineFailure(engine, code);
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

void Recordset::requireRow(int position) const {
    if (position < 0 || position >= columns.size())
        throw failure::itemNotFound();
    if (atEnd || !rows)
        throw failure::noCurrentRecord();
}

QVariant Recordset::Fields(int position) const {
    requireRow(position);
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
        return textField(position).toString();
    }
}

QVariant Recordset::Fields(const QString& name) const {
    return Fields(FieldPosition(name));
}

// One call that takes the database's lock, then reads that need none: the connection is only ever used from
// the thread that opened it.
Recordset::FieldValue Recordset::field(int position) const {
    requireRow(position);
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

QStringView Recordset::textField(int position) const {
    requireRow(position);
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
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw failure::itemNotFound(name);
}

void Recordset::requireAdder() const {
    if (!adder)
        throw Failure(failure::CannotUpdate, QStringLiteral("Cannot update. Database or object is read-only."));
}

void Recordset::requireEditing() const {
    requireAdder();
    if (!adder->editing)
        throw Failure(failure::UpdateWithoutAddNew, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
}

void Recordset::AddNew() {
    requireAdder();
    for (PendingValue& value : adder->row)
        value.kind = PendingValue::Kind::Null;
    adder->editing = true;
}

void Recordset::setField(int position, const QVariant& value) {
    requireAdder();
    if (position < 0 || position >= columns.size())
        throw failure::itemNotFound();
    requireEditing();
    PendingValue& pending = adder->row[size_t(position)];
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull())) {
        pending.kind = PendingValue::Kind::Null;
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        pending.kind = PendingValue::Kind::Whole;
        pending.whole = value.toLongLong();
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        pending.kind = PendingValue::Kind::Real;
        pending.real = value.toDouble();
        return;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        pending.kind = PendingValue::Kind::Bytes;
        pending.bytes.assign(bytes.constData(), size_t(bytes.size()));
        return;
    }
    default: {
        // Only a text is converted for a number column; any other value goes in as its text, as it always did.
        const QByteArray text = value.toString().toUtf8();
        pending.kind = value.typeId() == QMetaType::QString ? PendingValue::Kind::Text : PendingValue::Kind::FixedText;
        pending.bytes.assign(text.constData(), size_t(text.size()));
        return;
    }
    }
}

void Recordset::setField(const QString& name, const QVariant& value) {
    setField(FieldPosition(name), value);
}

void Recordset::setWholeField(int position, qint64 value) {
    requireAdder();
    if (position < 0 || position >= columns.size())
        throw failure::itemNotFound();
    requireEditing();
    PendingValue& pending = adder->row[size_t(position)];
    pending.kind = PendingValue::Kind::Whole;
    pending.whole = value;
}

void Recordset::setFieldUtf8(int position, std::string_view utf8) {
    requireAdder();
    if (position < 0 || position >= columns.size())
        throw failure::itemNotFound();
    requireEditing();
    PendingValue& pending = adder->row[size_t(position)];
    pending.kind = PendingValue::Kind::Text;
    pending.bytes.assign(utf8);
}

void Recordset::Update() {
    requireEditing();
    adder->editing = false;
    sqlite3_stmt* const insert = adder->insert.get();
    for (size_t i = 0; i < adder->row.size(); ++i) {
        const PendingValue& value = adder->row[i];
        const int index = int(i) + 1;
        int code = SQLITE_OK;
        switch (value.kind) {
        case PendingValue::Kind::Null:
            code = sqlite3_bind_null(insert, index);
            break;
        case PendingValue::Kind::Whole:
            code = sqlite3_bind_int64(insert, index, value.whole);
            break;
        case PendingValue::Kind::Real:
            code = sqlite3_bind_double(insert, index, value.real);
            break;
        case PendingValue::Kind::Bytes:
            code = sqlite3_bind_blob64(insert, index, value.bytes.data(), value.bytes.size(), SQLITE_STATIC);
            break;
        case PendingValue::Kind::Text:
        case PendingValue::Kind::FixedText: {
            const ConvertedText converted =
                value.kind == PendingValue::Kind::Text ? convertText(value.bytes, adder->kinds[i]) : ConvertedText();
            switch (converted.kind) {
            case ConvertedText::Kind::Text:
                // The buffer stays as it is until the row is written: the engine need not copy it.
                code = sqlite3_bind_text64(insert, index, value.bytes.data(), value.bytes.size(), SQLITE_STATIC,
                                           SQLITE_UTF8);
                break;
            case ConvertedText::Kind::Null:
                code = sqlite3_bind_null(insert, index);
                break;
            case ConvertedText::Kind::Whole:
                code = sqlite3_bind_int64(insert, index, converted.whole);
                break;
            case ConvertedText::Kind::Real:
                code = sqlite3_bind_double(insert, index, converted.real);
                break;
            case ConvertedText::Kind::NewText:
                code = sqlite3_bind_text64(insert, index, converted.newText.constData(),
                                           sqlite3_uint64(converted.newText.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            case ConvertedText::Kind::Refused:
                throw RefusedValue(columns[int(i)], adder->kinds[i], value.bytes);
            }
            break;
        }
        }
        if (code != SQLITE_OK)
            throw engineFailure(adder->engine, code);
    }
    const int code = sqlite3_step(insert);
    if (code != SQLITE_DONE) {
        const Failure failure = engineFailure(adder->engine, code);
        sqlite3_reset(insert);
        throw failure;
    }
    sqlite3_reset(insert);
}

void Recordset::Close() {
    rows.reset();
    adder.reset();
    atEnd = true;
}
