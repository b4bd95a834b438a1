#pragma once

#include <QString>
#include <QtGlobal>

class Database;
struct Statement;

// What the category and figure commands do to the catalogue, free of windows so that the rules about
// identifiers and transactions hold the same for every caller. Each raises Failure and, where it writes more
// than one statement or reads an identifier it then writes with, does all of it in one transaction.
// The commands on an existing category or figure refuse, changing nothing, unless its identifier names exactly
// one row: 3022 when several rows share it, 3021 when none is left.
namespace operations {

// The largest value the statement reads (as MaxRec) plus one; an empty table starts at 1. A largest that is
// no whole number fails naming column and row.
qint64 nextIdentifier(Database& db, const Statement& largest, const QString& column);

// Adds a category under the next identifier and returns it. Catalogue files may hold this column in 16 bits,
// so a new identifier beyond them fails as an overflow.
qint16 addCategory(Database& db, const QString& name);
void renameCategory(Database& db, qint32 categoryId, const QString& name);
// Deletes the category only while no figure is filed under it; returns how many are (0 when it was deleted).
qint64 deleteCategory(Database& db, qint32 categoryId);

void renameFigure(Database& db, qint32 figureId, const QString& name);
// The figure and all its parts, or nothing.
void deleteFigure(Database& db, qint32 figureId);
// Refuses, as above, a target category that is not there (or not once): a figure filed under a category
// another program removed would be in no list at all.
void moveFigure(Database& db, qint32 figureId, qint32 categoryId);
// The same look at a category a figure is about to be filed under, inside the caller's transaction.
void requireCategory(Database& db, qint32 categoryId);

} // namespace operations
