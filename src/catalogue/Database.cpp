#include "catalogue/Database.h"
#include "catalogue/NameCollation.h"

#include "catalogue/AccessCatalogue.h"
#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <atomic>

#define SQLITE_ENABLE_SESSION
#define SQLITE_ENABLE_PREUPDATE_HOOK
#include <sqlite3.h>

namespace {
Failure markedAsTheEngines(qint32 number, const QString& text) {
    return Failure::withNumber(number, text, true);
}
} // namespace

Failure engineFailure(const QSqlError& error) {
    bool ok = false;
    qint32 number = error.nativeErrorCode().toInt(&ok);
    if (!ok || number == 0)
        number = qint32(failure::EngineWithoutCode); // the engine said something went wrong without a code of its own
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return markedAsTheEngines(number, text);
}

Failure engineFailure(sqlite3* handle, int code) {
    qint32 number = handle ? sqlite3_extended_errcode(handle) : code;
    if (number == SQLITE_OK)
        number = code;
    if (number == SQLITE_OK)
        number = qint32(failure::EngineWithoutCode);
    const QString text = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(code));
    return markedAsTheEngines(number, text);
}

Failure bindFailure(sqlite3* handle, int code, const QString& what) {
    const Failure engine = engineFailure(handle, code);
    return markedAsTheEngines(
        engine.number,
        QStringLiteral("The value for %1 could not be given to the engine (%2).").arg(what, engine.description));
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

enum class FileKind { Sqlite, Access };

// Looks at the first bytes before the engine does: SQLite would happily create or misread a file that is
// missing or in another format. Access 97 files are older than what the page writer keeps: they are named as such.
FileKind checkSignature(const QString& path) {
    const QString native = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo::exists(path)) {
        const QString why = failure::whyNoFile(path);
        throw Failure(failure::CannotOpenCatalogue,
                      why.isEmpty() ? QStringLiteral("Could not find file '%1'.").arg(native)
                                    : QStringLiteral("Could not open the catalogue '%1' (%2).").arg(native, why));
    }
    if (const std::optional<Failure> refused = failure::notRegularFile(path))
        throw *refused;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw failure::pathFileAccess(path, file.errorString());
    const QByteArray head = file.read(32);
    const QByteArray jetMark = head.mid(4, 15);
    const bool jet3 = head.size() > 0x14 && head.at(0x14) == 0;
    if (jetMark == "Standard ACE DB" || (jetMark == "Standard Jet DB" && !jet3))
        return FileKind::Access;
    if (jetMark == "Standard Jet DB")
        throw Failure(failure::UnrecognizedFormat,
                      QStringLiteral("'%1' is an Access 97 database, older than the Access files this program "
                                     "keeps; convert the file to SQLite first.")
                          .arg(native));
    if (!head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        throw Failure(failure::UnrecognizedFormat, QStringLiteral("Unrecognized database format '%1'.").arg(native));
    return FileKind::Sqlite;
}

// The engine's result codes that deserve more words than its own; the low byte is the primary code.
constexpr qint32 engineError = 1;
constexpr qint32 engineBusy = 5;
constexpr qint32 engineLocked = 6;
constexpr qint32 engineReadOnly = 8;
constexpr qint32 engineIoError = 10;
constexpr qint32 engineCorrupt = 11;
constexpr qint32 engineFull = 13;
constexpr qint32 engineNotADatabase = 26;
constexpr qint32 engineReadOnlyRollback = 776; // a crash's journal that a read-only file cannot take back
constexpr qint32 engineReadOnlyDirectory = 1544;
constexpr qint32 engineCannotDelete = 2570; // the journal could not be removed

void endSession(sqlite3_session* session) {
    if (session) // the engine's delete does not take a null one
        sqlite3session_delete(session);
}

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("lumaret-catalogue-%1").arg(++counter);
}
} // namespace

Database::Database(const QString& path, int busyTimeoutMs)
    : busyTimeoutMs(busyTimeoutMs), filePath(path), connectionName(nextConnectionName()) {
    if (checkSignature(path) == FileKind::Access)
        access = std::make_unique<AccessCatalogue>(path);
    openWorkingCopy(busyTimeoutMs);
    try {
        collation::registerNames(engineHandle(connection()));
        if (access)
            access->load(engineHandle(connection()));
        else
            requireTables();
    } catch (...) {
        QSqlDatabase::database(connectionName, false).close();
        QSqlDatabase::removeDatabase(connectionName);
        throw;
    }
}

