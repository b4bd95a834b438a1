#include "catalogue/AccessCatalogue.h"

#include "access/jet/FilePageStore.h"
#include "access/jet/JetError.h"
#include "access/jet/RowCodec.h"
#include "access/jet/RowWriter.h"
#include "access/jet/TableDefs.h"
#include "access/jet/TreeIndexUpkeep.h"
#include "access/jet/Writability.h"
#include "catalogue/AccessValues.h"
#include "catalogue/AccessWorkingCopy.h"
#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"
#include "catalogue/PreparedStatement.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#define SQLITE_ENABLE_SESSION
#define SQLITE_ENABLE_PREUPDATE_HOOK
#include <sqlite3.h>

namespace {
const char* const catalogueTables[] = {"tblCategory", "tblFigure", "tblFigurePart"};

// What tells this program that the file is still the one it read: another program writing it changes at least one.
struct FileIdentity {
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity identityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec, quint64(st.st_ino)};
}

// The number a damaged SQLite catalogue is reported with, so that both kinds of damage read alike.
constexpr qint32 damagedCatalogue = 11;

Failure fromJet(const jet::Error& error, const QString& path) {
    const QString file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    switch (error.kind()) {
    case jet::Error::Kind::Damaged:
        return Failure::withNumber(damagedCatalogue,
                                   QStringLiteral("The catalogue '%1' is damaged (%2). Restore it from a backup copy.")
                                       .arg(file, error.message()));
    case jet::Error::Kind::DiskFull:
        return failure::diskFull(path, error.message());
    case jet::Error::Kind::Io:
        return failure::pathFileAccess(path, error.message());
    case jet::Error::Kind::Constraint:
        return Failure(failure::IdentifierNotUnique, error.message());
    case jet::Error::Kind::ReadOnly:
    case jet::Error::Kind::Unsupported:
        return Failure(failure::CannotUpdate, error.message());
    }
    return Failure(failure::InternalError, error.message());
}

} // namespace

struct AccessCatalogue::State {
    QString path;
    std::unique_ptr<jet::FilePageStore> store;
    jet::TreeIndexUpkeep indexes;
    QList<jet::TableDef> tables;
    QList<QList<int>> keyColumns; // positions of each table's primary-key columns
    QList<RowPositions> rows;     // each table's rows by key
    QString readOnly;
    FileIdentity identity;
    int lockFd = -1;

