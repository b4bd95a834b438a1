#include "support/TestCatalogue.h"

#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "dialogs/frmMsgBox.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {
struct Connection {
    explicit Connection(const QString& path) : name(QStringLiteral("test-%1").arg(++counter)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            qFatal("cannot open test catalogue: %s", qPrintable(db.lastError().text()));
    }
    ~Connection() {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name, false); }
    QString name;
    static inline int counter = 0;
};

void runScript(const QString& path, const QString& script) {
    Connection c(path);
    // The driver takes one statement at a time.
    for (const QString& piece : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString statement;
        for (const QString& line : piece.split(QLatin1Char('\n')))
            if (!line.trimmed().startsWith(QLatin1String("--")))
                statement += line + QLatin1Char('\n');
        if (statement.trimmed().isEmpty())
            continue;
        QSqlQuery q(c.db());
        if (!q.exec(statement))
            qFatal("test catalogue statement failed: %s\n%s", qPrintable(q.lastError().text()), qPrintable(statement));
    }
}
} // namespace

QString TestCatalogue::sourceFile(const QString& relative) {
    return QDir(QStringLiteral(LUMARET_SOURCE_DIR)).filePath(relative);
}

TestCatalogue::TestCatalogue(const QString& sql, bool withSchema) {
    if (!withSchema && sql.isEmpty())
        return;
    QFile schema(sourceFile(QStringLiteral("resources/catalogue/schema.sql")));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("schema.sql not found");
    runScript(path(), (withSchema ? QString::fromUtf8(schema.readAll()) : QString()) + QLatin1Char(';') + sql);
}

QString TestCatalogue::path() const {
    return QDir(dir.path()).filePath(QStringLiteral("data.mdb"));
}

void TestCatalogue::exec(const QString& sql) const {
    runScript(path(), sql);
}

QVariant TestCatalogue::value(const QString& sql) const {
    Connection c(path());
    QSqlQuery q(c.db());
    if (!q.exec(sql) || !q.next())
        qFatal("test query failed: %s", qPrintable(sql));
    return q.value(0);
}

QStringList TestCatalogue::rows(const QString& sql) const {
    Connection c(path());
    QSqlQuery q(c.db());
    if (!q.exec(sql))
        qFatal("test query failed: %s", qPrintable(sql));
    QStringList result;
    while (q.next()) {
        QStringList columns;
        for (int i = 0; i < q.record().count(); ++i)
            columns << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
        result << columns.join(QLatin1Char('|'));
    }
    return result;
}

frmLumaret* startProgram(const TestCatalogue& catalogue) {
    modLumaretStart::setExecutableDirectory(catalogue.directory());
    return modLumaretStart::Main() ? modLumaretStart::mainWindow() : nullptr;
}

void stopProgram() {
    if (frmLumaret* window = modLumaretStart::mainWindow()) {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool dialogHooksUsed() {
    return frmMsgBox::unusedAnswers() == 0;
}
