#pragma once

#include "access/JetFile.h"
#include "catalogue/Statements.h"

struct sqlite3;
struct sqlite3_stmt;

// A new SQLite file, written in one transaction. Unless commit() is reached, the destructor closes it and removes
// it with its journal, so that a failed conversion leaves no file behind.
class SqliteFile {
public:
    // Creates the file; fails when anything already exists at path, which is then left alone.
    explicit SqliteFile(const QString& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void execute(const Statement& statement);
    // Makes statement the one that insert() runs; columns name its values in failures.
    void prepareInsert(const Statement& statement, const QStringList& columns);
    // what names the row in a failure.
    void insert(const QList<JetCell>& row, const QString& what);
    void commit();

private:
    [[noreturn]] void fail(const QString& what) const;
    void discard();
    void finishInsert();

    QString path;
    sqlite3* db = nullptr;
    sqlite3_stmt* insertStatement = nullptr;
    QStringList insertColumns;
    bool committed = false;
};
