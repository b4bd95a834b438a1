// lumaret-transfer run as a script runs it: what it prints, its exit code, and what it leaves in the catalogue
// and on disk, beside what the main window's buttons do on a copy of the same catalogue.
#include "app/frmLumaret.h"
#include "catalogue/Database.h"
#include "dialogs/EntryList.h"
#include "dialogs/FileDialog.h"
#include "dialogs/frmMsgBox.h"
#include "operations/FigureExport.h"
#include "support/TestCatalogue.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {
Ran transfer(const QStringList& arguments, const QString& in = {}, const QString& out = {}) {
    return runProgram(QStringLiteral(LUMARET_TRANSFER), arguments, in, out);
}

QByteArray transferContent(const QString& catalogue, qint32 figureId) {
    Database db(catalogue);
    return operations::figureTransferContent(db, figureId);
}

// The sample, with a second knight under another case and blanks, and names that make poor file names or lines.
const QString extras = QStringLiteral("INSERT INTO tblFigure VALUES (11, 2, 'knight ', 'Standing'), "
                                      "(12, 1, 'dragon', 'Small'), (13, 1, 'Cat/Dog', 'Odd'), "
                                      "(14, 5, ' Oak' || char(9) || 'tree', 'Tree'), "
                                      "(15, 5, 'a\\b' || char(13, 10, 27) || '[31m', 'Tree');"
                                      "INSERT INTO tblCategory VALUES (7, 'Éclair'), (8, 'eagle'), (9, 'fig');"
                                      "INSERT INTO tblFigurePart VALUES (40, 12, 'Body'), (41, 14, 'Trunk');");
} // namespace

class LumaretTransferTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void listsAsTheListsShow() {
        TestCatalogue catalogue(TestCatalogue::sampleSql() + extras);
        const Ran categories = transfer({"--catalogue", catalogue.path(), "list"});
        QCOMPARE(categories.exitCode, 0);
        // Case aside for every letter, and accented letters beside their base letters.
        QCOMPARE(categories.out, "1\t6\tAnimals\n3\t2\tBuildings\n8\t0\teagle\n7\t0\tÉclair\n9\t0\tfig\n2\t4\tKnights\n"
                                 "5\t2\tPlants\n4\t1\tVehicles\n");
        const Ran plants = transfer({"--catalogue", catalogue.path(), "list", "PLANTS"});
        QCOMPARE(plants.out, "14\t1\tOak\\ttree\n15\t0\ta\\\\b\\r\\n\\x1b[31m\n");
        // A list cut short must not pass for a whole one.
        const Ran full = transfer({"--catalogue", catalogue.path(), "list"}, {}, "/dev/full");
        QCOMPARE(full.exitCode, 1);
        QCOMPARE(full.err, "lumaret-transfer: standard output could not be written (No space left on device).\n");
        QVERIFY(QRegularExpression("^lumaret-transfer \\d+\\.\\d+\\.\\d+\n$")
                    .match(transfer({"--version"}).out)
                    .hasMatch());
    }

    void exportWritesWhatTheButtonWrites_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<qint32>("figureId");
        QTest::addColumn<bool>("existing");
        QTest::newRow("case and blanks aside") << QStringList{"  knights", "MOUNTED KNIGHT "} << 6 << false;
        QTest::newRow("a tab is part of the name") << QStringList{"Plants", "Oak\ttree"} << 14 << false;
        QTest::newRow("over a file, with --force") << QStringList{"Animals", "Horse"} << 1 << true;
        QTest::newRow("to standard output") << QStringList{"Animals", "Owl", "-"} << 4 << false;
    }
    void exportWritesWhatTheButtonWrites() {
        QFETCH(QStringList, names);
        QFETCH(qint32, figureId);
        QFETCH(bool, existing);
        TestCatalogue catalogue(TestCatalogue::sampleSql() + extras);
        const QString path = catalogue.directory() + "/out.lrx";
        if (existing)
            writeFile(path, QByteArray(500, 'x'));
        const bool toStandardOutput = names.size() == 3;
        QStringList arguments{"--catalogue", catalogue.path(), "export",
                              names[0],      names[1],         toStandardOutput ? names[2] : path};
        if (existing)
            arguments << "--force";
        const Ran ran = transfer(arguments, {}, toStandardOutput ? path : QString());
        QCOMPARE(ran.err, QString());
        QCOMPARE(ran.exitCode, 0);
        QCOMPARE(fileContent(path), transferContent(catalogue.path(), figureId));
    }

    // The same file imported by the button into one copy of a catalogue and by the companion into another.
    void importAddsWhatTheButtonAdds_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("printed");
        QTest::newRow("a new name") << QByteArray("H\r\nUnicorn\r\nMythical\r\nHorn!\r\nBody!\r\n") << "11\tUnicorn\n";
        QTest::newRow("a name taken, case aside")
            << QByteArray("H\r\nHORSE\r\nQuadruped\r\nBody!\r\n") << "11\tHORSE (imported)\n";
        QTest::newRow("from standard input") << QByteArray("H\r\nUnicorn\r\nMythical\r\nHorn!\r\n") << "-11\tUnicorn\n";
    }
    void importAddsWhatTheButtonAdds() {
        QFETCH(QByteArray, file);
        QFETCH(QString, printed);
        TestCatalogue byButton(TestCatalogue::sampleSql());
        TestCatalogue byCompanion(TestCatalogue::sampleSql());
        const QString path = byButton.file("in.lrx", file);

        START_PROGRAM(window, byButton);
        QCOMPARE(ui(window).cboCategory->Text(), QStringLiteral("Animals"));
        FileDialog::setNextFileName(path);
        frmMsgBox::setNextAnswer(msgbox::Ok);
        ui(window).cmdImport->click();
        QCOMPARE(frmMsgBox::takeShown().size(), 1);

        const bool fromStandardInput = printed.startsWith('-');
        const Ran ran =
            transfer({"--catalogue", byCompanion.path(), "import", fromStandardInput ? "-" : path, "animals"},
                     fromStandardInput ? path : QString(), {});
        printed.remove(QRegularExpression("^-"));
        QCOMPARE(ran.exitCode, 0);
        QCOMPARE(ran.out, printed);
        QCOMPARE(everyRow(byCompanion), everyRow(byButton));
    }

    void exportAllWritesOneFilePerFigure_data() {
        QTest::addColumn<QString>("into");   // below the test's folder
        QTest::addColumn<QString>("copies"); // a hidden folder of copies left behind by a run that was killed
        QTest::newRow("into a folder there") << QString() << QString();
        QTest::newRow("into folders it makes") << "new/sub" << QString();
        QTest::newRow("past copies of a killed run") << QString() << ".lumaret-transfer-999999999-AbC123";
        QTest::newRow("past copies of an older run") << QString() << ".lumaret-transfer-AbC123";
    }
    void exportAllWritesOneFilePerFigure() {
        QFETCH(QString, into);
        QFETCH(QString, copies);
        TestCatalogue catalogue(TestCatalogue::sampleSql() + extras);
        const QTemporaryDir top;
        const QString folder = top.filePath(into);
        if (!copies.isEmpty()) {
            QVERIFY(QDir(folder).mkpath(copies));
            writeFile(folder + "/" + copies + "/Horse.lrx", "half");
        }
        if (into.isEmpty())
            writeFile(folder + "/Horse.lrx", "older");
        const Ran ran = transfer({"--catalogue", catalogue.path(), "export-all", "Animals", folder, "--force"});
        QCOMPARE(ran.err, QString());
        QCOMPARE(ran.exitCode, 0);
        // Names that would share a file, case aside, each get their identifier; "/" cannot be in a file name.
        const QMap<QString, qint32> expected{{"Cat_Dog.lrx", 13}, {"Dragon (3).lrx", 3}, {"dragon (12).lrx", 12},
                                             {"Eagle.lrx", 2},    {"Horse.lrx", 1},      {"Owl.lrx", 4}};
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                 QStringList(expected.keys()));
        for (auto file = expected.begin(); file != expected.end(); ++file)
            QCOMPARE(fileContent(folder + "/" + file.key()), transferContent(catalogue.path(), file.value()));
        QCOMPARE(ran.out.count('\n'), 6);
    }

    // On a disk too small for one of the figures: without --keep-going nothing is written; with it every other
    // figure is, and the one left out is named with the file it would have been, not a hidden copy's. The user is
    // told that the disk is full rather than that something unknown went wrong (the Export button writes its file
    // the same way).
    void exportAllOntoAFullDisk_data() {
        QTest::addColumn<bool>("keepGoing");
        QTest::newRow("stops") << false;
        QTest::newRow("keeps going") << true;
    }
    void exportAllOntoAFullDisk() {
        QFETCH(bool, keepGoing);
        TestCatalogue catalogue(TestCatalogue::sampleSql() +
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                                "INSERT INTO tblFigurePart SELECT 100 + i, 1, printf('%0100d', i) FROM n;");
        TinyDisk disk(catalogue.directory() + "/tiny");
        if (!disk.mounted)
            QSKIP("mounting a small tmpfs needs root (or CAP_SYS_ADMIN); nothing else fills a disk on demand");
        QStringList arguments{"--catalogue", catalogue.path(), "export-all", "Animals", disk.path};
        if (keepGoing)
            arguments << "--keep-going";
        const Ran ran = transfer(arguments);
        QCOMPARE(ran.exitCode, 1);
        const QString horse = disk.path + "/Horse.lrx";
        QVERIFY2(ran.err.contains("75: 'The disk is full: '" + horse + "' could not be written"), qPrintable(ran.err));
        const QStringList others{"Dragon.lrx", "Eagle.lrx", "Owl.lrx"};
        QCOMPARE(QDir(disk.path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                 keepGoing ? others : QStringList());
        QCOMPARE(ran.out.count('\n'), keepGoing ? 3 : 0);
        if (keepGoing)
            QVERIFY2(ran.err.startsWith("lumaret-transfer: not written: " + horse + ": An error, 75"),
                     qPrintable(ran.err));
    }

    // A run stopped while it writes removes its hidden folder of copies and adds no file.
    void exportAllStoppedLeavesNothing() {
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (1, 'Many');"
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
                                "INSERT INTO tblFigure SELECT i, 1, 'F' || i, 'T' FROM n;");
        const QTemporaryDir folder;
        QProcess process;
        process.start(QStringLiteral(LUMARET_TRANSFER),
                      {"--catalogue", catalogue.path(), "export-all", "Many", folder.path()});
        QDeadlineTimer deadline(30000);
        while (QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) &&
               process.state() != QProcess::NotRunning && !deadline.hasExpired())
            QThread::msleep(1);
        process.terminate();
        QVERIFY(process.waitForFinished(30000));
        if (process.exitStatus() == QProcess::NormalExit)
            QSKIP("the export was done before it could be stopped");
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    // Each refusal and failure: a clear sentence on standard error, a non-zero exit, and nothing written.
    void failsAndWritesNothing_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("arguments"); // after the catalogue; "@" stands for the folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("sentence");
        const QString error = QStringLiteral("lumaret-transfer: An error, ");
        const auto row = [&](const char* name, QStringList arguments, QString sentence, QString change = {},
                             int exitCode = 1) {
            QTest::newRow(name) << change << arguments << exitCode
                                << (exitCode == 1 ? error : QStringLiteral("lumaret-transfer: ")) + sentence;
        };
        row("no such category", {"export", "Nowhere", "Horse", "@/out.lrx"},
            "3265: 'Item not found in this collection: there is no category 'Nowhere'.' has occurred.\n");
        row("no such figure", {"export", "Animals", "Unicorn", "@/out.lrx"},
            "3265: 'Item not found in this collection: there is no figure 'Unicorn' in category 'Animals'.'");
        row("two figures of that name", {"export", "Knights", "KNIGHT", "@/out.lrx"},
            "457: 'More than one figure is named 'KNIGHT' in category 'Knights' (identifiers 5 and 11)");
        row("two categories of that name", {"list", "animals"},
            "457: 'More than one category is named 'animals' (identifiers 1 and 6)",
            "INSERT INTO tblCategory VALUES (6, ' ANIMALS')");
        row("a bad transfer file", {"import", "@/bad.lrx", "Animals"}, "62: 'Input past end of file'");
        row("export over a file", {"export", "Animals", "Horse", "@/Horse.lrx"}, "58: 'File already exists: '");
        row("export-all over a file", {"export-all", "Animals", "@"}, "58: 'File already exists: '");
        row("export-all of a figure no file can carry", {"export-all", "Animals", "@", "--force"},
            "3421: 'Figure 'Owl' cannot be exported: its type holds a line break",
            "UPDATE tblFigure SET FigureType='a' || char(10) WHERE FigureID=4");
        row("export-all into a file", {"export-all", "Animals", "@/Horse.lrx/sub"}, "75: 'Path/File access error: ");
        row("import through a file", {"import", "@/Horse.lrx/in.lrx", "Animals"},
            "75: 'Path/File access error: '@/Horse.lrx/in.lrx' ('@/Horse.lrx' on its way is a file, not a folder)'");
        row("a part that is binary data", {"export", "Animals", "Horse", "@/out.lrx"},
            "3421: 'Figure 'Horse' cannot be exported: part number 2 holds binary data (3 bytes), which",
            "UPDATE tblFigurePart SET FigurePartName = x'ff00fe' WHERE FigurePartID = 2");
        // An identifier as a hand-made table may hold it (the window's lists read it alike).
        row("a category identifier that is text", {"list"},
            "13: 'Type mismatch: in table 'tblCategory', the row 'Plants' holds 'zz' in column 'CategoryID', which "
            "takes only whole-number identifiers. Correct that row, then try again.'",
            "CREATE TABLE t AS SELECT * FROM tblCategory; DROP TABLE tblCategory; ALTER TABLE t RENAME TO "
            "tblCategory; UPDATE tblCategory SET CategoryID = 'zz' WHERE CategoryID = 5");
        row("unknown command", {"remove", "Animals"}, "unknown command 'remove'.", {}, 2);
        row("too few arguments", {"export", "Animals", "Horse"}, "wrong number of arguments for 'export'.", {}, 2);
    }
    void failsAndWritesNothing() {
        QFETCH(QString, change);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, sentence);
        TestCatalogue catalogue(TestCatalogue::sampleSql() + extras + change);
        const QTemporaryDir folder;
        writeFile(folder.filePath("Horse.lrx"), "kept");
        writeFile(folder.filePath("bad.lrx"), "H\r\nN\r\n");
        const QStringList before = everyRow(catalogue) + folderContent(folder.path());
        arguments.replaceInStrings(QRegularExpression("^@"), folder.path());
        sentence.replace('@', folder.path());

        const Ran ran = transfer(QStringList{"--catalogue", catalogue.path()} + arguments);

        QCOMPARE(ran.exitCode, exitCode);
        QVERIFY2(ran.err.startsWith(sentence), qPrintable(ran.err));
        QCOMPARE(ran.out, QString());
        QCOMPARE(everyRow(catalogue) + folderContent(folder.path()), before);
    }

    // Without --catalogue the companion finds the catalogue as the program does (whose test tries every place and
    // order): here none, which it never makes, then one beside it.
    void findsTheCatalogue() {
        const QTemporaryDir home;
        const QString program = home.filePath("bin/lumaret-transfer");
        QVERIFY(QDir().mkpath(home.filePath("bin")) && QFile::copy(QStringLiteral(LUMARET_TRANSFER), program));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        const Ran none = runProgram(program, {"list"}, {}, {}, environment);
        QCOMPARE(none.exitCode, 1);
        QVERIFY2(none.err.startsWith("lumaret-transfer: An error, 3024: 'No catalogue was found beside this program "
                                     "or at '" +
                                     home.filePath("data/LumaretTool/data.mdb'")),
                 qPrintable(none.err));
        QVERIFY(!QFileInfo::exists(home.filePath("data")));
        const TestCatalogue beside("INSERT INTO tblCategory VALUES (1, 'Beside')");
        QVERIFY(QFile::copy(beside.path(), home.filePath("bin/data.mdb")));
        QCOMPARE(runProgram(program, {"list"}, {}, {}, environment).out, "1\t0\tBeside\n");
    }
};

QTEST_MAIN(LumaretTransferTest)
#include "tst_lumarettransfer.moc"
