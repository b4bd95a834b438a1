#include "access/SqliteFile.h"

#include "catalogue/Failure.h"
#include "catalogue/NameCollation.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

SqliteFile::SqliteFile(const QString& path) : path(path) {
    // Created here, exclusively, so that whatever is removed on failure is this conversion's own file.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFileInfo::exists(path))
            throw failure::fileAlreadyExists(path, QStringLiteral("it is never overwritten"));
        throw failure::pathFileAccess(path, file.errorString());
    }
    file.close();
    try {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fail(QStringLiteral("'%1' cannot be opened").arg(path));
        collation::registerNames(db);
        execute(statements::beginWriting());
    } catch (...) {
        discard(); // no destructor runs for a constructor that throws
        throw;
    }
}

SqliteFile::~SqliteFile() {
    if (!committed)
        discard();
}

void SqliteFile::execute(const Statement& statement) {
    if (sqlite3_exec(db, statement.text.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(QStringLiteral("'%1' cannot be written").arg(path));
}

void SqliteFile::prepareInsert(const Statement& statement, const QStringList& columns) {
    finishInsert();
    if (sqlite3_prepare_v2(db, statement.text.toUtf8().constData(), -1, &insertStatement, nullptr) != SQLITE_OK)
        fail(QStringLiteral("'%1' cannot be written").arg(path));
    insertColumns = columns;
}

void SqliteFile::insert(const QList<JetCell>& row, const QString& what) {
    for (int i = 0; i < row.size(); ++i) {
        const JetCell& cell = row[i];
        const int parameter = i + 1;
        int code = SQLITE_OK;
        switch (cell.type) {
        case JetCell::Type::Null:
            code = sqlite3_bind_null(insertStatement, parameter);
            break;
        case JetCell::Type::Integer:
            code = sqlite3_bind_int64(insertStatement, parameter, cell.integer);
            break;
        case JetCell::Type::Real:
            code = sqlite3_bind_double(insertStatement, parameter, cell.real);
            break;
        case JetCell::Type::Text: // SQLite takes a null pointer for null; an empty text must not become one
            code = sqlite3_bind_text(insertStatement, parameter, cell.bytes.isEmpty() ? "" : cell.bytes.constData(),
                                     int(cell.bytes.size()), SQLITE_STATIC);
            break;
        case JetCell::Type::Blob: // nor an empty blob
            if (cell.bytes.isEmpty())
                code = sqlite3_bind_zeroblob(insertStatement, parameter, 0);
            else
                code = sqlite3_bind_blob(insertStatement, parameter, cell.bytes.constData(), int(cell.bytes.size()),
                                         SQLITE_STATIC);
            break;
        }
        if (code != SQLITE_OK)
            fail(QStringLiteral("%1: the value for column '%2'").arg(what, insertColumns.value(i)));
    }
    const int result = sqlite3_step(insertStatement);
    sqlite3_reset(insertStatement);
    if (result != SQLITE_DONE)
        fail(what);
}

void SqliteFile::commit() {
    finishInsert();
    execute(statements::commit());
    if (sqlite3_close(db) != SQLITE_OK)
        fail(QStringLiteral("'%1' cannot be closed").arg(path));
    db = nullptr;
    committed = true;
}

void SqliteFile::fail(const QString& what) const {
    const qint32 number = db ? sqlite3_extended_errcode(db) : SQLITE_CANTOPEN;
    const QString reason = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
    throw Failure::withNumber(number, QStringLiteral("%1: %2.").arg(what, reason), true);
}

void SqliteFile::discard() {
    finishInsert();
    sqlite3_close(db); // rolls back what was not committed
    db = nullptr;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

void SqliteFile::finishInsert() {
    sqlite3_finalize(insertStatement);
    insertStatement = nullptr;
}