// The SQLite file itself, or for an Access file its working copy in memory.
void Database::openWorkingCopy(int busyTimeoutMs) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(access ? QStringLiteral(":memory:") : filePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!db.open()) {
        const Failure f = explained(engineFailure(db.lastError()));
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw f;
    }
}

void Database::requireTables() {
    QSqlQuery q(connection());
    for (const char* table : requiredTables) {
        // The first statement is where a file locked by another program or with a damaged header shows:
        // preparing it reads the schema.
        const Statement lookUp = statements::tableNamed(QString::fromLatin1(table));
        if (!q.prepare(lookUp.text))
            throw explained(engineFailure(q.lastError()));
        for (const QVariant& value : lookUp.binds)
            q.addBindValue(value);
        if (!q.exec())
            throw explained(engineFailure(q.lastError()));
        if (!q.next())
            throw noSuchTable(QString::fromLatin1(table));
        q.finish();
    }
}

QString Database::readOnlyReason() const {
    return access ? access->readOnlyReason() : QString();
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

Recordset Database::OpenRecordset(const Statement& statement) {
    try {
        return Recordset(connection(), statement);
    } catch (const Failure& failure) {
        if (transactionDepth > 0)
            throw;
        throw explained(failure);
    }
}

RowAdder Database::OpenRowAdder(const QString& table) {
    try {
        return RowAdder(connection(), table);
    } catch (const Failure& failure) {
        if (transactionDepth > 0)
            throw;
        throw explained(failure);
    }
}

void Database::Execute(const Statement& statement) {
    // A change to an Access catalogue's working copy must reach the file: only a command's transaction carries it.
    if (access && transactionDepth == 0) {
        transaction([&] { Execute(statement); });
        return;
    }
    try {
        QSqlQuery q(connection());
        if (!q.prepare(statement.text))
            throw engineFailure(q.lastError());
        for (const QVariant& value : statement.binds)
            q.addBindValue(value);
        if (!q.exec())
            throw engineFailure(q.lastError());
    } catch (const Failure& failure) {
        // Inside a transaction the failure is explained once the transaction has been rolled back.
        if (transactionDepth > 0)
            throw;
        throw explained(failure);
    }
}

void Database::run(const Statement& statement) {
    QSqlQuery q(connection());
    if (!q.exec(statement.text))
        throw engineFailure(q.lastError());
}

void Database::transaction(const std::function<void()>& fn) {
    if (transactionDepth > 0) {
        fn();
        return;
    }
    // Another copy of the program checks and writes the Access file only after this command is done with it.
    struct WriteLock {
        AccessCatalogue* access;
        ~WriteLock() {
            if (access)
                access->unlock();
        }
    } writeLock{access && access->readOnlyReason().isEmpty() ? access.get() : nullptr};
    if (writeLock.access)
        writeLock.access->lockForWriting(busyTimeoutMs);
    if (access) {
        if (!access->readOnlyReason().isEmpty())
            throw Failure(
                failure::CannotUpdate,
                QStringLiteral("Cannot update. Database or object is read-only. %1").arg(access->readOnlyReason()));
        // Writing over another program's change would lose it: the file is read again instead.
        if (access->changedByAnotherProgram()) {
            access->reload(engineHandle(connection()));
            throw Failure(failure::ChangedByAnotherProgram,
                          QStringLiteral("The catalogue '%1' was changed by another program since it was read; it has "
                                         "been read again and nothing was changed. Look at the lists, then try again.")
                              .arg(QDir::toNativeSeparators(QFileInfo(filePath).absoluteFilePath())));
        }
    }
    try {
        run(statements::beginWriting());
    } catch (const Failure& failure) {
        throw explained(failure);
    }
    ++transactionDepth;
    sqlite3_session* session = nullptr;
    try {
        if (access) {
            sqlite3* const engine = engineHandle(connection());
            if (const int code = sqlite3session_create(engine, "main", &session); code != SQLITE_OK)
                throw engineFailure(engine, code);
            if (const int code = sqlite3session_attach(session, nullptr); code != SQLITE_OK)
                throw engineFailure(engine, code);
        }
        fn();
        if (session) {
            int size = 0;
            void* changes = nullptr;
            if (const int code = sqlite3session_changeset(session, &size, &changes); code != SQLITE_OK)
                throw engineFailure(engineHandle(connection()), code);
            const std::unique_ptr<void, decltype(&sqlite3_free)> owned(changes, &sqlite3_free);
            access->write(engineHandle(connection()), size, changes);
        }
        run(statements::commit());
    } catch (const Failure& failure) {
        endSession(session);
        rollBack();
        throw explained(failure);
    } catch (...) {
        endSession(session);
        rollBack();
        throw;
    }
    endSession(session);
    --transactionDepth;
}

void Database::rollBack() {
    --transactionDepth;
    try {
        run(statements::rollBack());
    } catch (const Failure&) {
        // The engine may already have rolled back by itself; the original failure is the one to report.
    }
}

// Says what the engine's terse words mean for the user: that another program holds the file, that it is damaged
// (with the engine's own check, run only now, after the failure), which folder must be writable. The engine's own
// words stay in, in brackets. The program's own failures pass through unchanged.
Failure Database::explained(const Failure& failure) {
    if (!failure.fromEngine)
        return failure;
    const QString reason = failure.description;
    QString text;
    switch (failure.number & 0xff) {
    case engineError: {
        // A converted or hand-made catalogue may lack a column or table the program reads: named as such, the way
        // a column asked for by name is.
        static const QString noColumn = QStringLiteral("no such column: ");
        static const QString noTable = QStringLiteral("no such table: ");
        if (reason.startsWith(noColumn))
            return failure::itemNotFound(reason.mid(noColumn.size()).section(QLatin1Char('.'), -1));
        if (reason.startsWith(noTable))
            return noSuchTable(reason.mid(noTable.size()).section(QLatin1Char('.'), -1));
        text = reason;
        break;
    }
    case engineBusy:
    case engineLocked:
        text = QStringLiteral("The catalogue is locked by another program (%1). Close that program, then try again.")
                   .arg(reason);
        break;
    case engineCorrupt:
    case engineNotADatabase: {
        const QString found = damageFound();
        text = QStringLiteral("The catalogue is damaged (%1%2). Restore it from a backup copy.")
                   .arg(reason, found.isEmpty() ? QString() : QStringLiteral("; ") + found);
        break;
    }
    case engineFull:
        // Its number is also the program's own type mismatch; a full disk is said as the export says it.
        return failure::diskFull(filePath, reason);
    case engineIoError:
        text = failure.number == engineCannotDelete && QFileInfo::exists(filePath + QStringLiteral("-journal"))
                   ? needsRecovery(reason)
                   : reason;
        break;
    case engineReadOnly:
        if (failure.number == engineReadOnlyRollback) {
            text = needsRecovery(reason);
            break;
        }
        // The file itself may well be writable: the engine also needs to create its journal beside it.
        if (failure.number == engineReadOnlyDirectory)
            text = QStringLiteral("The folder '%1' is read-only; the catalogue needs it writable for its journal (%2).")
                       .arg(QDir::toNativeSeparators(QFileInfo(filePath).absolutePath()), reason);
        else
            text = QStringLiteral("The catalogue file '%1' is read-only (%2).")
                       .arg(QDir::toNativeSeparators(QFileInfo(filePath).absoluteFilePath()), reason);
        break;
    default:
        text = reason;
    }
    return Failure::withNumber(failure.number, text);
}

// A journal left by a crash must be played back into the file and then removed before anything can be read:
// in a read-only folder it stays, and every command would fail on it the same way.
QString Database::needsRecovery(const QString& reason) const {
    const QFileInfo file(filePath);
    return QStringLiteral("The catalogue '%1' needs recovery after a crash, but its folder '%2' is read-only, so the "
                          "journal the crash left ('%3') cannot be played back and removed (%4). Make the folder "
                          "writable, then try again.")
        .arg(QDir::toNativeSeparators(file.absoluteFilePath()), QDir::toNativeSeparators(file.absolutePath()),
             QDir::toNativeSeparators(file.absoluteFilePath() + QStringLiteral("-journal")), reason);
}

// The engine's own check of the file, in one line; empty when the check finds nothing or cannot run at all.
QString Database::damageFound() {
    QSqlQuery q(connection());
    const Statement check = statements::quickCheck();
    if (!q.exec(check.text) || !q.next())
        return {};
    QString found = q.value(0).toString().simplified();
    found.remove(QStringLiteral("*** in database main *** "));
    if (found.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0)
        return {};
    constexpr int longest = 60; // the message box has room for four short lines in all
    return found.size() > longest ? found.left(longest - 3) + QStringLiteral("...") : found;
}
