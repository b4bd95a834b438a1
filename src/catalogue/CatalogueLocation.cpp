#include "catalogue/CatalogueLocation.h"

#include "Version.h"
#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"
#include "catalogue/NameCollation.h"
#include "catalogue/Statements.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <atomic>

// Resources compiled into a static library must be registered by hand before first use.
static void ensureSchemaResource() {
    static const bool done = [] {
        Q_INIT_RESOURCE(catalogue);
        return true;
    }();
    Q_UNUSED(done);
}

namespace location {
namespace {
// The schema's statements one by one, as the driver runs only one at a time. The schema holds no quoted ';'.
QStringList schemaStatements() {
    ensureSchemaResource();
    QFile schema(QStringLiteral(":/catalogue/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        throw Failure(failure::InternalError, QStringLiteral("Internal error: the catalogue schema is missing"));
    QString script;
    for (const QString& line : QString::fromUtf8(schema.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            script += line + QLatin1Char('\n');
    QStringList statements;
    for (const QString& statement : script.split(QLatin1Char(';')))
        if (!statement.trimmed().isEmpty())
            statements << statement.trimmed();
    return statements;
}

void runSchema(const QString& file) {
    // Connection names are unique per process, whichever thread makes a catalogue.
    static std::atomic<int> made = 0;
    const QString connectionName = QStringLiteral("lumaret-new-catalogue-%1").arg(++made);
    // Declared first, so it closes the connection after the query and handle below are gone, on any way out.
    struct Connection {
        QString name;
        ~Connection() {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    } connection{connectionName};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(file);
    if (!db.open())
        throw engineFailure(db.lastError());
    collation::registerNames(engineHandle(db));
    QSqlQuery query(db);
    const auto run = [&](const QString& statement) {
        if (!query.exec(statement))
            throw engineFailure(query.lastError());
    };
    run(statements::beginWriting().text);
    for (const QString& statement : schemaStatements())
        run(statement);
    run(statements::commit().text);
}
} // namespace

void identifyProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("LumaretTool"));
    // No organisation: the user data folder is ~/.local/share/LumaretTool, without a level above it.
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(version::major).arg(version::minor).arg(version::revision));
}

QString userDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString userCatalogue() {
    return QDir(userDataFolder()).filePath(catalogueFileName);
}

Found findCatalogue(const QString& given, const QString& programDirectory) {
    if (!given.isEmpty())
        return {QFileInfo(given).absoluteFilePath(), Source::Given, QFileInfo::exists(given)};
    const QString beside = QDir(programDirectory).filePath(catalogueFileName);
    if (QFileInfo::exists(beside))
        return {beside, Source::BesideProgram, true};
    const QString user = userCatalogue();
    return {user, Source::UserData, QFileInfo::exists(user)};
}

QString shortPath(const QString& path) {
    const QString home = QDir::homePath();
    if (path == home)
        return QStringLiteral("~");
    if (home != QLatin1String("/") && path.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}

void createEmptyCatalogue(const QString& path) {
    const QFileInfo target(path);
    if (target.exists())
        throw failure::fileAlreadyExists(path, QStringLiteral("a catalogue is never replaced"));
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder))
        throw failure::pathFileAccess(folder, QStringLiteral("the folder cannot be made"));
    QTemporaryFile building(QDir(folder).filePath(QStringLiteral(".%1-XXXXXX").arg(target.fileName())));
    if (!building.open())
        throw failure::pathFileAccess(path, building.errorString());
    building.close();
    runSchema(building.fileName());
    if (!building.rename(target.absoluteFilePath()))
        throw failure::pathFileAccess(path, building.errorString());
    building.setAutoRemove(false); // it now bears the catalogue's name
}

} // namespace location
