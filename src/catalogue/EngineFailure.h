#pragma once

#include "catalogue/Failure.h"

#include <QSqlError>

// The engine's own number (SQLite's result code) and message become the failure the user is shown. Failures
// made here are marked as the engine's, so that Database can say what a lock, damage or a read-only folder means.
Failure engineFailure(const QSqlError& error);
// The same from SQLite's C interface: its extended result code and sqlite3_errmsg().
Failure engineFailure(int resultCode, const QString& message);
Failure noSuchTable(const QString& table);
