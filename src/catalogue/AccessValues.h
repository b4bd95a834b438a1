#pragma once

#include "access/jet/JetTypes.h"

#include <QString>

struct sqlite3_stmt;
struct sqlite3_value;

// How a value of an Access column lives in the SQLite working copy, and how it goes back: the same forms a
// converted catalogue holds (dates as text, currency as an exact decimal, yes/no as 1 or 0), so that an Access
// catalogue and a SQLite one answer every statement alike.
namespace accessvalues {

// The declared SQLite type of a column of this Access type ("TEXT COLLATE NOCASE", "INTEGER", ...).
QString declaredType(jet::ColumnType type);

// Binds an Access value at position (1-based) of a statement. Fails when the file holds something no catalogue
// value can be (a date outside the years 100 to 9999).
void bind(sqlite3_stmt* statement, int position, const jet::ColumnDef& column, const jet::Value& value,
          const QString& table);

// The Access value for a working-copy value of this column. Fails (3421 or 3163) naming table and column when the
// value does not fit the column: text longer than the column holds, a whole number beyond its size, a word in a
// number column.
jet::Value fromSqlite(sqlite3_value* value, const jet::ColumnDef& column, const QString& table);

} // namespace accessvalues
