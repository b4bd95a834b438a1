#pragma once

#include "access/JetFile.h"

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

    void execute(const QString& sql);
    // Makes sql the statement that insert() runs.
    void prepareInsert(const QString& sql);
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
    bool committed = false;
};
