// The catalogue operations without any window: how identifiers are made, what a refused step leaves behind, and
// a figure exported and imported again coming back with every value equal, whatever the part columns' types (date,
// yes/no, currency and decimal columns, the kinds a converted Access catalogue declares too).
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "operations/CatalogueOperations.h"
#include "operations/FigureExport.h"
#include "operations/FigureImport.h"
#include "support/TestCatalogue.h"
#include "transfer/TransferReader.h" // the longest line it takes

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The part table of the catalogue the import tests write into: names that need quoting, number columns, and
// identifier columns spelt in lower case (names are compared without regard to case).
const char* const quotedColumns = "DROP TABLE tblFigurePart; CREATE TABLE tblFigurePart (figurepartid INTEGER PRIMARY "
                                  "KEY, figureid INTEGER, \"Part Colour\" TEXT,"
                                  " \"Order\" INTEGER, \"Weight \"\"kg\"\"\" REAL);"
                                  "INSERT INTO tblCategory VALUES (1, 'Pieces');";

// One figure with parts over many pages of the file.
const char* const horseOf2000Parts = "INSERT INTO tblCategory VALUES (1, 'Animals');"
                                     "INSERT INTO tblFigure VALUES (1, 1, 'Horse', 'T');"
                                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                                     "INSERT INTO tblFigurePart SELECT i, 1, printf('%0100d', i) FROM n;";
// A part's data columns as SQL sees them, type and value; a null text reads as empty text, since a transfer file
// cannot tell the two apart.
QStringList partValues(const TestCatalogue& catalogue, qint32 figureId) {
    QStringList columns;
    const QStringList info = catalogue.rows("PRAGMA table_info(tblFigurePart)");
    for (qsizetype i = 2; i < info.size(); ++i) {
        const QStringList field = info[i].split('|');
        const QString name = '"' + field[1] + '"';
        columns << (field[2].toUpper().contains("TEXT") ? "quote(ifnull(" + name + ", ''))"
                                                        : "typeof(" + name + ") || ':' || quote(" + name + ")");
    }
    return catalogue.rows("SELECT " + columns.join(" || '|' || ") + " FROM tblFigurePart WHERE FigureID = " +
                          QString::number(figureId) + " ORDER BY FigurePartID");
}

} // namespace

