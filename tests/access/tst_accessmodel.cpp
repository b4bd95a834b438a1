// An Access catalogue and a SQLite catalogue made from it are given the same random run of the program's commands;
// after every step the Access file, read again from its pages, holds exactly what the SQLite catalogue holds, and
// from time to time an independent reader and checker of Access files agrees and finds every index true. A
// program killed in the middle of its writes leaves, at the next opening, every figure whole or absent.
#include "catalogue/Database.h"
#include "catalogue/EngineFailure.h"
#include "operations/CatalogueOperations.h"
#include "operations/FigureExport.h"
#include "operations/FigureImport.h"
#include "support/AccessCheck.h"
#include "support/TestCatalogue.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <sqlite3.h>

namespace {
const char* const tables[] = {"tblCategory", "tblFigure", "tblFigurePart"};

// The first column of every row of a query.
QList<qint32> identifiers(Database& db, const QString& sql) {
    QList<qint32> found;
    QSqlQuery q(db.connection());
    q.exec(sql);
    while (q.next())
        found << q.value(0).toInt();
    return found;
}

// Names that have broken things before: accents, apostrophes, quotes, the longest a text column holds, empty.
QString randomName(QRandomGenerator& random) {
    static const QStringList pieces = {"Horse",      "Café", "O'Brien", "Zürich",  "ÆSIR",
                                       "\"quoted\"", "x",    "naïve",   "Ünïcödé", "a b",
                                       "Œuvre",      "ÿ",    "-",       "Straße",  "MIXED case"};
    switch (random.bounded(8)) {
    case 0:
        return QString();
    case 1:
        return QString(random.bounded(40, 80), QChar(u'é'));
    default: {
        QString name;
        for (int n = random.bounded(1, 4); n > 0; --n)
            name += pieces.at(random.bounded(pieces.size())) + QLatin1Char(' ');
        return name.trimmed();
    }
    }
}

struct Twins {
    Database& access;
    Database& sqlite;
    QRandomGenerator& random;
    QString folder;

    template <class Id> Id any(const QList<Id>& ids) {
        return ids.isEmpty() ? Id(999999) : ids.at(random.bounded(ids.size()));
    }

    // The same command on both; both must do the same, or refuse alike.
    void both(const QString& what, const std::function<void(Database&)>& command) {
        const qint32 onAccess = failureNumber([&] { command(access); });
        const qint32 onSqlite = onAccess == 3163 ? onAccess : failureNumber([&] { command(sqlite); });
        if (onAccess != onSqlite)
            QFAIL(qPrintable(
                QStringLiteral("%1: Access catalogue %2, SQLite catalogue %3").arg(what).arg(onAccess).arg(onSqlite)));
    }

    void step() {
        const auto categories = identifiers(sqlite, "SELECT CategoryID FROM tblCategory");
        const auto figures = identifiers(sqlite, "SELECT FigureID FROM tblFigure");
        const QString name = randomName(random);
        switch (random.bounded(8)) {
        case 0:
            return both("add category", [&](Database& db) { operations::addCategory(db, name); });
        case 1:
            return both("rename category",
                        [&, id = any(categories)](Database& db) { operations::renameCategory(db, id, name); });
        case 2:
            return both("delete category",
                        [&, id = any(categories)](Database& db) { operations::deleteCategory(db, id); });
        case 3:
            return both("rename figure",
                        [&, id = any(figures)](Database& db) { operations::renameFigure(db, id, name); });
        case 4:
            return both("move figure", [&, id = any(figures), to = any(categories)](Database& db) {
                operations::moveFigure(db, id, to);
            });
        case 5:
            return both("delete figure", [&, id = any(figures)](Database& db) { operations::deleteFigure(db, id); });
        default: {
            // A figure of the catalogue carried back in under a new name, as a user's export and import would.
            if (figures.isEmpty() || categories.isEmpty())
                return;
            QByteArray content;
            // Small figures only: a run of imports copying copies would grow the tables beyond what a quick test
            // can read back after every step (large imports have a test of their own).
            const auto small = identifiers(sqlite, "SELECT FigureID FROM tblFigure f WHERE (SELECT COUNT(*) FROM "
                                                   "tblFigurePart p WHERE p.FigureID = f.FigureID) <= 40");
            if (failureNumber([&] { content = operations::figureTransferContent(sqlite, any(small)); }) != 0)
                return;
            QList<QByteArray> lines = content.split('\n');
            // The file is Windows-1252; a name beyond Latin-1 keeps the exported one.
            if (std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x100; }))
                lines[1] = name.toLatin1() + '\r';
            const QString file = folder + QStringLiteral("/step.lrx");
            writeFile(file, lines.join('\n'));
            return both("import",
                        [&, to = any(categories)](Database& db) { operations::importTransferFile(db, to, file); });
        }
        }
    }
};

