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
struct Ran {
    int exitCode = -1;
    QString out;
    QString err;
};

Ran transfer(const QStringList& arguments, const QString& program = QStringLiteral(LUMARET_TRANSFER),
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        qFatal("lumaret-transfer did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// Every file of a folder, hidden ones too, with its content.
QStringList folderContent(const QString& folder) {
    QStringList listed;
    for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        listed << name + "=" + QString::fromLatin1(fileContent(QDir(folder).filePath(name)));
    return listed;
}

QByteArray transferContent(const QString& catalogue, qint32 figureId) {
    Database db(catalogue);
    return operations::figureTransferContent(db, figureId);
}

// The sample, with a second knight under another case and blanks, and names that make poor file names.
const QString extras = QStringLiteral("INSERT INTO tblFigure VALUES (11, 2, 'knight ', 'Standing'), "
                                      "(12, 1, 'dragon', 'Small'), (13, 1, 'Cat/Dog', 'Odd'), "
                                      "(14, 5, ' Oak' || char(9) || 'tree', 'Tree');"
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
        QCOMPARE(categories.out, "1\t6\tAnimals\n3\t2\tBuildings\n2\t4\tKnights\n5\t1\tPlants\n4\t1\tVehicles\n");
        const Ran plants = transfer({"--catalogue", catalogue.path(), "list", "PLANTS"});
        QCOMPARE(plants.out, "14\t1\tOak\ttree\n"); // the name last, so a tab in it is still read whole
    }

    void exportWritesWhatTheButtonWrites_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<qint32>("figureId");
        QTest::addColumn<bool>("existing");
        QTest::newRow("case and blanks aside") << QStringList{"  knights", "MOUNTED KNIGHT "} << 6 << false;
        QTest::newRow("a tab is part of the name") << QStringList{"Plants", "Oak\ttree"} << 14 << false;
        QTest::newRow("over a file, with --force") << QStringList{"Animals", "Horse"} << 1 << true;
    }
    void exportWritesWhatTheButtonWrites() {
        QFETCH(QStringList, names);
        QFETCH(qint32, figureId);
        QFETCH(bool, existing);
        TestCatalogue catalogue(TestCatalogue::sampleSql() + extras);
        const QString path = catalogue.directory() + "/out.lrx";
        if (existing)
            writeFile(path, QByteArray(500, 'x'));
        QStringList arguments{"--catalogue", catalogue.path(), "export", names[0], names[1], path};
        if (existing)
            arguments << "--force";
        const Ran ran = transfer(arguments);
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
    }
    void importAddsWhatTheButtonAdds() {
        QFETCH(QByteArray, file);
        QFETCH(QString, printed);
        TestCatalogue byButton(TestCatalogue::sampleSql());
        TestCatalogue byCompanion(TestCatalogue::sampleSql());
        const QString path = byButton.directory() + "/in.lrx";
        writeFile(path, file);

        frmLumaret* window = startProgram(byButton);
        QVERIFY(window);
        QCOMPARE(ui(window).cboCategory->Text(), QStringLiteral("Animals"));
        FileDialog::setNextFileName(path);
        frmMsgBox::setNextAnswer(msgbox::Ok);
        ui(window).cmdImport->click();
        QCOMPARE(frmMsgBox::takeShown().size(), 1);

        const Ran ran = transfer({"--catalogue", byCompanion.path(), "import", path, "animals"});
        QCOMPARE(ran.exitCode, 0);
        QCOMPARE(ran.out, printed);
        QCOMPARE(everyRow(byCompanion), everyRow(byButton));
    }

    void exportAllWritesOneFilePerFigure() {
        TestCatalogue catalogue(TestCatalogue::sampleSql() + extras);
        const QTemporaryDir folder;
        writeFile(folder.filePath("Horse.lrx"), "older");
        const Ran ran = transfer({"--catalogue", catalogue.path(), "export-all", "Animals", folder.path(), "--force"});
        QCOMPARE(ran.err, QString());
        QCOMPARE(ran.exitCode, 0);
        // Names that would share a file, case aside, each get their identifier; "/" cannot be in a file name.
        const QMap<QString, qint32> expected{{"Cat_Dog.lrx", 13}, {"Dragon (3).lrx", 3}, {"dragon (12).lrx", 12},
                                             {"Eagle.lrx", 2},    {"Horse.lrx", 1},      {"Owl.lrx", 4}};
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                 QStringList(expected.keys()));
        for (auto file = expected.begin(); file != expected.end(); ++file)
            QCOMPARE(fileContent(folder.filePath(file.key())), transferContent(catalogue.path(), file.value()));
        QCOMPARE(ran.out.count('\n'), 6);
    }

    // Each refusal and failure: a clear sentence on standard error, a non-zero exit, and nothing written.
    void failsAndWritesNothing_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("arguments"); // after the catalogue; "@" stands for the folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("sentence");
        const QString error = QStringLiteral("lumaret-transfer: An error, ");
        const auto row = [&](const char* name, QStringList arguments, QString sentence, QString change = {}) {
            QTest::newRow(name) << change << arguments << 1 << error + sentence;
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
        row("a transfer file that is not there", {"import", "@/none.lrx", "Animals"}, "53: 'File not found'");
        row("export over a file", {"export", "Animals", "Horse", "@/Horse.lrx"}, "58: 'File already exists: '");
        row("export-all over a file", {"export-all", "Animals", "@"}, "58: 'File already exists: '");
        row("export-all of a figure no file can carry", {"export-all", "Animals", "@", "--force"},
            "3421: 'Figure 'Owl' cannot be exported: its type holds a line break",
            "UPDATE tblFigure SET FigureType='a' || char(10) WHERE FigureID=4");
        row("export-all into no folder", {"export-all", "Animals", "@/none"}, "75: 'Path/File access error: ");
        QTest::newRow("unknown command") << QString() << QStringList{"remove", "Animals"} << 2
                                         << "lumaret-transfer: unknown command 'remove'.";
        QTest::newRow("too few arguments") << QString() << QStringList{"export", "Animals", "Horse"} << 2
                                           << "lumaret-transfer: wrong number of arguments for 'export'.";
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

        const Ran ran = transfer(QStringList{"--catalogue", catalogue.path()} + arguments);

        QCOMPARE(ran.exitCode, exitCode);
        QVERIFY2(ran.err.startsWith(sentence), qPrintable(ran.err));
        QCOMPARE(ran.out, QString());
        QCOMPARE(everyRow(catalogue) + folderContent(folder.path()), before);
    }

    // Without --catalogue the companion finds the catalogue as the program does, and never makes one.
    void findsTheCatalogue_data() {
        QTest::addColumn<QStringList>("present"); // of "given", "beside", "user"
        QTest::addColumn<QString>("used");        // the category its catalogue holds; none: refused
        QTest::newRow("--catalogue first") << QStringList{"given", "beside", "user"} << "Given";
        QTest::newRow("beside the program") << QStringList{"beside", "user"} << "Beside";
        QTest::newRow("the user's") << QStringList{"user"} << "User";
        QTest::newRow("none") << QStringList() << QString();
    }
    void findsTheCatalogue() {
        QFETCH(QStringList, present);
        QFETCH(QString, used);
        const QTemporaryDir home;
        const QString program = home.filePath("bin/lumaret-transfer");
        QVERIFY(QDir().mkpath(home.filePath("bin")) && QFile::copy(QStringLiteral(LUMARET_TRANSFER), program));
        const QString dataFolder = home.filePath("data/LumaretTool");
        const QMap<QString, QString> places{{"given", home.filePath("given.mdb")},
                                            {"beside", home.filePath("bin/data.mdb")},
                                            {"user", dataFolder + "/data.mdb"}};
        for (const QString& place : present) {
            TestCatalogue made("INSERT INTO tblCategory VALUES (1, '" + place.left(1).toUpper() + place.mid(1) + "')");
            QVERIFY(QDir().mkpath(QFileInfo(places[place]).absolutePath()) && QFile::copy(made.path(), places[place]));
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        QStringList arguments{"list"};
        if (present.contains("given"))
            arguments << "--catalogue" << places["given"];

        const Ran ran = transfer(arguments, program, environment);

        if (used.isEmpty()) {
            QCOMPARE(ran.exitCode, 1);
            QVERIFY2(ran.err.startsWith("lumaret-transfer: An error, 3024: 'No catalogue was found beside this "
                                        "program or at '" +
                                        dataFolder + "/data.mdb'"),
                     qPrintable(ran.err));
            QVERIFY(!QFileInfo::exists(home.filePath("data")));
            return;
        }
        QCOMPARE(ran.exitCode, 0);
        QCOMPARE(ran.out, "1\t0\t" + used + "\n");
    }
};

QTEST_MAIN(LumaretTransferTest)
#include "tst_lumarettransfer.moc"