class OperationsTest : public QObject {
    Q_OBJECT

private slots:
    // Category and figure identifiers follow one rule: the largest plus one, 1 in an empty table.
    void newIdentifiers_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("category"); // the category added, or the rows left when it failed
        QTest::addColumn<QString>("figure");   // the figure imported, likewise
        const auto row = [](const char* name, const char* rows, int failure, const char* category, const char* figure) {
            QTest::newRow(name) << QString(rows) << failure << QString(category) << QString(figure);
        };
        row("empty tables", "", 0, "1|New", "1|Imported");
        row("largest plus one, beyond 16 bits for figures",
            "INSERT INTO tblCategory VALUES (7, 'A'), (1, 'B'); INSERT INTO tblFigure VALUES (40000, 7, 'F', 'T')", 0,
            "8|New", "40001|Imported");
        row("16-bit category overflow",
            "INSERT INTO tblCategory VALUES (32767, 'Full'), (1, 'B'); INSERT INTO tblFigure VALUES (2147483647, 1, "
            "'F', 'T')",
            int(failure::Overflow), "", "");
        row("a largest that is no number",
            "INSERT INTO tblCategory VALUES ('x', 'A'), (1, 'B'); INSERT INTO tblFigure VALUES ('y', 1, 'F', 'T')",
            int(failure::TypeMismatch), "", "");
    }

    void newIdentifiers() {
        QFETCH(QString, rows);
        QFETCH(int, failure);
        QFETCH(QString, category);
        QFETCH(QString, figure);
        TestCatalogue catalogue(looseTables + rows, false);
        const QStringList before = everyRow(catalogue);
        Database db(catalogue.path());
        QCOMPARE(failureNumber([&] { operations::addCategory(db, "New"); }), failure);
        const QString file = catalogue.file("in.lrx", "H\r\nImported\r\nType\r\nHip!\r\n");
        QCOMPARE(failureNumber([&] { operations::importTransferFile(db, 1, file); }), failure);
        if (failure) {
            QCOMPARE(everyRow(catalogue), before); // nothing written by either
            return;
        }
        QCOMPARE(catalogue.value("SELECT CategoryID || '|' || CategoryName FROM tblCategory WHERE CategoryName = 'New'")
                     .toString(),
                 category);
        QCOMPARE(catalogue.value("SELECT FigureID || '|' || FigureName FROM tblFigure WHERE FigureName = 'Imported'")
                     .toString(),
                 figure);
    }

    void categoryInUseStays() {
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (1, 'Used'), (2, 'Free');"
                                "INSERT INTO tblFigure VALUES (1, 1, 'A', 'T'), (2, 1, 'B', 'T')");
        Database db(catalogue.path());
        QCOMPARE(operations::deleteCategory(db, 1), 2);
        QCOMPARE(operations::deleteCategory(db, 2), 0);
        QCOMPARE(catalogue.rows("SELECT CategoryName FROM tblCategory"), QStringList{"Used"});
    }

    // What a file brings into the catalogue, or the failure it ends in; a failure leaves every row as it was,
    // wherever in the file it comes.
    void importFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("failure"); // start of "number: description", or "0"
        QTest::addColumn<QStringList>("parts");
        const QByteArray head("H\r\nKnight\r\nChess\r\n");
        QTest::newRow("column names that need quoting")
            << head + "Red!1!2.5!\r\nCaf\xE9 \x80!!-0.5!\r\n"
            << "0" << QStringList{"1|1|Red|1|2.5", "2|1|Caf\u00E9 \u20AC|<null>|-0.5"};
        QTest::newRow("whole-number limits and a fraction kept")
            << head + "a!9223372036854775807!!\r\nb!-9223372036854775808!1e300!\r\nc! +7 !\r\nd!1e3!\r\ne!2.5!\r\n"
            << "0"
            << QStringList{"1|1|a|9223372036854775807|<null>", "2|1|b|-9223372036854775808|1.0e+300", "3|1|c|7|<null>",
                           "4|1|d|1000|<null>", "5|1|e|2.5|<null>"};
        const auto refusal = [](const char* name, const QByteArray& file, const QString& failure) {
            QTest::newRow(name) << file << failure << QStringList();
        };
        const QString refused = QStringLiteral("3421: Data type conversion error: line ");
        refusal("a word, on the last line", head + "a!1!!\r\nb!2!!\r\nc!abc!!",
                refused + "6, column 'Order' expects a number, not 'abc'.");
        refusal("below the whole-number limit", head + "a!-9223372036854775809!!\r\n",
                refused + "4, column 'Order' expects a number, not '-9223372036854775809'.");
        refusal("not a number", head + "a!1!nan!\r\n",
                refused + "4, column 'Weight \"kg\"' expects a number, not 'nan'.");
        refusal("short line last", head + "a!1!!\r\nb!", "9: Subscript out of range: line 5");
        const QString notTransfer = QStringLiteral("321: Invalid file format: '%1' is not a transfer file: ");
        refusal("line feeds only", "H\nKnight\nChess\na!1!!\n",
                notTransfer + "it has no CR LF line ends, only line feeds.");
        refusal("NUL after many good lines", head + QByteArray("a!1!!\r\n").repeated(100000) + "b!" + '\0' + "!!\r\n",
                notTransfer + "it holds a NUL byte.");
        refusal("a line beyond the limit", head + "a!1!!\r\n" + QByteArray(TransferLines::maxLineBytes + 1, 'x'),
                notTransfer + "line 5 is longer than 4 MiB.");
        refusal("ends before the type", "H\r\nKnight", "62: Input past end of file");
        // A named pipe would hold the program until someone wrote to it; /dev/zero never ends.
        const QString access = QStringLiteral("75: Path/File access error: '%1' (");
        refusal("named pipe", "<fifo>", access + "a named pipe, not a regular file)");
        refusal("device", "/dev/zero", access + "a device, not a regular file)");
        refusal("folder", "<folder>", access + "a folder, not a file)");
    }

    void importFile() {
        QFETCH(QByteArray, file);
        QFETCH(QString, failure);
        QFETCH(QStringList, parts);
        TestCatalogue catalogue(quotedColumns);
        QString path = catalogue.directory() + QStringLiteral("/in.lrx");
        if (file == "<fifo>")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (file == "<folder>")
            QVERIFY(QDir().mkdir(path));
        else if (file.startsWith("/dev/"))
            path = QString::fromLatin1(file);
        else
            writeFile(path, file);
        const QStringList before = everyRow(catalogue);
        const Failure f = failureOf([&] {
            Database db(catalogue.path());
            operations::importTransferFile(db, 1, path);
        });
        const QString result = f.number ? QString::number(f.number) + ": " + f.description : QStringLiteral("0");
        QVERIFY2(result.startsWith(QString(failure).replace("%1", QFileInfo(path).absoluteFilePath())),
                 qPrintable(result));
        if (failure != QLatin1String("0")) {
            QCOMPARE(everyRow(catalogue), before);
            return;
        }
        QCOMPARE(catalogue.rows("SELECT FigureName, FigureType FROM tblFigure"), QStringList{"Knight|Chess"});
        QCOMPARE(catalogue.rows("SELECT * FROM tblFigurePart"), parts);
    }

    // An identifier held by two rows (a converted or hand-made catalogue) would have every command change both;
    // each refuses instead, naming the rows, and so does one whose row has gone meanwhile (the window's tests
    // cover a category gone).
    void identifierMustNameOneRow_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<qint32>("id");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("expected");
        const QString twoFigures = "2 figures share the identifier 7 ('Horse', 'Pony'); nothing was changed. Give "
                                   "each its own identifier, then try again.";
        const QString twoCategories = "2 categories share the identifier 3 ('Animals', 'Toys'); nothing was changed. "
                                      "Give each its own identifier, then try again.";
        const auto row = [](const char* name, const char* command, qint32 id, const QString& expected) {
            QTest::newRow(name) << QString(command) << id
                                << int(expected.contains("share") ? failure::IdentifierNotUnique
                                                                  : failure::NoCurrentRecord)
                                << expected;
        };
        row("delete figure", "deleteFigure", 7, twoFigures);
        row("rename figure", "renameFigure", 7, twoFigures);
        row("move figure", "moveFigure", 7, twoFigures);
        row("rename category", "renameCategory", 3, twoCategories);
        row("delete category", "deleteCategory", 3, twoCategories);
        row("figure gone", "deleteFigure", 8,
            "The figure with identifier 8 is no longer in the catalogue; nothing was changed.");
        row("four figures, three named", "renameFigure", 9,
            "4 figures share the identifier 9 ('A', 'B', 'C', ...); nothing was changed. Give each its own "
            "identifier, then try again.");
    }

    void identifierMustNameOneRow() {
        QFETCH(QString, command);
        QFETCH(qint32, id);
        QFETCH(int, failure);
        QFETCH(QString, expected);
        TestCatalogue catalogue(looseTables +
                                    "INSERT INTO tblCategory VALUES (3, 'Animals'), (3, 'Toys'), (4, 'Empty');"
                                    "INSERT INTO tblFigure VALUES (7, 4, 'Horse', 'T'), (7, 4, 'Pony', 'T'),"
                                    " (9, 4, 'A', ''), (9, 4, 'B', ''), (9, 4, 'C', ''), (9, 4, 'D', '');"
                                    "INSERT INTO tblFigurePart VALUES (1, 7, 'Mane'), (2, 7, 'Hoof');",
                                false);
        const QStringList before = everyRow(catalogue);
        Database db(catalogue.path());
        const Failure f = failureOf([&] {
            if (command == "deleteFigure")
                operations::deleteFigure(db, id);
            else if (command == "renameFigure")
                operations::renameFigure(db, id, "New");
            else if (command == "moveFigure")
                operations::moveFigure(db, id, 3);
            else if (command == "renameCategory")
                operations::renameCategory(db, id, "New");
            else
                operations::deleteCategory(db, id);
        });
        QCOMPARE(f.number, failure);
        QCOMPARE(f.description, expected);
        QCOMPARE(everyRow(catalogue), before);
    }

    // A write the engine cannot make says why in words the user can act on, and leaves the catalogue as it was.
    void writeFailureNamesTheCause_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected"); // %1: the catalogue's folder
        const QString folder = "The folder '%1' is read-only; the catalogue needs it writable for its journal "
                               "(attempt to write a readonly database).";
        const auto row = [](const char* how, const char* command, int number, const QString& expected) {
            QTest::newRow(how) << QString(how) << QString(command) << number << expected;
        };
        row("read-only folder", "import", 1544, folder);
        row("read-only file", "rename", 8,
            "The catalogue file '%1/data.mdb' is read-only (attempt to write a readonly database).");
        row("journal", "rename", 2570,
            "The catalogue '%1/data.mdb' needs recovery after a crash, but its folder '%1' is read-only, so the "
            "journal the crash left ('%1/data.mdb-journal') cannot be played back and removed");
        // The engine's number for a full disk is also the program's type mismatch.
        row("full disk", "import", 75, "The disk is full: '%1/data.mdb' could not be written (");
        row("damaged part table", "import", 11, "The catalogue is damaged (database disk image is malformed; Page ");
    }

    void writeFailureNamesTheCause() {
        QFETCH(QString, how);
        QFETCH(QString, command);
        QFETCH(int, number);
        QFETCH(QString, expected);
        TestCatalogue catalogue(horseOf2000Parts);
        const QString file = catalogue.file("in.lrx", "H\r\nPony\r\nT\r\nMane!\r\n");
        const QStringList before = catalogue.rows("SELECT * FROM tblFigure");
        const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther;
        std::optional<TinyDisk> disk;
        const QFileDevice::Permissions writable =
            how == "read-only file" ? QFileDevice::Permissions()
                                    : QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        if (how == "journal")
            writeFile(catalogue.path() + "-journal", QByteArray(512, 'x'));
        if (how.startsWith("read-only") || how == "journal") {
            QFile::setPermissions(catalogue.path(), readOnly | writable);
            QFile::setPermissions(catalogue.path() + "-journal", readOnly | writable);
            QFile::setPermissions(catalogue.directory(), readOnly);
        } else if (how == "full disk") {
            const QByteArray content = fileContent(catalogue.path());
            disk.emplace(catalogue.directory(), "1m");
            if (!disk->mounted)
                QSKIP("mounting a small tmpfs needs root (or CAP_SYS_ADMIN)");
            writeFile(catalogue.path(), content);
            writeFile(file, "H\r\nPony\r\nT\r\nMane!\r\n");
            QFile filler(catalogue.directory() + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            filler.write(QByteArray(1 << 20, '\0')); // as much as fits
        } else {
            // The part table's root page, the first the import reads when it looks for the next identifier.
            const qint64 root =
                catalogue.value("SELECT rootpage FROM sqlite_master WHERE name = 'tblFigurePart'").toLongLong();
            const qint64 pageSize = catalogue.value("PRAGMA page_size").toLongLong();
            QFile file(catalogue.path());
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek((root - 1) * pageSize));
            file.write(QByteArray(16, '\xff'));
        }
        // Root passes every permission check, and the engine only tells a read-only folder from a read-only file
        // when the system refuses it the journal; for a while, file access is checked as for an ordinary user.
        if (geteuid() == 0 && (how.startsWith("read-only") || how == "journal"))
            setfsuid(65534);
        const Failure f = failureOf([&] {
            Database db(catalogue.path());
            if (command == "import")
                operations::importTransferFile(db, 1, file);
            else
                operations::renameFigure(db, 1, "Pony");
        });
        if (geteuid() == 0)
            setfsuid(0);
        QFile::setPermissions(catalogue.directory(), readOnly | QFileDevice::WriteOwner);
        QCOMPARE(f.number, number);
        QVERIFY2(f.description.startsWith(QString(expected).replace("%1", QDir(catalogue.directory()).absolutePath())),
                 qPrintable(f.description));
        QCOMPARE(catalogue.rows("SELECT * FROM tblFigure"), before);
    }

    // A figure exported and imported again arrives as it left; what cannot make the way back is refused, naming
    // why, before anything is written.
    void oddPartTables_data() {
        QTest::addColumn<QString>("parts");   // the part table and figure 1's parts
        QTest::addColumn<QByteArray>("file"); // imported; when empty, the export of figure 1
        QTest::addColumn<QString>("result");  // the parts imported, or the failure's start
        const QString noted = "CREATE TABLE tblFigurePart (FigurePartID INTEGER PRIMARY KEY, FigureID INTEGER, "
                              "FigurePartName TEXT, Note TEXT); INSERT INTO tblFigurePart VALUES (1, 1, 'Body', ";
        QTest::newRow("a generated column")
            << "CREATE TABLE tblFigurePart (FigurePartID INTEGER PRIMARY KEY, FigureID INTEGER, FigurePartName TEXT,"
               " Big TEXT AS (upper(FigurePartName)), Note TEXT); INSERT INTO tblFigurePart (FigurePartID, FigureID,"
               " FigurePartName, Note) VALUES (1, 1, 'Body', 'n')"
            << QByteArray() << "2|2|Body|BODY|n";
        const QString order = "3265: The part table must begin with the columns FigurePartID and FigureID, in this "
                              "order; it begins with 'FigurePartName', 'FigurePartID'.";
        const QString swapped = "CREATE TABLE tblFigurePart (FigurePartName TEXT, FigurePartID INTEGER, FigureID "
                                "INTEGER); INSERT INTO tblFigurePart VALUES ('Body', 1, 1)";
        QTest::newRow("identifiers not first, export") << swapped << QByteArray() << order;
        QTest::newRow("identifiers not first, import") << swapped << QByteArray("H\r\nN\r\nT\r\nBody!\r\n") << order;
        const QString refused = "3421: Figure 'Horse' cannot be exported: part number 1 ('Body') ";
        QTest::newRow("a line over 4 MiB") << noted + "replace(hex(zeroblob(2097152)), '0', 'x'))" << QByteArray()
                                           << refused + "would make a line longer than 4 MiB";
        QTest::newRow("a NUL") << noted + "'a' || char(0) || 'b')" << QByteArray() << refused + "holds a NUL byte";
    }

    void oddPartTables() {
        QFETCH(QString, parts);
        QFETCH(QByteArray, file);
        QFETCH(QString, result);
        TestCatalogue catalogue("DROP TABLE tblFigurePart; INSERT INTO tblCategory VALUES (1, 'Animals');"
                                "INSERT INTO tblFigure VALUES (1, 1, 'Horse', 'T');" +
                                parts);
        const QStringList before = everyRow(catalogue);
        const QString path = catalogue.directory() + QStringLiteral("/horse.lrx");
        Database db(catalogue.path());
        const Failure f = failureOf([&] {
            file.isEmpty() ? operations::exportFigureFile(db, 1, path) : writeFile(path, file);
            operations::importTransferFile(db, 1, path);
        });
        const QString got = f.number ? QString::number(f.number) + ": " + f.description
                                     : catalogue.rows("SELECT * FROM tblFigurePart WHERE FigureID = 2").join(',');
        QVERIFY2(got.startsWith(result), qPrintable(got.left(300)));
        if (f.number) {
            QCOMPARE(everyRow(catalogue), before);
            QCOMPARE(QFile::exists(path), !file.isEmpty());
        }
    }

    void typedPartColumns() {
        TestCatalogue catalogue("DROP TABLE tblFigurePart;"
                                "CREATE TABLE tblFigurePart (FigurePartID INTEGER PRIMARY KEY, FigureID INTEGER,"
                                " FigurePartName TEXT, AddedOn DATETIME, Painted BOOLEAN, Price NUMERIC,"
                                " Amount DECIMAL(10,2), Weight REAL);"
                                "INSERT INTO tblCategory VALUES (1, 'Animals');");
        const QString older =
            catalogue.file("older.lrx", "Lumaret Import/ Export file, created 01/02/99\r\nHorse\r\nQuadruped\r\n"
                                        "Hip!3/5/2024 1:04:09 PM!True!12.34!5!0.125!\r\n"
                                        "Man\xFF!12/30/1899!-1!-7!!!\r\n"
                                        "Tail!2024-01-05 00:00:00!False!!1.5!3!\r\n");
        Database db(catalogue.path());
        const qint32 horse = operations::importTransferFile(db, 1, older).figureId;
        QCOMPARE(partValues(catalogue, horse),
                 QStringList({"'Hip'|text:'2024-03-05 13:04:09'|integer:1|real:12.34|integer:5|real:0.125",
                              "'Man\u00FF'|text:'1899-12-30'|integer:1|integer:-7|null:NULL|null:NULL",
                              "'Tail'|text:'2024-01-05'|integer:0|null:NULL|real:1.5|real:3.0"}));
        const QString exported = catalogue.directory() + "/figure.lrx";
        operations::exportFigureFile(db, horse, exported);
        keepForFuzzing(exported);
        QCOMPARE(partValues(catalogue, operations::importTransferFile(db, 1, exported).figureId),
                 partValues(catalogue, horse));
    }
};

QTEST_GUILESS_MAIN(OperationsTest)
#include "tst_operations.moc"
