#pragma once

// Rows of a table: decoding a row's bytes into values, encoding values into a row as Access lays it out, and
// walking a table's data pages.

#include "access/jet/JetTypes.h"
#include "access/jet/UsageMap.h"

#include <functional>

namespace jet {

// Jet 4 text: UCS-2, or "compressed" (0xFF 0xFE, then runs of one-byte characters and UCS-2 toggled by 0x00).
QString decodeText(const QByteArray& bytes);
// The form Access writes: compressed when every character fits in one byte, else UCS-2.
QByteArray encodeText(const QString& text, bool compress);

// The values of the row at `at` on `page` (already read), in the definition's column order.
QList<Value> decodeRow(PageStore& store, const TableDef& table, const QByteArray& page, const RowLocation& at);
// The stored bytes of a variable-length column of the row (a memo's 12-byte field, say); empty when null.
QByteArray rawVariable(const QByteArray& page, const RowLocation& at, const ColumnDef& column);
// The row's bytes, padded to `minSize` (a slot it overwrites). `longValueFields` holds each Memo/OLE column's field
// as already placed. Throws Error(Constraint) for a value the column cannot take.
QByteArray encodeRow(const TableDef& table, int maxColumns, const QList<Value>& values,
                     const QList<QByteArray>& longValueFields, int minSize = 0);

using RowCallback = std::function<void(RowId, const QList<Value>&)>;
// Every live row, in page order; a moved row is reported once, under its first slot. Throws Error(Damaged) when a
// page or pointer is bad, or when the rows found do not add up to the definition's row count.
void scanRows(PageStore& store, const TableDef& table, const RowCallback& callback);
// The row a RowId names (following a move), or Damaged/Constraint when there is no live row there.
QList<Value> readRow(PageStore& store, const TableDef& table, RowId id);
// Where the row's bytes are, following a move: the location of its data and the slot it started from.
RowLocation locateRow(PageStore& store, const TableDef& table, RowId id, QByteArray* page);

} // namespace jet
