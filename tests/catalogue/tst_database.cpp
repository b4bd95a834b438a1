// The catalogue layer: names compare without regard to case, transactions are all or nothing, a second
// program holding the file is waited for; and the text forms of numbers, dates and yes/no values that transfer
// files carry, from this program and from the older one.
#include "catalogue/ColumnConversion.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "catalogue/ValueForms.h"
#include "support/TestCatalogue.h"

#include <QtTest>
#include <sqlite3.h>

namespace {
// Overwrites bytes of the file in place, as a disk fault or a copy cut short would leave them.
void damage(const QString& path, qint64 offset, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(offset) && file.write(bytes) == bytes.size());
}
} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT

private slots:
    // A catalogue whose name columns were made without a collation still lists and matches names regardless of case.
    void namesIgnoreCaseWithoutCollation() {
        TestCatalogue catalogue(looseTables + "INSERT INTO tblCategory VALUES (1, 'Zoo'), (2, 'apple'), (3, 'Banana');"
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
        // Nothing is left open: the next transaction starts afresh and commits; a statement matching no row is no
        // failure.
        QCOMPARE(failureNumber([&] {
                     db.transaction([&] {
                         db.Execute(statements::addCategory(3, "Three"));
                         db.Execute(statements::deleteFigure(99));
                     });
                 }),
                 0);
        QCOMPARE(catalogue.value("SELECT COUNT(*) FROM tblCategory").toInt(), 1);
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
        std::atomic<bool> release{false};
        std::thread other;
        const auto done = qScopeGuard([&] {
            release = true;
            if (other.joinable())
                other.join();
        });
        if (how == "lock") // an exclusive lock keeps even readers out, as a program in the middle of writing does
            other = holdLock(catalogue.path(), "BEGIN EXCLUSIVE", 30000, &release);
        else if (how == "header")
            damage(catalogue.path(), 16, QByteArray("\x00\x03", 2)); // no power of two
        else
            damage(catalogue.path(), 100, QByteArray(200, '\xff')); // the first page's tree, below the header
        const Failure failure = failureOf([&] { Database db(catalogue.path(), 200); });
        QCOMPARE(failure.number & 0xff, code);
        QVERIFY2(failure.description.startsWith(expected), qPrintable(failure.description));
    }

    // A second copy of the program holding the file is waited for; one that holds it too long is a failure.
    void otherWriterHoldingTheFile_data() {
        QTest::addColumn<int>("holdMs");
        QTest::addColumn<int>("failure");
        QTest::newRow("briefly") << 100 << 0;
        QTest::newRow("past the wait") << 30000 << SQLITE_BUSY; // until the command has given up
    }

    void otherWriterHoldingTheFile() {
        QFETCH(int, holdMs);
        QFETCH(int, failure);
        TestCatalogue catalogue;
        Database db(catalogue.path(), 400);
        std::atomic<bool> release{false};
        std::thread other = holdLock(catalogue.path(), "BEGIN IMMEDIATE", holdMs, &release);
        const int number = failureNumber([&] { db.Execute(statements::addCategory(1, "Waited")); });
        release = true;
        other.join();
        QCOMPARE(number, failure);
        QCOMPARE(catalogue.value("SELECT COUNT(*) FROM tblCategory").toInt(), failure ? 0 : 1);
    }

    // Text from a transfer file for a column of each kind: what is stored, or "refused". Numbers: what counts as
    // one and what the column cannot hold; dates and yes/no values in the forms of this program and the older one.
    void textForAColumn_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("stored");
        // Per kind, rows of "name;text;stored".
        const auto rows = [](const char* kind, const QString& table) {
            for (const QString& row : table.split('|')) {
                const QStringList field = row.split(';');
                QTest::newRow(qPrintable(field[0])) << QString(kind) << field[1].toUtf8() << field[2];
            }
        };
        rows("whole", QStringLiteral("blanks only; \t ;null|no-break spaces around;\u00A042\u00A0;whole 42|"
                                     "two signs;+-42;refused|one past it;9223372036854775808;refused|"
                                     "exponent beyond 64 bits;1e19;refused|digit groups;1,000;refused"));
        rows("real", QStringLiteral("the same in a real column;1e19;real 1e+19|whole text in a real column;7;real 7|"
                                    "beyond a double;-1e309;refused|infinity;infinity;refused|not a number;nan;refused|"
                                    "hexadecimal;0x1A;refused"));
        rows("date",
             QStringLiteral("ISO date;2024-03-05;2024-03-05|ISO at midnight;2024-03-05 00:00:00;2024-03-05|"
                            "ISO with time;1899-12-31 23:59:59;1899-12-31 23:59:59|US short;3/5/2024;2024-03-05|"
                            "US afternoon;12/31/1999 1:04:09 PM;1999-12-31 13:04:09|"
                            "US midnight and noon;1/1/2000 12:00:00 AM;2000-01-01|"
                            "US noon;1/1/2000 12:00 pm;2000-01-01 12:00:00|"
                            "two-digit year 29;12/05/29 7:30;2029-12-05 07:30:00|two-digit year 30;1/2/30;1930-01-02|"
                            "no such day;2/30/2024;refused|no such hour;1/1/2000 13:00 PM;refused|"
                            "day before month is not US;31/12/2024;refused|not a date;yesterday;refused"));
        rows("yes/no", QStringLiteral("True;True;1|false any case;FALSE;0|older engine's true;-1;1|one and zero;1;1|"
                                      "two;2;refused|not a yes/no;maybe;refused"));
    }

    void textForAColumn() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, text);
        QString stored = "refused";
        if (kind == "date") {
            stored = storedDate(QString::fromUtf8(text)).value_or(stored);
        } else if (kind == "yes/no") {
            if (const auto yes = storedYesNo(QString::fromUtf8(text)))
                stored = QString::number(*yes);
        } else {
            using K = ConvertedText::Kind;
            const ConvertedText c = ::convertText(std::string_view(text.constData(), size_t(text.size())),
                                                  kind == "whole" ? ColumnKind::Integer : ColumnKind::Real);
            stored = c.kind == K::Null    ? QString("null")
                     : c.kind == K::Whole ? "whole " + QString::number(c.whole)
                     : c.kind == K::Real  ? "real " + QString::number(c.real)
                     : c.kind == K::Text  ? QString("text")
                                          : stored;
        }
        QTEST(stored, "stored");
    }
};

QTEST_MAIN(DatabaseTest)
#include "tst_database.moc"
