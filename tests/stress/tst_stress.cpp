// Stress: a program killed at any moment of an import or delete, and several programs importing and editing one
// catalogue at once, leave every figure whole (or absent) and every identifier held once. Short runs here; with
// LUMARET_STRESS=long (CTest label "long", scripts/stress) 200 kills and 4 programs of 200 rounds each.
#include "support/TestCatalogue.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

namespace {
bool longRun() {
    return qgetenv("LUMARET_STRESS") == "long";
}

QString writeTransferFile(const TestCatalogue& catalogue, int parts) {
    QByteArray bytes("Lumaret Import/ Export file, created 12/06/26\r\nStress\r\nTest\r\n");
    for (int i = 1; i <= parts; ++i)
        bytes += 'P' + QByteArray::number(i).rightJustified(6, '0') + "!\r\n";
    return catalogue.file(QStringLiteral("stress.lrx"), bytes);
}

// What would show a catalogue left partial or with an identifier handed out twice; empty when there is nothing.
QStringList faults(const TestCatalogue& catalogue, int parts) {
    QStringList found;
    const QString check = catalogue.rows("PRAGMA integrity_check").join(QLatin1Char(' '));
    if (check != QLatin1String("ok"))
        found << QStringLiteral("integrity_check: ") + check;
    found << catalogue.rows("SELECT 'figure identifier ' || FigureID || ' held ' || COUNT(*) || ' times' "
                            "FROM tblFigure GROUP BY FigureID HAVING COUNT(*) > 1 LIMIT 5");
    found << catalogue.rows("SELECT 'part identifier ' || FigurePartID || ' held ' || COUNT(*) || ' times' "
                            "FROM tblFigurePart GROUP BY FigurePartID HAVING COUNT(*) > 1 LIMIT 5");
    found << catalogue.rows("SELECT 'part ' || FigurePartID || ' without its figure' FROM tblFigurePart "
                            "WHERE FigureID NOT IN (SELECT FigureID FROM tblFigure) LIMIT 5");
    found << catalogue.rows(QStringLiteral("SELECT 'figure ' || FigureID || ' has ' || n || ' parts' FROM "
                                           "(SELECT FigureID, (SELECT COUNT(DISTINCT FigurePartName) FROM "
                                           "tblFigurePart p WHERE p.FigureID = f.FigureID) AS n FROM tblFigure f) "
                                           "WHERE n <> %1 LIMIT 5")
                                .arg(parts));
    return found;
}
} // namespace

class StressTest : public QObject {
    Q_OBJECT

private slots:
    // The child imports and deletes a figure over and over; each kill lands somewhere in that.
    void killedAtAnyMoment() {
        const int kills = longRun() ? 200 : 8;
        const int parts = 3000;
        QRandomGenerator random(randomSeed("LUMARET_STRESS_SEED"));
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (1, 'Stress')");
        const QString file = writeTransferFile(catalogue, parts);
        const QString journal = catalogue.path() + QStringLiteral("-journal");
        int cut = 0; // kills that left a transaction half written, for the engine to roll back
        for (int kill = 1; kill <= kills; ++kill) {
            QProcess child;
            child.start(QStringLiteral(TRANSFER_CHILD), {QStringLiteral("crash"), catalogue.path(), file});
            QVERIFY(child.waitForStarted());
            QThread::msleep(random.bounded(40, 400));
            QVERIFY2(child.state() == QProcess::Running, child.readAll().constData());
            child.kill();
            QVERIFY(child.waitForFinished());
            if (QFile(journal).size() > 0)
                ++cut;
            const QStringList found = faults(catalogue, parts);
            QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("after kill %1: %2").arg(kill).arg(found.join("; "))));
        }
        qInfo("%d kills, %d in the middle of a write; %s figures left", kills, cut,
              qPrintable(catalogue.value("SELECT COUNT(*) FROM tblFigure").toString()));
    }

    // Without unique identifier columns the engine would not stop a second row under a taken identifier: only the
    // program's own locking keeps the children apart.
    void severalAtOnce() {
        const int children = 4;
        const int rounds = longRun() ? 200 : 10;
        const int parts = 50;
        TestCatalogue catalogue(looseTables + "CREATE INDEX figureIds ON tblFigure (FigureID);"
                                              "CREATE INDEX figureNames ON tblFigure (CategoryID, FigureName);"
                                              "CREATE INDEX partIds ON tblFigurePart (FigurePartID);"
                                              "CREATE INDEX partFigures ON tblFigurePart (FigureID);"
                                              "INSERT INTO tblCategory VALUES (1, 'In'), (2, 'Out')",
                                false);
        const QString file = writeTransferFile(catalogue, parts);
        std::vector<std::unique_ptr<QProcess>> running;
        for (int c = 1; c <= children; ++c) {
            running.push_back(std::make_unique<QProcess>());
            running.back()->start(QStringLiteral(TRANSFER_CHILD),
                                  {QStringLiteral("edit"), catalogue.path(), file, QString::number(rounds),
                                   QStringLiteral("c%1").arg(c)});
        }
        QStringList kept;
        int reported = 0;
        int busy = 0;
        for (auto& child : running) {
            QVERIFY(child->waitForFinished(longRun() ? 3600'000 : 120'000));
            QCOMPARE(child->exitCode(), 0);
            for (const QByteArray& line : child->readAllStandardOutput().split('\n')) {
                if (line.isEmpty())
                    continue;
                if (line == "busy") {
                    ++busy;
                    continue;
                }
                QVERIFY2(!line.startsWith("failed"), line.constData());
                ++reported;
                if (line.startsWith("kept "))
                    kept << QString::fromUtf8(line.mid(5)).replace(QLatin1Char(' '), QLatin1Char('|')) + "|2";
            }
        }
        QCOMPARE(reported, children * rounds);
        qInfo("%d programs of %d rounds; %d steps found the catalogue locked past the wait and were tried again",
              children, rounds, busy);
        std::sort(kept.begin(), kept.end(), [](const QString& a, const QString& b) {
            return a.section(QLatin1Char('|'), 0, 0).toInt() < b.section(QLatin1Char('|'), 0, 0).toInt();
        });
        QCOMPARE(catalogue.rows("SELECT FigureID, FigureName, CategoryID FROM tblFigure ORDER BY FigureID"), kept);
        const QStringList found = faults(catalogue, parts);
        QVERIFY2(found.isEmpty(), qPrintable(found.join("; ")));
    }
};

QTEST_GUILESS_MAIN(StressTest)
#include "tst_stress.moc"
