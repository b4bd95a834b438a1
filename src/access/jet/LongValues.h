#pragma once

// Memo and OLE values: a 12-byte header in the row (length and kind, a row pointer) with the data inline, in one
// row of a long-value page, or in a chain of such rows.

#include "access/jet/JetTypes.h"

namespace jet {

QByteArray readLongValue(PageStore& store, const TableDef& table, const QByteArray& field);
// The field to store in the row: inline when it fits within `inlineRoom`, else the data on long-value pages
// (recorded in the column's own usage maps when it has them).
QByteArray writeLongValue(PageStore& store, const TableDef& table, const ColumnDef& column, const QByteArray& data,
                          int inlineRoom);

} // namespace jet
