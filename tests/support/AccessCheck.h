#pragma once

#include <QString>
#include <QStringList>

class Database;

// The independent reader and checker of Access files beside the project (../shared/tools/jetcheck), and the rows
// of a catalogue in the one form both sides are compared in.
// A test's skip when the checker or Java is not there, saying which.
#define REQUIRE_ACCESS_TOOLS()                                                                                         \
    if (const QString why = accesscheck::missing(); !why.isEmpty())                                                    \
    QSKIP(qPrintable(why))

namespace accesscheck {

// Empty when the fixtures and the checker (with Java) are there; otherwise why a test must skip.
QString missing();
QString fixture(const QString& name);
// A writable copy of a fixture in the folder.
QString copyOf(const QString& name, const QString& folder);

// A value in the one form: numbers by their value, dates with their time, yes/no as 1 or 0.
QString normal(QString value);
// Orders rows by their first column as a number, then by the whole row, as the checker does.
void sortRows(QStringList& rows);

// Runs the checker; its whole output, and whether it said "ok".
bool checks(const QString& file, bool write, QString* output);
// The live rows of a table as the checker reads them, ordered by the first column.
QStringList dumped(const QString& file, const QString& table);
// The rows of a table as the program's catalogue holds them, in the same form and order.
QStringList rowsOf(Database& db, const QString& table);
// The same for a table of a SQLite file (binary values in hex, as the checker prints them).
QStringList storedRows(const QString& sqliteFile, const QString& table);
// The tables the checker finds in an Access file.
QStringList tables(const QString& file);

// The first page that differs between two images of a file and belongs to none of the three catalogue tables nor
// to the map of free pages (described), or nothing.
QString pageOfAnotherObject(const QByteArray& before, const QByteArray& after);

} // namespace accesscheck