    int tableIndex(const char* name) const {
        for (int i = 0; i < tables.size(); ++i)
            if (tables[i].name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    void open();
    void readDefinitions();
    void apply(sqlite3* db, sqlite3_changeset_iter* it, QList<std::function<void()>>& undo);
};

void AccessCatalogue::State::open() {
    const QFileInfo info(path);
    const bool writable = info.isWritable() && QFileInfo(info.absolutePath()).isWritable();
    store = std::make_unique<jet::FilePageStore>(path, writable ? jet::FilePageStore::Mode::ReadWrite
                                                                : jet::FilePageStore::Mode::ReadOnly);
    readOnly.clear();
    if (!info.isWritable())
        readOnly = QStringLiteral("The catalogue file '%1' is read-only.")
                       .arg(QDir::toNativeSeparators(info.absoluteFilePath()));
    else if (!writable)
        readOnly = QStringLiteral("The folder '%1' is read-only; the catalogue needs it writable for its journal.")
                       .arg(QDir::toNativeSeparators(info.absolutePath()));
    readDefinitions();
    for (const jet::TableDef& table : tables)
        if (readOnly.isEmpty())
            if (const auto why = jet::whyNotWritable(*store, table, indexes))
                readOnly = *why;
    identity = identityOf(path);
}

void AccessCatalogue::State::readDefinitions() {
    tables.clear();
    keyColumns.clear();
    const auto present = jet::listTables(*store);
    for (const char* name : catalogueTables) {
        if (std::none_of(present.cbegin(), present.cend(), [&](const auto& table) {
                return table.first.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
            }))
            throw noSuchTable(QLatin1String(name));
        jet::TableDef table = jet::readTableDef(*store, QLatin1String(name));
        QList<int> key;
        for (const jet::IndexDef& index : table.indexes)
            if (index.primaryKey)
                for (const jet::IndexColumn& c : index.columns)
                    for (int i = 0; i < table.columns.size(); ++i)
                        if (table.columns[i].number == c.columnNumber)
                            key << i;
        if (key.isEmpty() && readOnly.isEmpty())
            readOnly = QStringLiteral("The table %1 has no primary key, so its rows cannot be told apart for writing.")
                           .arg(table.name);
        keyColumns << key;
        tables << table;
    }
}

AccessCatalogue::AccessCatalogue(const QString& path) : state(std::make_unique<State>()) {
    state->path = path;
    try {
        state->open();
    } catch (const jet::Error& error) {
        throw fromJet(error, path);
    }
}

AccessCatalogue::~AccessCatalogue() {
    unlock();
}

void AccessCatalogue::lockForWriting(int waitMs) {
    if (state->lockFd >= 0)
        return;
    state->lockFd = ::open(QFile::encodeName(state->path).constData(), O_RDONLY | O_CLOEXEC);
    if (state->lockFd < 0)
        throw failure::pathFileAccess(state->path, QString::fromLocal8Bit(strerror(errno)));
    for (int waited = 0; ::flock(state->lockFd, LOCK_EX | LOCK_NB) != 0; waited += 50) {
        if (errno != EWOULDBLOCK || waited >= waitMs) {
            unlock();
            throw Failure::withNumber(5, QStringLiteral("The catalogue is locked by another program (it is writing "
                                                        "the Access file). Close that program, then try again."));
        }
        QThread::msleep(50);
    }
}

void AccessCatalogue::unlock() {
    if (state->lockFd < 0)
        return;
    ::close(state->lockFd); // closing lets the lock go
    state->lockFd = -1;
}

QString AccessCatalogue::readOnlyReason() const {
    return state->readOnly;
}

bool AccessCatalogue::changedByAnotherProgram() const {
    return identityOf(state->path) != state->identity;
}

void AccessCatalogue::load(sqlite3* db) {
    try {
        state->rows = QList<RowPositions>(state->tables.size());
        runStatement(db, QStringLiteral("BEGIN"));
        for (int t = 0; t < state->tables.size(); ++t) {
            // Figures by category, parts by figure: the second column.
            const int owner = t > 0 ? std::min<int>(1, int(state->tables[t].columns.size()) - 1) : -1;
            loadTable(db, *state->store, state->tables[t], state->keyColumns[t], owner, state->rows[t]);
        }
        runStatement(db, QStringLiteral("COMMIT"));
    } catch (const jet::Error& error) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw fromJet(error, state->path);
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void AccessCatalogue::reload(sqlite3* db) {
    for (const jet::TableDef& table : state->tables)
        runStatement(db, QStringLiteral("DROP TABLE IF EXISTS %1").arg(quotedIdentifier(table.name)));
    try {
        state->open();
    } catch (const jet::Error& error) {
        throw fromJet(error, state->path);
    }
    load(db);
}

void AccessCatalogue::State::apply(sqlite3* db, sqlite3_changeset_iter* it, QList<std::function<void()>>& undo) {
    while (sqlite3changeset_next(it) == SQLITE_ROW) {
        const char* name = nullptr;
        int columnCount = 0, op = 0, indirect = 0;
        checkEngine(db, sqlite3changeset_op(it, &name, &columnCount, &op, &indirect));
        const int t = tableIndex(name);
        if (t < 0)
            continue;
        jet::TableDef& table = tables[t];
        std::vector<sqlite3_value*> before(size_t(columnCount), nullptr), after(size_t(columnCount), nullptr);
        for (int i = 0; i < columnCount; ++i) {
            if (op != SQLITE_INSERT)
                checkEngine(db, sqlite3changeset_old(it, i, &before[size_t(i)]));
            if (op != SQLITE_DELETE)
                checkEngine(db, sqlite3changeset_new(it, i, &after[size_t(i)]));
        }
        RowPositions& byKey = rows[t];
        auto rowOf = [&](const RowKey& key) {
            const jet::RowId* found = byKey.find(key);
            if (!found)
                throw Failure(
                    failure::NoCurrentRecord,
                    QStringLiteral("A row of %1 the program changed is not in the Access file.").arg(table.name));
            return *found;
        };
        if (op == SQLITE_DELETE) {
            const RowKey key = keyOf(before.data(), keyColumns[t]);
            const jet::RowId id = rowOf(key);
            jet::deleteRow(*store, table, id, indexes);
            byKey.remove(key);
            undo << [&byKey, key, id] { byKey.insert(key, id); };
            continue;
        }
        // An update names only the key and the columns it changed: the whole row comes from the working copy,
        // which already holds it as the command left it.
        PreparedStatement current;
        if (op == SQLITE_UPDATE) {
            for (int i = 0; i < columnCount; ++i)
                if (!after[size_t(i)] && keyColumns[t].contains(i))
                    after[size_t(i)] = before[size_t(i)];
            QStringList where;
            for (int i : keyColumns[t])
                where << quotedIdentifier(table.columns[i].name) + QStringLiteral(" IS ?");
            current = prepareStatement(db, QStringLiteral("SELECT * FROM %1 WHERE %2")
                                               .arg(quotedIdentifier(table.name), where.join(QLatin1String(" AND "))));
            int position = 0;
            for (int i : keyColumns[t])
                checkEngine(db, sqlite3_bind_value(current.get(), ++position, after[size_t(i)]));
            if (sqlite3_step(current.get()) != SQLITE_ROW)
                throw Failure(
                    failure::NoCurrentRecord,
                    QStringLiteral("A row of %1 the command changed is gone from the working copy.").arg(table.name));
            for (int i = 0; i < columnCount; ++i)
                after[size_t(i)] = sqlite3_column_value(current.get(), i);
        }
        QList<jet::Value> values;
        for (int i = 0; i < columnCount; ++i)
            values << accessvalues::fromSqlite(after[size_t(i)], table.columns[i], table.name);
        const RowKey newKey = keyOf(after.data(), keyColumns[t]);
        if (op == SQLITE_INSERT) {
            const jet::RowId id = jet::insertRow(*store, table, values, indexes);
            byKey.insert(newKey, id);
            undo << [&byKey, newKey] { byKey.remove(newKey); };
        } else {
            const RowKey oldKey = keyOf(before.data(), keyColumns[t]);
            const jet::RowId id = rowOf(oldKey);
            jet::updateRow(*store, table, id, values, indexes);
            if (oldKey != newKey) {
                byKey.remove(oldKey);
                byKey.insert(newKey, id);
                undo << [&byKey, oldKey, newKey, id] {
                    byKey.remove(newKey);
                    byKey.insert(oldKey, id);
                };
            }
        }
    }
}

void AccessCatalogue::write(sqlite3* db, int changesetSize, void* changeset) {
    if (changesetSize <= 0)
        return;
    sqlite3_changeset_iter* it = nullptr;
    checkEngine(db, sqlite3changeset_start(&it, changesetSize, changeset));
    QList<std::function<void()>> undo;
    try {
        // One batch for the whole changeset: each index page it touches is parsed and written once.
        state->indexes.beginBatch();
        state->apply(db, it, undo);
        sqlite3changeset_finalize(it);
        it = nullptr;
        state->indexes.finishBatch(*state->store);
        state->store->commit();
        state->identity = identityOf(state->path);
    } catch (...) {
        if (it)
            sqlite3changeset_finalize(it);
        state->indexes.dropBatch();
        state->store->rollback();
        for (auto i = undo.crbegin(); i != undo.crend(); ++i)
            (*i)();
        // The definitions (row counts, index counts) are read again as the file now has them.
        try {
            state->readDefinitions();
        } catch (const jet::Error&) {
        }
        try {
            throw;
        } catch (const jet::Error& error) {
            throw fromJet(error, state->path);
        }
    }
}
