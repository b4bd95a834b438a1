// Access to SQLite conversion: every row of the sample files against what the independent checker reads; the
// values the samples stress; the value forms and the catalogue check on what the samples do not hold; refusals
// that leave nothing behind; and the command-line tool.
#include "access/AccessConversion.h"
#include "access/TargetSchema.h"
#include "access/jet/JetValues.h"
#include "access/jet/RowCodec.h"
#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"
#include "support/AccessCheck.h"
#include "support/TestCatalogue.h"

#include <QtTest>

namespace {
const QString jetDir = QStringLiteral(JET_FIXTURES);
const char* const sampleFiles[] = {"testV1997.mdb", "testV2000.mdb", "test2V2000.mdb", "delTestV2000.mdb",
                                   "catalogueV2000.mdb"};

} // namespace

class AccessConversionTest : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    QMap<QString, QString> convertedFiles;

    QString converted(const QString& file) const { return convertedFiles.value(file); }

private slots:
    // Each sample file converted once, without the catalogue check, for the tests that read the result.
    void initTestCase() {
        if (!QFileInfo::exists(jetDir))
            return;
        for (const char* file : sampleFiles) {
            const QString target = work.filePath(QString(file) + ".sqlite");
            const Failure f = failureOf([&] { convertAccessFile(jetDir + '/' + file, target, false); });
            QVERIFY2(f.number == 0, qPrintable(QStringLiteral("%1: %2 %3").arg(file).arg(f.number).arg(f.description)));
            convertedFiles[file] = target;
        }
    }

    void everyRowAsTheCheckerReadsIt_data() {
        QTest::addColumn<QString>("file");
        for (const char* file : sampleFiles)
            QTest::newRow(file) << file;
    }

    void everyRowAsTheCheckerReadsIt() {
        REQUIRE_ACCESS_TOOLS();
        QFETCH(QString, file);
        const QString source = jetDir + '/' + file;
        const QStringList tables = accesscheck::tables(source);
        QVERIFY(!tables.isEmpty());
        QCOMPARE(rowsOf(converted(file), "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"), tables);
        for (const QString& table : tables)
            QCOMPARE(accesscheck::storedRows(converted(file), table), accesscheck::dumped(source, table));
    }

    // What the checker's text cannot show: storage classes, declared types, the names' collation.
    void storedValues_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        const QString catalogue = "catalogueV2000.mdb";
        QTest::newRow("identifier 40000 and its parts")
            << catalogue
            << "SELECT typeof(FigureID), FigureID, (SELECT count(*) FROM tblFigurePart p WHERE "
               "p.FigureID = f.FigureID) FROM tblFigure f WHERE FigureName = 'Lancelot'"
            << QStringList{"integer|40000|1"};
        QTest::newRow("currency as numbers")
            << catalogue << "SELECT typeof(Price), Price FROM tblFigurePart WHERE FigurePartID IN (100, 103, 104)"
            << QStringList{"real|12.5", "integer|-7", "real|0.01"};
        QTest::newRow("names compare without regard to case")
            << catalogue << "SELECT CategoryID FROM tblCategory WHERE CategoryName = 'APPLE'" << QStringList{"7"};
        QTest::newRow("declared types follow the Access types")
            << "testV2000.mdb"
            << "SELECT group_concat(name || ' ' || type, ', ') FROM pragma_table_info('Table1')"
            << QStringList{"A TEXT, B TEXT, C INTEGER, D INTEGER, E INTEGER, F REAL, G DATETIME, H NUMERIC, I BOOLEAN"};
    }

    void storedValues() {
        REQUIRE_JET_FIXTURES();
        QFETCH(QString, file);
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        QCOMPARE(rowsOf(converted(file), sql), expected);
    }

    // The program opens a converted catalogue as one made from its own schema: same keys, NOT NULLs and indexes.
    void catalogueTablesGetTheSchemasKeysAndIndexes() {
        REQUIRE_JET_FIXTURES();
        const TestCatalogue fromSchema;
        const QString target = converted("catalogueV2000.mdb");
        for (const QString table : {"tblCategory", "tblFigure", "tblFigurePart"}) {
            const QString columns =
                "SELECT name, type, \"notnull\", pk FROM pragma_table_info('%1') WHERE name IN (%2)";
            const QString indexes = "SELECT i.name, group_concat(c.name) FROM pragma_index_list('%1') i, "
                                    "pragma_index_info(i.name) c GROUP BY i.name";
            const QStringList schemaColumns = fromSchema.rows(columns.arg(table, "name"));
            QStringList names;
            for (const QString& row : schemaColumns)
                names << '\'' + row.section('|', 0, 0) + '\'';
            QCOMPARE(rowsOf(target, columns.arg(table, names.join(','))), schemaColumns);
            QCOMPARE(rowsOf(target, indexes.arg(table)), fromSchema.rows(indexes.arg(table)));
        }
    }

    void failuresLeaveNoFileBehind_data() {
        QTest::addColumn<QByteArray>("source"); // a sample file's name, or the bytes of a file made for the test
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("named");
        QByteArray ace(16384, '\0');
        ace.replace(4, 15, "Standard ACE DB");
        QTest::newRow("not a catalogue") << QByteArray("testV1997.mdb") << false << int(failure::NoSuchTable)
                                         << QStringList{"tblCategory", "tblFigure", "tblFigurePart"};
        QTest::newRow("unreadable ACE file")
            << ace << false << int(failure::UnrecognizedFormat) << QStringList{"cannot be read"};
        QTest::newRow("not an Access file")
            << QByteArray("SQLite format 3") << false << int(failure::UnrecognizedFormat)
            << QStringList{"not an Access database"};
        QTest::newRow("cancelled while writing")
            << QByteArray("catalogueV2000.mdb") << false << int(failure::Cancelled) << QStringList{"stop"};
        QTest::newRow("target already there") << QByteArray("catalogueV2000.mdb") << true
                                              << int(failure::FileAlreadyExists) << QStringList{"never overwritten"};
    }

    void failuresLeaveNoFileBehind() {
        REQUIRE_JET_FIXTURES();
        QFETCH(QByteArray, source);
        QFETCH(bool, targetExists);
        QFETCH(int, number);
        QFETCH(QStringList, named);
        QTemporaryDir dir;
        QString sourcePath = jetDir + '/' + QString::fromLatin1(source);
        if (!source.endsWith(".mdb")) {
            sourcePath = dir.filePath("made.mdb");
            writeFile(sourcePath, source);
        }
        const QString target = dir.filePath("data.mdb");
        if (targetExists)
            writeFile(target, "keep");
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        const auto stopAtParts = [](const ConversionProgress& p) {
            if (p.table == "tblFigurePart") // two tables are written by now
                throw Failure(failure::Cancelled, "stop");
        };
        const Failure f = failureOf([&] { convertAccessFile(sourcePath, target, true, stopAtParts); });
        QCOMPARE(f.number, number);
        for (const QString& name : named)
            QVERIFY2(f.description.contains(name), qPrintable(f.description));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
        if (targetExists)
            QCOMPARE(fileContent(target), QByteArray("keep"));
    }

    void progressReportsEachTablesStartAndEnd() {
        REQUIRE_JET_FIXTURES();
        QTemporaryDir dir;
        QStringList reports;
        convertAccessFile(
            jetDir + "/catalogueV2000.mdb", dir.filePath("data.mdb"), true, [&](const ConversionProgress& p) {
                reports
                    << QStringLiteral("%1/%2 %3 %4").arg(p.tablesDone).arg(p.tableCount).arg(p.table).arg(p.rowsDone);
            });
        QCOMPARE(reports, QStringList({"0/3 tblCategory 0", "1/3 tblCategory 4", "1/3 tblFigure 0", "2/3 tblFigure 4",
                                       "2/3 tblFigurePart 0", "3/3 tblFigurePart 505"}));
    }

    void tool_data() {
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<QStringList>("said"); // standard output and error, spaces run together
        QTest::newRow("summary") << false
                                 << QStringList{"tblCategory 4 rows", "tblFigure 4 rows", "tblFigurePart 505 rows"};
        QTest::newRow("never overwrites") << true << QStringList{"already exists", "never overwritten"};
    }

    void tool() {
        REQUIRE_JET_FIXTURES();
        QFETCH(bool, targetExists);
        QFETCH(QStringList, said);
        QTemporaryDir dir;
        const QString target = dir.filePath("data.mdb");
        if (targetExists)
            writeFile(target, "keep");
        const Ran result = runProgram(LUMARET_CONVERT_TOOL, {jetDir + "/catalogueV2000.mdb", target});
        const QString output = (result.out + result.err).simplified();
        QCOMPARE(result.exitCode, targetExists ? 1 : 0);
        for (const QString& words : said)
            QVERIFY2(output.contains(words), qPrintable(output));
        if (targetExists)
            QCOMPARE(fileContent(target), QByteArray("keep"));
        else
            QCOMPARE(rowsOf(target, "SELECT count(*) FROM tblFigurePart"), QStringList{"505"});
    }

    // The samples hold no date far from 1900, so the decoding is checked on its own, at the ends of Access's range.
    void dateTimeText_data() {
        QTest::addColumn<double>("days");
        QTest::addColumn<QString>("text");
        QTest::newRow("before day zero the time still counts forwards") << -1.25 << "1899-12-29 06:00:00";
        QTest::newRow("just under a day rounds to midnight") << 36525.9999999 << "2000-01-01";
        QTest::newRow("first Access day") << -657434.0 << "0100-01-01";
        QTest::newRow("last Access second") << 2958465.0 + 86399.0 / 86400 << "9999-12-31 23:59:59";
        QTest::newRow("before the year 100") << -657435.0 << "";
        QTest::newRow("not a number") << std::nan("") << "";
    }

    void dateTimeText() {
        QFETCH(double, days);
        QFETCH(QString, text);
        QCOMPARE(jet::dateTimeText(days).value_or(QString()), text);
    }

    void currencyText_data() {
        QTest::addColumn<qint64>("tenThousandths");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("below one") << qint64(-1) << QByteArray("-0.0001");
        QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << QByteArray("-922337203685477.5808");
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << QByteArray("922337203685477.5807");
    }

    void currencyText() {
        QFETCH(qint64, tenThousandths);
        QFETCH(QByteArray, text);
        QCOMPARE(jet::currencyText(tenThousandths), text);
    }

    // Texts reach the working copy as UTF-8 straight from the page bytes; the QString decoding is the reference.
    // Random texts of the pieces that matter: the compressed mark, the 0x00 toggles, surrogates alone and paired,
    // odd lengths. Where the shortcut gives up, the caller takes the QString.
    void pageTextAsUtf8() {
        const QList<QByteArray> pieces = {"\xFF\xFE",
                                          QByteArray(1, 0),
                                          "A",
                                          "\xE9",
                                          "\xAC\x20",
                                          "\x3D\xD8",
                                          QByteArray("\x00\xDE", 2),
                                          QByteArray("\x1E\xDD\x34\xD8", 4)};
        QRandomGenerator random(18);
        for (int n = 0; n < 20000; ++n) {
            QByteArray bytes;
            for (int k = random.bounded(10); k > 0; --k)
                bytes += pieces[random.bounded(pieces.size())];
            std::string fast;
            if (jet::appendTextUtf8(bytes, fast))
                QCOMPARE(QByteArray::fromStdString(fast), jet::decodeText(bytes).toUtf8());
        }
    }

    void catalogueCheckNamesWhatIsMissing_data() {
        QTest::addColumn<QList<TableDefinition>>("tables");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("named");
        const auto text = [](const QStringList& names) {
            QList<JetColumn> columns;
            for (const QString& name : names)
                columns.append({name, JetKind::Text});
            return columns;
        };
        const TableDefinition category{"TBLCATEGORY", text({"categoryid", "CategoryName"})};
        const TableDefinition figure{"tblFigure", text({"FigureID", "CategoryID", "FigureName", "FigureType"})};
        const TableDefinition part{"tblFigurePart", text({"FigurePartID", "FigureID", "FigurePartName", "Extra"})};
        QTest::newRow("all there, whatever the case") << QList<TableDefinition>{category, figure, part} << 0 << "";
        QTest::newRow("columns missing")
            << QList<TableDefinition>{category, {"tblFigure", text({"FigureID", "FigureName"})}, {"tblFigurePart", {}}}
            << int(failure::ItemNotFound)
            << "it lacks columns CategoryID in tblFigure, FigureType in tblFigure, FigurePartID in tblFigurePart, "
               "FigureID in tblFigurePart, FigurePartName in tblFigurePart.";
    }

    void catalogueCheckNamesWhatIsMissing() {
        QFETCH(QList<TableDefinition>, tables);
        QFETCH(int, number);
        QFETCH(QString, named);
        const Failure f = failureOf([&] { requireCatalogue(tables, "old.mdb"); });
        QCOMPARE(f.number, number);
        QVERIFY2(f.description.contains(named), qPrintable(f.description));
    }
};

QTEST_GUILESS_MAIN(AccessConversionTest)
#include "tst_accessconversion.moc"
