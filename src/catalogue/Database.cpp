#include "catalogue/Database.h"

#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <atomic>
#include <sqlite3.h>

Failure engineFailure(const QSqlError& error) {
    bool ok = false;
    qint32 number = error.nativeErrorCode().toInt(&ok);
    if (!ok || number == 0)
        number = failure::EngineWithoutCode; // the engine said something went wrong without a code of its own
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return {number, text};
}

Failure engineFailure(sqlite3* handle, int code) {
    qint32 number = handle ? sqlite3_extended_errcode(handle) : code;
    if (number == SQLITE_OK)
        number = code;
    if (number == SQLITE_OK)
        number = failure::EngineWithoutCode;
    const QString text = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(code));
    return {number, text};
}

sqlite3* engineHandle(const QSqlDatabase& connection) {
    const QVariant handle = connection.driver() ? connection.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0 || !handle.constData())
        throw Failure(failure::CannotOpenCatalogue, QStringLiteral("The catalogue is not open on a SQLite engine."));
    sqlite3* const engine = *static_cast<sqlite3* const*>(handle.constData());
    if (!engine)
        throw Failure(failure::CannotOpenCatalogue, QStringLiteral("The catalogue is not open."));
    return engine;
}

QString quotedIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

Failure noSuchTable(const QString& table) {
    return {failure::NoSuchTable, QStringLiteral("The catalogue has no table '%1'.").arg(table)};
}

namespace {
const char* const requiredTables[] = {"tblCategory", "tblFigure", "tblFigurePart"};

// Looks at the first bytes before the engine does: SQLite would happily create or misread a file that is
// missing or in another format, and an Access file deserves to be named as such.
void checkSignature(const QString& path) {
    const QString native = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo::exists(path))
        throw Failure(failure::CannotOpenCatalogue, QStringLiteral("Could not find file '%1'.").arg(native));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(failure::PathFileAccessError,
                      QStringLiteral("Path/File access error: '%1' (%2)").arg(native, file.errorString()));
    const QByteArray head = file.read(32);
    const QByteArray jetMark = head.mid(4, 15);
    if (jetMark == "Standard Jet DB" || jetMark == "Standard ACE DB")
        throw Failure(failure::UnrecognizedFormat,
                      QStringLiteral("'%1' is an Access (Jet) database. This program keeps its catalogue in a "
                                     "SQLite database; convert the file to SQLite first.")
                          .arg(native));
    if (!head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        throw Failure(failure::UnrecognizedFormat, QStringLiteral("Unrecognized database format '%1'.").arg(native));
}

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("lumaret-catalogue-%1").arg(++counter);
}
} // namespace

Database::Database(const QString& path, int busyTimeoutMs) : filePath(path), connectionName(nextConnectionName()) {
    checkSignature(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
        if (!db.open()) {
            const Failure f = engineFailure(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            throw f;
        }
    }
    try {
        QSqlQuery q(connection());
        for (const char* table : requiredTables) {
            q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"));
            q.addBindValue(QString::fromLatin1(table));
            if (!q.exec())
                throw engineFailure(q.lastError());
            if (!q.next())
                throw noSuchTable(QString::fromLatin1(table));
            q.finish();
        }
    } catch (...) {
        QSqlDatabase::database(connectionName, false).close();
        QSqlDatabase::removeDatabase(connectionName);
        throw;
    }
}

Database::~Database() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

QSqlDatabase Database::connection() const {
    return QSqlDatabase::database(connectionName, false);
}

Recordset Database::OpenRecordset(const Statement& statement, RecordsetType type) {
    return Recordset(connection(), statement, type);
}

void Database::Execute(const Statement& statement) {
    QSqlQuery q(connection());
    if (!q.prepare(statement.text))
        throw engineFailure(q.lastError());
    for (const QVariant& value : statement.binds)
        q.addBindValue(value);
    if (!q.exec())
        throw engineFailure(q.lastError());
}

void Database::run(const QString& sql) {
    QSqlQuery q(connection());
    if (!q.exec(sql))
        throw engineFailure(q.lastError());
}

void Database::transaction(const std::function<void()>& fn) {
    if (transactionDepth > 0) {
        fn();
        return;
    }
    run(QStringLiteral("BEGIN IMMEDIATE"));
    ++transactionDepth;
    try {
        fn();
        run(QStringLiteral("COMMIT"));
    } catch (...) {
        --transactionDepth;
        try {
            run(QStringLiteral("ROLLBACK"));
        } catch (const Failure&) {
            // The engine may already have rolled back by itself; the original failure is the one to report.
        }
        throw;
    }
    --transactionDepth;
}
