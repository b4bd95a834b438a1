#pragma once

#include <QString>
#include <QStringList>

class Database;

// The independent reader and checker of Access files beside the project (../shared/tools/jetcheck), and the rows
// of a catalogue in the one form both sides are compared in.
namespace accesscheck {

// Empty when the fixtures and the checker (with Java) are there; otherwise why a test must skip.
QString missing();
QString fixture(const QString& name);
// A writable copy of a fixture in the folder.
QString copyOf(const QString& name, const QString& folder);

// Runs the checker; its whole output, and whether it said "ok".
bool checks(const QString& file, bool write, QString* output);
// The live rows of a table as the checker reads them, ordered by the first column.
QStringList dumped(const QString& file, const QString& table);
// The rows of a table as the program's catalogue holds them, in the same form and order.
QStringList rowsOf(Database& db, const QString& table);

// The first page that differs between two images of a file and belongs to none of the three catalogue tables nor
// to the map of free pages (described), or nothing.
QString pageOfAnotherObject(const QByteArray& before, const QByteArray& after);

} // namespace accesscheck
