#pragma once

#include "catalogue/Failure.h"

#include <QSqlError>

struct sqlite3;
class QSqlDatabase;

// The engine's own number (SQLite's extended result code) and message become the failure the user is shown.
// Failures made here are marked as the engine's, so that Database can say what a lock, damage or a read-only
// folder means.
Failure engineFailure(const QSqlError& error);
Failure engineFailure(int resultCode, const QString& message);
// The same for a call made on the engine's handle directly; code is what the call returned.
Failure engineFailure(sqlite3* handle, int code);
// A value the engine would not take for a statement (too big, no memory); what names the value's column.
Failure bindFailure(sqlite3* handle, int code, const QString& what);
Failure noSuchTable(const QString& table);

// The engine's handle under the connection, for the statements that move many rows: Qt's binding and fetching
// cost more than the engine itself there. Fails when the connection is not a SQLite one.
sqlite3* engineHandle(const QSqlDatabase& connection);

// An identifier as the engine reads it inside double quotes, for names the program did not write itself (a
// column read from the catalogue may be called "Part Colour" or "Order").
QString quotedIdentifier(const QString& name);