// The rows as the engine holds them, each value's storage class and text: the file read again must give back the
// very values the SQLite catalogue holds.
QStringList engineRows(Database& db, const char* table) {
    sqlite3* engine = engineHandle(db.connection());
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(engine, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table).toUtf8().constData(), -1,
                       &statement, nullptr);
    QStringList rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QByteArray row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            row += QByteArray::number(sqlite3_column_type(statement, i)) + (text ? text : "") + '|';
        }
        rows << QString::fromUtf8(row);
    }
    sqlite3_finalize(statement);
    return rows;
}

QString differences(Database& expected, const QString& accessFile, bool independent) {
    QString found;
    Database reread(accessFile);
    for (const char* table : tables) {
        const QStringList want = independent ? accesscheck::rowsOf(expected, table) : engineRows(expected, table);
        const QStringList have = independent ? accesscheck::dumped(accessFile, table) : engineRows(reread, table);
        if (want != have) {
            for (int i = 0; i < std::max(want.size(), have.size()); ++i)
                if (want.value(i) != have.value(i)) {
                    found += QStringLiteral("%1 (%2 rows, file %3): expected '%4', file has '%5'\n")
                                 .arg(table)
                                 .arg(want.size())
                                 .arg(have.size())
                                 .arg(want.value(i).left(120), have.value(i).left(120));
                    break;
                }
        }
    }
    return found;
}
} // namespace

class AccessModelTest : public QObject {
    Q_OBJECT

private slots:
    void init() { REQUIRE_ACCESS_TOOLS(); }

