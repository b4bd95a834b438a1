#pragma once

// Adding, changing and removing rows of a table on its data pages, as Access lays them out. Every page goes
// through the store (nothing reaches the file before the store's commit); after each row the index upkeep is
// told, and the table definition's row count and auto-number follow. A failure throws Error and leaves the pending
// writes for the caller to roll back.

#include "access/jet/IndexUpkeep.h"
#include "access/jet/JetTypes.h"

namespace jet {

// `table` is updated along with its definition page (row count, next auto-number). A null value in an
// auto-number column takes the next number.
RowId insertRow(PageStore& store, TableDef& table, QList<Value> values, IndexUpkeep& indexes);
void updateRow(PageStore& store, TableDef& table, RowId row, QList<Value> values, IndexUpkeep& indexes);
void deleteRow(PageStore& store, TableDef& table, RowId row, IndexUpkeep& indexes);

// The data-page primitives, shared with the long-value writer.
namespace datapage {
constexpr int headerSize = 14, maxRows = 255;
// A fresh data page for the table (its owner written), or for long values when `owner` is 0.
QByteArray fresh(int pageSize, quint32 owner);
// Whether a row of that size still fits on the page.
bool fits(const QByteArray& page, int size);
// Adds the row to the page image; returns its slot.
int append(QByteArray& page, const QByteArray& row, quint16 flags);
// A page with room for a row of that size: the last data page of the owned map when the free-space map still
// lists it, else a new page (owned by `owner`, or a long-value page when 0) added to both maps.
quint32 withRoom(PageStore& store, quint32 ownedMap, quint32 freeMap, quint32 owner, int size, const QString& what);
} // namespace datapage

} // namespace jet
