#pragma once

// Finding a table by name in the catalogue (MSysObjects) and reading its definition pages.

#include "access/jet/JetTypes.h"

#include <QStringList>

namespace jet {

// The definition page of every user table, by name (as stored). Throws Error.
QList<QPair<QString, quint32>> listTables(PageStore& store);
// The definition of the user table of that name (letter case ignored). Throws Error: Damaged (a definition that
// does not add up), Unsupported (no such table: the message names it).
TableDef readTableDef(PageStore& store, const QString& name);
// The definition stored at that page, named as given.
TableDef readTableDefAt(PageStore& store, quint32 page, const QString& name);

// The whole definition as stored across its pages (the first page whole, the header of every further page
// dropped), for the code that rewrites a field of it.
QByteArray definitionBytes(PageStore& store, quint32 page, const QString& table, QList<quint32>* pages = nullptr);

// Field offsets in a Jet 4 / ACE table definition.
namespace tdef {
constexpr int RowCount = 16, AutoNumber = 20, TableType = 40, MaxColumns = 41, VarColumns = 43, Columns = 45,
              LogicalIndexes = 47, RealIndexes = 51, OwnedMap = 55, FreeMap = 59, IndexCounts = 63;
}

} // namespace jet
