#pragma once

#include "catalogue/EngineFailure.h"

#include <QString>
#include <memory>
#include <sqlite3.h>

// A statement prepared on the engine's own interface, finalized when it goes.
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using PreparedStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

inline PreparedStatement prepareStatement(sqlite3* engine, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const int code = sqlite3_prepare_v2(engine, text.constData(), int(text.size()), &statement, nullptr);
    if (code != SQLITE_OK) {
        const Failure failure = engineFailure(engine, code);
        sqlite3_finalize(statement);
        throw failure;
    }
    return PreparedStatement(statement);
}

// Anything but a finished step is the engine's failure, with its own words.
inline void checkEngine(sqlite3* engine, int code) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW)
        throw engineFailure(engine, code);
}

inline void runStatement(sqlite3* engine, const QString& sql) {
    checkEngine(engine, sqlite3_exec(engine, sql.toUtf8().constData(), nullptr, nullptr, nullptr));
}
