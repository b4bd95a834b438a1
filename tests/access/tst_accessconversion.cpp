// Access to SQLite conversion of the sample files: every cell against what mdb-export, an independent reader,
// prints; the values the samples stress; refusals that leave nothing behind; and the command-line tool.
#include "access/AccessConversion.h"
#include "access/TargetSchema.h"
#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"
#include "support/TestCatalogue.h"

#include <QtTest>
#include <sqlite3.h>

namespace {
const QString jetDir = QStringLiteral(LUMARET_FIXTURES_DIR "/jet");
const char* const sampleFiles[] = {"testV1997.mdb", "testV2000.mdb", "test2V2000.mdb", "delTestV2000.mdb",
                                   "catalogueV2000.mdb"};

#define REQUIRE_FIXTURES()                                                                                             \
    if (!QFileInfo::exists(jetDir + "/catalogueV2000.mdb"))                                                            \
        QSKIP("the Access sample files are not there (../shared/fixtures/jet beside the source tree)");
#define REQUIRE_MDBTOOLS()                                                                                             \
    if (QStandardPaths::findExecutable("mdb-export").isEmpty())                                                        \
        QSKIP("mdb-export (Debian package mdbtools) is not installed");

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C"); // mdb-export prints numbers through printf
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        qFatal("%s did not finish", qPrintable(program));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

struct Field {
    QByteArray bytes;
    bool quoted = false;
};

// mdb-export's CSV: fields quoted with doubled quotes inside, line breaks allowed within quotes, raw bytes for
// binary values. An empty unquoted field is null, or an empty text: it prints both alike.
QList<QList<Field>> parseCsv(const QByteArray& data) {
    QList<QList<Field>> rows;
    QList<Field> row;
    qsizetype i = 0;
    while (i < data.size()) {
        Field field;
        if (data[i] == '"') {
            field.quoted = true;
            for (++i; i < data.size(); ++i) {
                if (data[i] == '"' && (i + 1 >= data.size() || data[i + 1] != '"'))
                    break;
                if (data[i] == '"')
                    ++i;
                field.bytes += data[i];
            }
            ++i;
        } else {
            while (i < data.size() && data[i] != ',' && data[i] != '\n')
                field.bytes += data[i++];
        }
        row.append(field);
        if (i >= data.size() || data[i] == '\n') {
            rows.append(row);
            row.clear();
        }
        ++i;
    }
    return rows;
}

using StoredRow = QList<QPair<int, QByteArray>>; // storage class and value of each column

// Each stored value of a table with its storage class, rows in key order (which is insertion order without a key).
QList<StoredRow> valuesOf(const QString& path, const QString& table) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        qFatal("cannot open %s", qPrintable(path));
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, ("SELECT * FROM " + quotedIdentifier(table) + " ORDER BY rowid").toUtf8(), -1, &statement,
                       nullptr);
    QList<StoredRow> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        rows.append(StoredRow());
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const int type = sqlite3_column_type(statement, i);
            const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, i));
            rows.last().append({type, type == SQLITE_FLOAT
                                          ? QByteArray::number(sqlite3_column_double(statement, i), 'g', 17)
                                          : QByteArray(data, sqlite3_column_bytes(statement, i))});
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// Empty when the stored value is what mdb-export printed, else what is wrong. Its forms: integers and yes/no
// (1 or 0) bare; doubles as printf's %.16g; currency with four decimals; dates as YYYY-MM-DD HH:MM:SS, where this
// program leaves out a midnight time; text, dates and binary quoted.
QString mismatch(const QString& type, const QPair<int, QByteArray>& stored, const Field& printed) {
    const auto [storage, bytes] = stored;
    const bool textual = type == "TEXT" || type == "DATETIME" || type == "BLOB";
    if (printed.bytes.isEmpty() && !printed.quoted)
        return storage == SQLITE_NULL || (type == "TEXT" && storage == SQLITE_TEXT && bytes.isEmpty())
                   ? QString()
                   : "printed as null but stored " + bytes;
    if (printed.quoted != textual)
        return QStringLiteral("quoted %1 for a %2 column").arg(printed.quoted).arg(type);
    QByteArray expected = printed.bytes;
    int wantedStorage = SQLITE_TEXT;
    QByteArray shown = bytes;
    if (type == "INTEGER" || type == "BOOLEAN") {
        wantedStorage = SQLITE_INTEGER;
    } else if (type == "REAL") {
        wantedStorage = SQLITE_FLOAT;
        shown = QString::asprintf("%.16g", bytes.toDouble()).toUtf8();
    } else if (type == "NUMERIC") {
        wantedStorage = storage == SQLITE_INTEGER ? SQLITE_INTEGER : SQLITE_FLOAT;
        const qsizetype point = expected.indexOf('.');
        shown = QByteArray::number(bytes.toDouble(), 'f', point < 0 ? 0 : int(expected.size() - point - 1));
    } else if (type == "DATETIME" && expected.endsWith(" 00:00:00")) {
        expected.chop(9);
    } else if (type == "BLOB") {
        wantedStorage = SQLITE_BLOB;
    }
    if (storage != wantedStorage)
        return QStringLiteral("storage class %1 for a %2 column").arg(storage).arg(type);
    return shown == expected ? QString() : "stored " + shown + " but printed " + expected;
}

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

    void everyCellAsTheIndependentReaderPrintsIt_data() {
        QTest::addColumn<QString>("file");
        for (const char* file : sampleFiles)
            QTest::newRow(file) << file;
    }

    void everyCellAsTheIndependentReaderPrintsIt() {
        REQUIRE_FIXTURES();
        REQUIRE_MDBTOOLS();
        QFETCH(QString, file);
        const QString source = jetDir + '/' + file;
        const QString target = converted(file);
        const QStringList tables =
            QString::fromUtf8(run("mdb-tables", {"-1", source}).out).split('\n', Qt::SkipEmptyParts);
        QVERIFY(!tables.isEmpty());
        QCOMPARE(rowsOf(target, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"), tables);
        for (const QString& table : tables) {
            const Run exported = run("mdb-export", {"-D", "%Y-%m-%d", "-T", "%Y-%m-%d %H:%M:%S", source, table});
            QCOMPARE(exported.exitCode, 0);
            QList<QList<Field>> printed = parseCsv(exported.out);
            QStringList header;
            for (const Field& field : printed.takeFirst())
                header << QString::fromUtf8(field.bytes);
            const QStringList columns =
                rowsOf(target, "SELECT name || '|' || type || '|' || pk FROM pragma_table_info(" +
                                   QString(quotedIdentifier(table)).replace('"', '\'') + ")");
            QCOMPARE(columns.size(), header.size());
            for (int c = 0; c < columns.size(); ++c) {
                QCOMPARE(columns[c].section('|', 0, 0), header[c]);
                if (columns[c].section('|', 2) == "1") // rows of a keyed table come back in key order
                    std::stable_sort(printed.begin(), printed.end(), [c](const auto& a, const auto& b) {
                        return a[c].bytes.toLongLong() < b[c].bytes.toLongLong();
                    });
            }
            const auto stored = valuesOf(target, table);
            QCOMPARE(stored.size(), printed.size());
            for (int r = 0; r < stored.size(); ++r)
                for (int c = 0; c < columns.size(); ++c) {
                    const QString wrong = mismatch(columns[c].section('|', 1, 1), stored[r][c], printed[r][c]);
                    if (!wrong.isEmpty())
                        QFAIL(qPrintable(
                            QStringLiteral("%1 row %2 column %3: %4").arg(table).arg(r + 1).arg(header[c], wrong)));
                }
        }
    }

    void storedValues_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        const QString catalogue = "catalogueV2000.mdb";
        const QString part = "SELECT %1 FROM tblFigurePart WHERE FigurePartID = %2";
        QTest::newRow("memo of 3,013 characters whole")
            << catalogue << part.arg("length(Notes), substr(Notes, 1, 13), substr(Notes, 3013)", "102")
            << QStringList{"3013|A long note: |x"};
        QTest::newRow("date before 1900") << catalogue << part.arg("AddedOn", "103") << QStringList{"1899-12-30"};
        QTest::newRow("null and empty text kept apart") // mdb-export prints both alike
            << catalogue << part.arg("FigurePartID, quote(\"Part Colour\"), quote(Notes)", "101 OR FigurePartID = 103")
            << QStringList{"101|NULL|NULL", "103|'silver'|''"};
        QTest::newRow("accented name in UTF-8")
            << catalogue << "SELECT FigureID, hex(FigureName) FROM tblFigure WHERE FigureName = 'Café Zebra'"
            << QStringList{"11|436166C3A9205A65627261"};
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
        QTest::newRow("deleted rows left out") << "delTestV2000.mdb"
                                               << "SELECT * FROM \"Table\"" << QStringList{"z|y", "v|u"};
    }

    void storedValues() {
        REQUIRE_FIXTURES();
        QFETCH(QString, file);
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        QCOMPARE(rowsOf(converted(file), sql), expected);
    }

    // The program opens a converted catalogue as one made from its own schema: same keys, NOT NULLs and indexes.
    void catalogueTablesGetTheSchemasKeysAndIndexes() {
        REQUIRE_FIXTURES();
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
        REQUIRE_FIXTURES();
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
        REQUIRE_FIXTURES();
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
        REQUIRE_FIXTURES();
        QFETCH(bool, targetExists);
        QFETCH(QStringList, said);
        QTemporaryDir dir;
        const QString target = dir.filePath("data.mdb");
        if (targetExists)
            writeFile(target, "keep");
        const Run result = run(LUMARET_CONVERT_TOOL, {jetDir + "/catalogueV2000.mdb", target});
        const QString output = QString::fromUtf8(result.out + result.err).simplified();
        QCOMPARE(result.exitCode, targetExists ? 1 : 0);
        for (const QString& words : said)
            QVERIFY2(output.contains(words), qPrintable(output));
        if (targetExists)
            QCOMPARE(fileContent(target), QByteArray("keep"));
        else
            QCOMPARE(rowsOf(target, "SELECT count(*) FROM tblFigurePart"), QStringList{"505"});
    }
};

QTEST_GUILESS_MAIN(AccessConversionTest)
#include "tst_accessconversion.moc"
