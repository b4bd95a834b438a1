#include "catalogue/RowAdder.h"

#include "catalogue/ColumnConversion.h"
#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"
#include "catalogue/PreparedStatement.h"
#include "catalogue/Recordset.h"
#include "catalogue/Statements.h"

#include <string>
#include <vector>

namespace {
Failure closed() {
    return {failure::CannotUpdate, QStringLiteral("Cannot update. Database or object is read-only.")};
}
Failure notAdding() {
    return {failure::UpdateWithoutAddNew, QStringLiteral("Update or CancelUpdate without AddNew or Edit.")};
}
} // namespace

// One value waiting for Update. Texts keep their buffer from row to row, so that adding many rows does not
// allocate for each value.
struct RowAdder::Value {
    enum class Kind { Null, Whole, Text };
    Kind kind = Kind::Null;
    qint64 whole = 0;
    std::string text;
};

struct RowAdder::Table {
    sqlite3* engine = nullptr;
    PreparedStatement insert;
    QStringList columns;
    std::vector<ColumnKind> kinds;
    std::vector<Value> row;
    bool editing = false;
};

RowAdder::RowAdder(QSqlDatabase db, const QString& name) : table(std::make_unique<Table>()) {
    table->engine = engineHandle(db);
    const PreparedStatement info = prepareStatement(table->engine, statements::tableColumns(name).text);
    for (int code = sqlite3_step(info.get()); code != SQLITE_DONE; code = sqlite3_step(info.get())) {
        if (code != SQLITE_ROW)
            throw engineFailure(table->engine, code);
        table->columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1)));
        table->kinds.push_back(
            columnKindOf(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 2)))));
    }
    if (table->columns.isEmpty())
        throw noSuchTable(name);
    table->row.resize(size_t(table->columns.size()));
    table->insert = prepareStatement(table->engine, statements::addRow(name, table->columns).text);
}

RowAdder::RowAdder(RowAdder&&) noexcept = default;
RowAdder& RowAdder::operator=(RowAdder&&) noexcept = default;
RowAdder::~RowAdder() = default;

int RowAdder::FieldCount() const {
    return table ? int(table->columns.size()) : 0;
}

QString RowAdder::FieldName(int position) const {
    return table ? table->columns.value(position) : QString();
}

int RowAdder::FieldPosition(const QString& name) const {
    return columnPosition(table ? table->columns : QStringList(), name);
}

void RowAdder::AddNew() {
    if (!table)
        throw closed();
    for (Value& value : table->row)
        value.kind = Value::Kind::Null;
    table->editing = true;
}

RowAdder::Value& RowAdder::PendingAt(int position) {
    if (!table)
        throw closed();
    if (position < 0 || position >= table->columns.size())
        throw failure::itemNotFound();
    if (!table->editing)
        throw notAdding();
    return table->row[size_t(position)];
}

void RowAdder::SetWholeField(int position, qint64 value) {
    Value& pending = PendingAt(position);
    pending.kind = Value::Kind::Whole;
    pending.whole = value;
}

void RowAdder::SetTextField(int position, std::string_view utf8) {
    Value& pending = PendingAt(position);
    pending.kind = Value::Kind::Text;
    pending.text.assign(utf8);
}

// Hands the pending value of one column to the insert, a text converted for the column's declared type.
void RowAdder::Bind(int position) {
    const Value& value = table->row[size_t(position)];
    sqlite3_stmt* const insert = table->insert.get();
    const int index = position + 1;
    int code = SQLITE_OK;
    if (value.kind == Value::Kind::Null) {
        code = sqlite3_bind_null(insert, index);
    } else if (value.kind == Value::Kind::Whole) {
        code = sqlite3_bind_int64(insert, index, value.whole);
    } else {
        const ConvertedText converted = convertText(value.text, table->kinds[size_t(position)]);
        switch (converted.kind) {
        case ConvertedText::Kind::Text:
            // The buffer stays as it is until the row is written: the engine need not copy it.
            code = sqlite3_bind_text64(insert, index, value.text.data(), value.text.size(), SQLITE_STATIC, SQLITE_UTF8);
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
            throw RefusedValue(table->columns[position], table->kinds[size_t(position)], value.text);
        }
    }
    if (code != SQLITE_OK)
        throw bindFailure(table->engine, code, QStringLiteral("column '%1'").arg(table->columns[position]));
}

void RowAdder::Update() {
    if (!table)
        throw closed();
    if (!table->editing)
        throw notAdding();
    table->editing = false;
    sqlite3_stmt* const insert = table->insert.get();
    for (int i = 0; i < table->columns.size(); ++i)
        Bind(i);
    const int code = sqlite3_step(insert);
    if (code != SQLITE_DONE) {
        const Failure failure = engineFailure(table->engine, code);
        sqlite3_reset(insert);
        throw failure;
    }
    sqlite3_reset(insert);
}

void RowAdder::Close() {
    table.reset();
}
