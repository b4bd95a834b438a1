#pragma once

#include "catalogue/Failure.h"

#include <QSqlError>

// The engine's own number (SQLite's result code) and message become the failure the user is shown.
Failure engineFailure(const QSqlError& error);
Failure noSuchTable(const QString& table);
