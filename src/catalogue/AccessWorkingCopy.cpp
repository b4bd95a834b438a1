#include "catalogue/AccessWorkingCopy.h"

#include "access/jet/RowCodec.h"
#include "catalogue/AccessValues.h"
#include "catalogue/EngineFailure.h"
#include "catalogue/PreparedStatement.h"

#include <algorithm>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

void addKeyPart(QByteArray& key, sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        key += 'i' + QByteArray::number(sqlite3_value_int64(v));
        break;
    case SQLITE_NULL:
        key += 'n';
        break;
    default:
        key += 't' + QByteArray(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    }
    key += '\0';
}

void addKeyPart(QByteArray& key, const jet::Value& value) {
    if (const auto* n = std::get_if<qint64>(&value))
        key += 'i' + QByteArray::number(*n);
    else if (const auto* b = std::get_if<bool>(&value))
        key += 'i' + QByteArray::number(*b ? 1 : 0);
    else if (const auto* text = std::get_if<QString>(&value))
        key += 't' + text->toUtf8();
    else if (jet::isNull(value))
        key += 'n';
    else
        key += 'x';
    key += '\0';
}

RowKey storedKey(const jet::RowFields& fields, const jet::TableDef& table, const QList<int>& keyColumns) {
    RowKey key;
    if (keyColumns.size() == 1) {
        const jet::Value value = fields.value(table.columns[keyColumns[0]]);
        if (const auto* n = std::get_if<qint64>(&value))
            return {*n, {}};
        if (const auto* b = std::get_if<bool>(&value))
            return {*b ? 1 : 0, {}};
        addKeyPart(key.bytes, value);
        return key;
    }
    for (int column : keyColumns)
        addKeyPart(key.bytes, fields.value(table.columns[column]));
    return key;
}

// A one-column whole-number key is declared as a converted catalogue declares it, which makes it the table's own
// row number: rows go in without a second tree to keep, and the working copy answers as that catalogue does.
bool keyIsRowNumber(const jet::TableDef& table, const QList<int>& keyColumns) {
    return keyColumns.size() == 1 &&
           accessvalues::declaredType(table.columns[keyColumns[0]].type) == QLatin1String("INTEGER");
}

QString createTable(const jet::TableDef& table, const QList<int>& keyColumns) {
    QStringList columns, key;
    for (const jet::ColumnDef& column : table.columns)
        columns << quotedIdentifier(column.name) + QLatin1Char(' ') + accessvalues::declaredType(column.type);
    if (keyIsRowNumber(table, keyColumns))
        columns[keyColumns[0]] += QLatin1String(" NOT NULL PRIMARY KEY");
    else if (!keyColumns.isEmpty()) {
        for (int i : keyColumns)
            key << quotedIdentifier(table.columns[i].name);
        columns << QStringLiteral("PRIMARY KEY (%1)").arg(key.join(QLatin1String(", ")));
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quotedIdentifier(table.name), columns.join(QLatin1String(", ")));
}

// The file's unique indexes refuse here as they would in Access, before anything reaches the file; the owner
// index is the one a SQLite catalogue has for the lists. Made once the rows are in: the engine builds an index
// from sorted keys far faster than it grows one row by row.
void createIndexes(sqlite3* db, const jet::TableDef& table, int ownedRows) {
    for (const jet::IndexDef& index : table.indexes) {
        if (!index.unique() || index.primaryKey)
            continue;
        QStringList indexed;
        for (const jet::IndexColumn& c : index.columns)
            for (const jet::ColumnDef& column : table.columns)
                if (column.number == c.columnNumber)
                    indexed << quotedIdentifier(column.name);
        runStatement(db, QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                             .arg(quotedIdentifier(QStringLiteral("%1_unique_%2").arg(table.name).arg(index.number)),
                                  quotedIdentifier(table.name), indexed.join(QLatin1String(", "))));
    }
    if (ownedRows >= 0)
        runStatement(db, QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                             .arg(quotedIdentifier(table.name + QStringLiteral("_by_owner")),
                                  quotedIdentifier(table.name), quotedIdentifier(table.columns[ownedRows].name)));
}

// Whole numbers, yes/no and texts go from the page bytes straight into the statement, as they make up nearly all
// of a catalogue; every other kind goes through its Access value. `text` holds the bound text until the row is in.
void bindStored(sqlite3_stmt* insert, int position, const jet::ColumnDef& column, const jet::RowFields& fields,
                const QString& table, std::string& text) {
    if (column.type != jet::ColumnType::Boolean && fields.isNull(column)) {
        sqlite3_bind_null(insert, position);
    } else if (jet::RowFields::holdsWholeNumber(column)) {
        sqlite3_bind_int64(insert, position, fields.wholeNumber(column));
    } else if (column.type == jet::ColumnType::Text && !column.fixed() &&
               (text.clear(), jet::appendTextUtf8(fields.bytes(column), text))) {
        sqlite3_bind_text(insert, position, text.data(), int(text.size()), SQLITE_STATIC);
    } else {
        accessvalues::bind(insert, position, column, fields.value(column), table);
    }
}

} // namespace