    void commandsAgree_data() {
        QTest::addColumn<QString>("fixture");
        for (const char* name :
             {"catalogueV2000.mdb", "catalogueChurnV2000.mdb", "catalogueIndexedV2003.mdb", "catalogueIdsV2007.accdb"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void commandsAgree() {
        QFETCH(QString, fixture);
        QTemporaryDir folder;
        const QString file = accesscheck::copyOf(fixture, folder.path());
        const QString model = folder.filePath(QStringLiteral("model.db"));
        QRandomGenerator random(randomSeed("LUMARET_MODEL_SEED"));
        Database access(file);
        QSqlQuery(access.connection()).exec(QStringLiteral("VACUUM INTO '%1'").arg(model));
        Database sqlite(model);
        // What the program reads is what the independent reader reads: every live row, and no other.
        const QString read = differences(sqlite, file, true);
        QVERIFY2(read.isEmpty(), qPrintable(read));
        Twins twins{access, sqlite, random, folder.path()};
        const int count = qEnvironmentVariableIsSet("LUMARET_MODEL_STEPS")
                              ? qEnvironmentVariableIntValue("LUMARET_MODEL_STEPS")
                              : 300;
        for (int step = 1; step <= count; ++step) {
            twins.step();
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("at step %1").arg(step)));
            const bool independent = step % 150 == 0 || step == count;
            const QString found = differences(sqlite, file, independent);
            QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(found)));
            if (independent) {
                QString said;
                QVERIFY2(accesscheck::checks(file, step == count, &said), qPrintable(said));
            }
        }
    }

    // Every command once, a 10,000-part import among them, on a copy of each catalogue: the independent reader reads
    // back what the program holds, the checker's own writer works on the result, and no page of anything but the
    // three tables (and the map of free pages) has changed.
    void everyCommandKeepsTheFileTrue() {
        QFETCH(QString, fixture);
        QTemporaryDir folder;
        const QString file = accesscheck::copyOf(fixture, folder.path());
        const QByteArray before = fileContent(file);
        {
            Database db(file);
            const qint16 added = operations::addCategory(db, QStringLiteral("Caf\u00E9 of O'Brien"));
            operations::renameCategory(db, added, QStringLiteral("O'Brien's \u00C9clairs"));
            operations::renameFigure(db, 10, QStringLiteral("Horse's \u00E9t\u00E9"));
            operations::moveFigure(db, 10, added);
            QList<QByteArray> lines = operations::figureTransferContent(db, 10).split('\n');
            lines.removeLast(); // after the last line end
            const QList<QByteArray> parts = lines.mid(3);
            writeFile(folder.filePath("three.lrx"), (lines.mid(0, 3) + parts.mid(0, 3)).join('\n') + '\n');
            QList<QByteArray> many = lines.mid(0, 3);
            for (int i = 0; i < 10000; ++i)
                many << parts.at(i % parts.size());
            writeFile(folder.filePath("many.lrx"), many.join('\n') + '\n');
            operations::importTransferFile(db, added, folder.filePath("three.lrx"));
            const qint32 big = operations::importTransferFile(db, 3, folder.filePath("many.lrx")).figureId;
            operations::exportFigureFile(db, big, folder.filePath("out.lrx"));
            QCOMPARE(fileContent(folder.filePath("out.lrx")).count('\n'), 10003);
            operations::deleteFigure(db, 11);
            QCOMPARE(operations::deleteCategory(db, 15), 0); // the empty one
            const QString found = differences(db, file, true);
            QVERIFY2(found.isEmpty(), qPrintable(found));
        }
        QString said;
        QVERIFY2(accesscheck::checks(file, true, &said), qPrintable(said));
        const QString strayPage = accesscheck::pageOfAnotherObject(before, fileContent(file));
        QVERIFY2(strayPage.isEmpty(), qPrintable(strayPage));
    }
    void everyCommandKeepsTheFileTrue_data() { commandsAgree_data(); }

    // Two programs on one Access file: while one writes, the other waits and then says the file is locked; once the
    // first has written, the other reads the file again rather than writing over that change.
    void anotherProgramsWriteIsNeverLost() {
        QTemporaryDir folder;
        const QString file = accesscheck::copyOf(QStringLiteral("catalogueIndexedV2003.mdb"), folder.path());
        Database first(file), second(file, 200);
        first.transaction([&] {
            operations::renameFigure(first, 10, QStringLiteral("First"));
            QCOMPARE(failureOf([&] { operations::renameFigure(second, 11, QStringLiteral("Second")); }).number, 5);
        });
        QCOMPARE(failureOf([&] { operations::renameFigure(second, 11, QStringLiteral("Second")); }).number, 3197);
        operations::renameFigure(second, 11, QStringLiteral("Second"));
        QCOMPARE(identifiers(second, "SELECT COUNT(*) FROM tblFigure WHERE FigureName IN ('First', 'Second')").value(0),
                 2);
        Database third(file);
        QCOMPARE(identifiers(third, "SELECT COUNT(*) FROM tblFigure WHERE FigureName IN ('First', 'Second')").value(0),
                 2);
    }

    // A second program imports and deletes a figure over and over and is killed at random moments; each next
    // opening rolls a half-done write back, so that the figure is whole or absent and the file checks out.
    void killedWritesLeaveWholeFigures() {
        QTemporaryDir folder;
        const QString file = accesscheck::copyOf(QStringLiteral("catalogueIndexedV2003.mdb"), folder.path());
        const QString transfer = folder.filePath(QStringLiteral("figure.lrx"));
        qint64 parts = 0;
        {
            Database db(file);
            writeFile(transfer, operations::figureTransferContent(db, 10));
            parts = identifiers(db, QStringLiteral("SELECT COUNT(*) FROM tblFigurePart WHERE FigureID = 10")).value(0);
        }
        QRandomGenerator random(randomSeed("LUMARET_MODEL_SEED"));
        const int kills = qgetenv("LUMARET_STRESS") == "long" ? 200 : 6;
        for (int kill = 1; kill <= kills; ++kill) {
            QProcess child;
            child.start(QStringLiteral(TRANSFER_CHILD), {QStringLiteral("crash"), file, transfer});
            QVERIFY(child.waitForStarted());
            QThread::msleep(random.bounded(100, 900));
            QVERIFY2(child.state() == QProcess::Running, child.readAll().constData());
            child.kill();
            QVERIFY(child.waitForFinished());
            Database reopened(file);
            QSqlQuery q(
                QStringLiteral("SELECT f.FigureID, COUNT(p.FigurePartID) FROM tblFigure f LEFT JOIN "
                               "tblFigurePart p ON p.FigureID = f.FigureID WHERE f.CategoryID = 1 GROUP BY f.FigureID"),
                reopened.connection());
            while (q.next())
                QCOMPARE(q.value(1).toLongLong(), parts);
            QCOMPARE(identifiers(reopened, QStringLiteral("SELECT COUNT(*) FROM tblFigurePart WHERE FigureID NOT IN "
                                                          "(SELECT FigureID FROM tblFigure)"))
                         .value(0),
                     0);
        }
        QString said;
        QVERIFY2(accesscheck::checks(file, false, &said), qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(AccessModelTest)
#include "tst_accessmodel.moc"
