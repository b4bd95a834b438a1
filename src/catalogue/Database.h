#pragma once

#include "catalogue/Failure.h"
#include "catalogue/Recordset.h"
#include "catalogue/RowAdder.h"
#include "catalogue/Statements.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>

class AccessCatalogue;

// The one open catalogue. Opening checks that the file is a catalogue with the three tables and never creates
// anything. A SQLite catalogue is worked on directly; a second copy of the program working on the same file waits
// for its lock a few seconds. An Access catalogue is read into a SQLite working copy in memory, and each command's
// committed rows are written into the Access file before the command is done (see AccessCatalogue).
class Database {
public:
    // busyTimeoutMs: how long a statement waits for another program's lock before it fails.
    explicit Database(const QString& path, int busyTimeoutMs = defaultBusyTimeoutMs);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    Recordset OpenRecordset(const Statement& statement);
    // Adds rows to the table; see RowAdder.
    RowAdder OpenRowAdder(const QString& table);
    void Execute(const Statement& statement);

    // Runs fn inside one write transaction (taken at once, so that the identifiers it reads stay its own):
    // committed when fn returns, rolled back when it throws. A nested call joins the outer transaction.
    void transaction(const std::function<void()>& fn);

    QString path() const { return filePath; }
    // Empty when commands may write; otherwise why the catalogue is only read (an Access file this program
    // cannot keep true, say). Every writing command is then refused with it.
    QString readOnlyReason() const;
    QSqlDatabase connection() const;

    static constexpr int defaultBusyTimeoutMs = 5000;

private:
    void run(const Statement& statement);
    void rollBack();
    Failure explained(const Failure& failure);
    QString damageFound();
    QString needsRecovery(const QString& reason) const;

    void openWorkingCopy(int busyTimeoutMs);
    void requireTables();
    void commitToAccess();

    std::unique_ptr<AccessCatalogue> access;
    int busyTimeoutMs = defaultBusyTimeoutMs;
    QString filePath;
    QString connectionName;
    int transactionDepth = 0;
};