RowKey keyOf(sqlite3_value* const* values, const QList<int>& keyColumns) {
    if (keyColumns.size() == 1 && sqlite3_value_type(values[keyColumns[0]]) == SQLITE_INTEGER)
        return {sqlite3_value_int64(values[keyColumns[0]]), {}};
    RowKey key;
    for (int column : keyColumns)
        addKeyPart(key.bytes, values[column]);
    return key;
}

void RowPositions::addLoaded(const RowKey& key, jet::RowId id) {
    if (!key.bytes.isEmpty()) {
        others.insert(key.bytes, id);
        return;
    }
    if (!loaded.empty() && loaded.back().first >= key.number)
        sorted = false;
    loaded.emplace_back(key.number, id);
}

const jet::RowId* RowPositions::find(const RowKey& key) {
    if (!key.bytes.isEmpty()) {
        const auto found = others.constFind(key.bytes);
        return found == others.constEnd() ? nullptr : &*found;
    }
    if (const auto found = changed.constFind(key.number); found != changed.constEnd())
        return found->has_value() ? &**found : nullptr;
    if (!sorted) {
        std::sort(loaded.begin(), loaded.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        sorted = true;
    }
    const auto at = std::lower_bound(loaded.cbegin(), loaded.cend(), key.number,
                                     [](const auto& entry, qint64 number) { return entry.first < number; });
    return at != loaded.cend() && at->first == key.number ? &at->second : nullptr;
}

void RowPositions::insert(const RowKey& key, jet::RowId id) {
    if (key.bytes.isEmpty())
        changed.insert(key.number, id);
    else
        others.insert(key.bytes, id);
}

void RowPositions::remove(const RowKey& key) {
    if (key.bytes.isEmpty())
        changed.insert(key.number, std::nullopt);
    else
        others.remove(key.bytes);
}

namespace {

// Rows go in many to a statement (as many as its limit on parameters allows): a good part of the engine's cost
// for a small row is the statement's own run.
int rowsPerStatement(sqlite3* db, int columns) {
    return std::clamp(sqlite3_limit(db, SQLITE_LIMIT_VARIABLE_NUMBER, -1) / std::max(columns, 1), 1, 256);
}

QString insertRows(const jet::TableDef& table, qint64 rows) {
    QStringList marks;
    for (qsizetype i = 0; i < table.columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString row = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    QStringList all;
    for (qint64 i = 0; i < rows; ++i)
        all << row;
    return QStringLiteral("INSERT INTO %1 VALUES %2").arg(quotedIdentifier(table.name), all.join(QLatin1Char(',')));
}

} // namespace

void loadTable(sqlite3* db, jet::PageStore& store, const jet::TableDef& table, const QList<int>& keyColumns,
               int ownedRows, RowPositions& positions) {
    runStatement(db, createTable(table, keyColumns));
    // The definition's row count says how many rows come (the scan refuses any other count), so the last rows
    // take a statement of their own size; one beyond the count goes in alone before the scan refuses the file.
    const int columns = int(table.columns.size()), batch = rowsPerStatement(db, columns);
    const qint64 count = table.rowCount, whole = count - count % batch;
    const PreparedStatement many = prepareStatement(db, insertRows(table, batch)),
                            one = prepareStatement(db, insertRows(table, 1));
    const PreparedStatement last = count > whole ? prepareStatement(db, insertRows(table, count - whole)) : nullptr;
    std::vector<std::string> texts(size_t(batch * columns));
    positions = RowPositions(); // not sized by the definition's count, which a damaged file may overstate
    qint64 row = 0;
    jet::scanRowFields(store, table, [&](jet::RowId id, const jet::RowFields& fields) {
        sqlite3_stmt* insert = row < whole ? many.get() : row < count ? last.get() : one.get();
        const int at = row < whole ? int(row % batch) : row < count ? int(row - whole) : 0;
        for (int i = 0; i < columns; ++i)
            bindStored(insert, at * columns + i + 1, table.columns[i], fields, table.name,
                       texts[size_t(at * columns + i)]);
        positions.addLoaded(storedKey(fields, table, keyColumns), id);
        ++row;
        if (sqlite3_bind_parameter_count(insert) == (at + 1) * columns) {
            checkEngine(db, sqlite3_step(insert));
            sqlite3_reset(insert);
        }
    });
    createIndexes(db, table, ownedRows);
}
