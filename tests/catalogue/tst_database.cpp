// The catalogue layer: what the engine refuses reaches the caller, transactions are all or nothing, and
// a second program holding the file is waited for.
#include "catalogue/ColumnConversion.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "support/TestCatalogue.h"

#include <QtTest>
#include <sqlite3.h>
#include <thread>

namespace {
// Holds the catalogue's lock from another connection for a while, as a second copy of the program would;
// returns once the lock is taken.
std::thread holdLock(const QString& path, const char* begin, int milliseconds) {
    std::atomic<bool> locked{false};
    std::thread other([path, begin, milliseconds, &locked] {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db, begin, nullptr, nullptr, nullptr);
        locked = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    });
    while (!locked)
        std::this_thread::yield();
    return other;
}

// Overwrites bytes of the file in place, as a disk fault or a copy cut short would leave them.
void damage(const QString& path, qint64 offset, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(offset) && file.write(bytes) == bytes.size());
}
} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void refusedRowsAreFailuresButUnmatchedStatementsAreNot() {
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (1, 'Animals')");
        Database db(catalogue.path());
        QCOMPARE(failureNumber([&] { db.Execute(statements::addCategory(1, "Again")); }) & 0xff, SQLITE_CONSTRAINT);
        QCOMPARE(failureNumber([&] { db.Execute(statements::renameCategory("Nobody", 99)); }), 0);
        QCOMPARE(failureNumber([&] { db.Execute(statements::deleteFigure(99)); }), 0);
        QCOMPARE(catalogue.rows("SELECT CategoryID, CategoryName FROM tblCategory"), QStringList({"1|Animals"}));
    }

    void boundTextsAreStoredExactly() {
        TestCatalogue catalogue;
        Database db(catalogue.path());
        const QString name = QStringLiteral("O'Brien's \"Horse\"; DROP TABLE tblFigure; --");
        db.Execute(statements::addFigure(1, 1, name, "it's"));
        Recordset rs = db.OpenRecordset(statements::countSameName(1, name.toUpper()));
        QCOMPARE(rs.Fields("RecCount").toInt(), 1); // names compare without regard to case
        QCOMPARE(catalogue.rows("SELECT FigureName, FigureType FROM tblFigure"), QStringList({name + "|it's"}));
    }

    // A catalogue whose name columns were made without a collation still lists and matches names regardless of case.
    void namesIgnoreCaseWithoutCollation() {
        TestCatalogue catalogue(
            "CREATE TABLE tblCategory (CategoryID INTEGER, CategoryName TEXT);"
            "CREATE TABLE tblFigure (FigureID INTEGER, CategoryID INTEGER, FigureName TEXT,"
            " FigureType TEXT);"
            "CREATE TABLE tblFigurePart (FigurePartID INTEGER, FigureID INTEGER, FigurePartName TEXT);"
            "INSERT INTO tblCategory VALUES (1, 'Zoo'), (2, 'apple'), (3, 'Banana');"
            "INSERT INTO tblFigure VALUES (1, 1, 'Horse', 'T'), (2, 1, 'ant', 'T')",
            false);
        Database db(catalogue.path());
        QStringList names;
        for (Recordset rs = db.OpenRecordset(statements::listCategories()); !rs.Eof(); rs.MoveNext())
            names << rs.Fields("CategoryName").toString();
        QCOMPARE(names, QStringList({"apple", "Banana", "Zoo"}));
        QCOMPARE(db.OpenRecordset(statements::listFigures(1)).Fields("FigureName").toString(), QStringLiteral("ant"));
        QCOMPARE(db.OpenRecordset(statements::countSameName(1, "horse")).Fields("RecCount").toInt(), 1);
    }

    void readingPastTheRowsFails() {
        TestCatalogue catalogue;
        Database db(catalogue.path());
        Recordset rs = db.OpenRecordset(statements::figureType(1));
        QVERIFY(rs.Eof());
        QCOMPARE(failureNumber([&] { rs.Fields("FigureType"); }), int(failure::NoCurrentRecord));
        QVERIFY(db.OpenRecordset(statements::largestCategoryId()).Fields("MaxRec").isNull());
        QCOMPARE(db.OpenRecordset(statements::countFiguresOfCategory(1)).Fields("MaxRec"), QVariant(0));
    }

    void transactionIsAllOrNothing() {
        TestCatalogue catalogue;
        Database db(catalogue.path(), 200);
        const qint32 number = failureNumber([&] {
            db.transaction([&] {
                db.Execute(statements::addCategory(1, "One"));
                db.transaction([&] { db.Execute(statements::addCategory(2, "Two")); }); // joins the outer one
                db.Execute(statements::addCategory(1, "Clash"));
            });
        });
        QCOMPARE(number & 0xff, SQLITE_CONSTRAINT); // the engine gives its extended code
        QCOMPARE(catalogue.value("SELECT COUNT(*) FROM tblCategory").toInt(), 0);
        // Nothing is left open: the next transaction starts afresh and commits.
        QCOMPARE(failureNumber([&] { db.transaction([&] { db.Execute(statements::addCategory(3, "Three")); }); }), 0);
        QCOMPARE(catalogue.value("SELECT COUNT(*) FROM tblCategory").toInt(), 1);
    }

    // Text for a number column: what counts as a number and what the column cannot hold.
    void convertText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("whole"); // a whole-number column, else a real one
        QTest::addColumn<QString>("converted");
        QTest::newRow("blanks only") << QByteArray(" \t ") << true << "null";
        QTest::newRow("no-break spaces around") << QByteArray("\xC2\xA0"
                                                              "42\xC2\xA0")
                                                << true << "whole 42";
        QTest::newRow("two signs") << QByteArray("+-42") << true << "refused";
        QTest::newRow("one past it") << QByteArray("9223372036854775808") << true << "refused";
        QTest::newRow("exponent beyond 64 bits") << QByteArray("1e19") << true << "refused";
        QTest::newRow("the same in a real column") << QByteArray("1e19") << false << "real 1e+19";
        QTest::newRow("whole text in a real column") << QByteArray("7") << false << "real 7";
        QTest::newRow("beyond a double") << QByteArray("-1e309") << false << "refused";
        QTest::newRow("infinity") << QByteArray("infinity") << false << "refused";
        QTest::newRow("not a number") << QByteArray("nan") << false << "refused";
        QTest::newRow("hexadecimal") << QByteArray("0x1A") << false << "refused";
        QTest::newRow("digit groups") << QByteArray("1,000") << true << "refused";
    }
    void convertText() {
        QFETCH(QByteArray, text);
        QFETCH(bool, whole);
        const ConvertedText c = ::convertText(std::string_view(text.constData(), size_t(text.size())),
                                              whole ? ColumnKind::Integer : ColumnKind::Real);
        using K = ConvertedText::Kind;
        QTEST(c.kind == K::Null      ? QString("null")
              : c.kind == K::Whole   ? "whole " + QString::number(c.whole)
              : c.kind == K::Real    ? "real " + QString::number(c.real)
              : c.kind == K::Refused ? QString("refused")
                                     : QString("text"),
              "converted");
    }

    // What keeps a catalogue from opening is named, with the engine's own words, instead of a later statement's
    // confusion about its parameters.
    void openingNamesTheCause_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code"); // the engine's primary code
        QTest::addColumn<QString>("expected");
        QTest::newRow("locked by another program")
            << "lock" << SQLITE_BUSY << "The catalogue is locked by another program (database is locked)";
        QTest::newRow("page size in the header")
            << "header" << SQLITE_NOTADB << "The catalogue is damaged (file is not a database";
        QTest::newRow("schema page") << "schema" << SQLITE_CORRUPT
                                     << "The catalogue is damaged (database disk image is malformed";
    }

    void openingNamesTheCause() {
        QFETCH(QString, how);
        QFETCH(int, code);
        QFETCH(QString, expected);
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (1, 'Animals')");
        std::thread other;
        if (how == "lock") // an exclusive lock keeps even readers out, as a program in the middle of writing does
            other = holdLock(catalogue.path(), "BEGIN EXCLUSIVE", 600);
        else if (how == "header")
            damage(catalogue.path(), 16, QByteArray("\x00\x03", 2)); // no power of two
        else
            damage(catalogue.path(), 100, QByteArray(200, '\xff')); // the first page's tree, below the header
        const Failure failure = failureOf([&] { Database db(catalogue.path(), 200); });
        if (other.joinable())
            other.join();
        QCOMPARE(failure.number & 0xff, code);
        QVERIFY2(failure.description.startsWith(expected), qPrintable(failure.description));
    }

    // A second copy of the program holding the file is waited for; one that holds it too long is a failure.
    void otherWriterHoldingTheFile_data() {
        QTest::addColumn<int>("holdMs");
        QTest::addColumn<int>("failure");
        QTest::newRow("briefly") << 100 << 0;
        QTest::newRow("past the wait") << 900 << SQLITE_BUSY;
    }

    void otherWriterHoldingTheFile() {
        QFETCH(int, holdMs);
        QFETCH(int, failure);
        TestCatalogue catalogue;
        Database db(catalogue.path(), 400);
        std::thread other = holdLock(catalogue.path(), "BEGIN IMMEDIATE", holdMs);
        QCOMPARE(failureNumber([&] { db.Execute(statements::addCategory(1, "Waited")); }), failure);
        other.join();
        QCOMPARE(catalogue.value("SELECT COUNT(*) FROM tblCategory").toInt(), failure ? 0 : 1);
    }
};

QTEST_MAIN(DatabaseTest)
#include "tst_database.moc"
