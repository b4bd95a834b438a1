#pragma once

// Rows of a table: decoding a row's bytes into values, encoding values into a row as Access lays it out, and
// walking a table's data pages.

#include "access/jet/JetTypes.h"
#include "access/jet/UsageMap.h"

#include <functional>
#include <string>

namespace jet {

// Jet 4 text: UCS-2, or "compressed" (0xFF 0xFE, then runs of one-byte characters and UCS-2 toggled by 0x00).
QString decodeText(QByteArrayView bytes);
// The same text as UTF-8, appended to `out` without a QString on the way. False at a surrogate without its pair,
// which only decodeText keeps as stored.
bool appendTextUtf8(QByteArrayView bytes, std::string& out);
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

// A live row's columns as stored, for a reader that takes the common kinds (whole numbers, short texts) straight
// from the page bytes and leaves every other kind to value(). Valid while the page it was made from lives.
class RowFields {
public:
    // Damaged when the row is too short for the layout it claims.
    RowFields(PageStore& store, const TableDef& table, const QByteArray& page, const RowLocation& at);
    // Null, or a variable column past the slots the row records. A yes/no column is never null.
    bool isNull(const ColumnDef& column) const;
    // The stored bytes of a column that is not null: a fixed column's declared length, a variable column's slot
    // (a memo's header and inline data). Damaged when they lie outside the row.
    QByteArrayView bytes(const ColumnDef& column) const;
    // A Byte, Int, Long or BigInt column's number (the column must not be null).
    static bool holdsWholeNumber(const ColumnDef& column);
    qint64 wholeNumber(const ColumnDef& column) const;
    Value value(const ColumnDef& column) const;

private:
    friend QByteArray rawVariable(const QByteArray& page, const RowLocation& at, const ColumnDef& column);
    // The layout alone; `fits` says whether the row is long enough for it.
    RowFields(const QByteArray& page, const RowLocation& at, bool hasVariable);
    bool flag(int number) const;
    int offset(int i) const;
    // Empty beyond the row's slots, nothing when the slot's bounds lie outside the row.
    std::optional<QByteArrayView> slot(int index) const;
    PageStore* store = nullptr;
    const TableDef* table = nullptr;
    quint32 page = 0;
    const char* row = nullptr;
    int length = 0, columns = 0, maskLength = 0, varCount = 0, varEnd = 0;
    bool fits = false;
};

using RowCallback = std::function<void(RowId, const QList<Value>&)>;
using RowFieldsCallback = std::function<void(RowId, const RowFields&)>;
// Every live row, in page order; a moved row is reported once, under its first slot. Throws Error(Damaged) when a
// page or pointer is bad, or when the rows found do not add up to the definition's row count.
void scanRows(PageStore& store, const TableDef& table, const RowCallback& callback);
void scanRowFields(PageStore& store, const TableDef& table, const RowFieldsCallback& callback);
// The row a RowId names (following a move), or Damaged/Constraint when there is no live row there.
QList<Value> readRow(PageStore& store, const TableDef& table, RowId id);
// Where the row's bytes are, following a move: the location of its data and the slot it started from.
RowLocation locateRow(PageStore& store, const TableDef& table, RowId id, QByteArray* page);

} // namespace jet
