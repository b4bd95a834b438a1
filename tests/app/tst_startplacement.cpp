// Where a run's catalogue is, the question before one is made, and where the file dialogs start. Starting on an
// Access catalogue: a Jet 4 or ACE file is shown and written as it is; an Access 97 file is offered for
// conversion, and a refusal of any kind leaves the folder exactly as it was.
#include "app/StartPlacement.h"
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "catalogue/CatalogueLocation.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "dialogs/EntryList.h"
#include "dialogs/FileDialog.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <sys/mount.h>

namespace {
QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}
const QString jetDir = QStringLiteral(JET_FIXTURES);
} // namespace

class StartPlacementTest : public QObject {
    Q_OBJECT

    // A fresh home for each test, with the user data folder under it.
    std::optional<QTemporaryDir> home;
    QString dataFolder() const { return home->filePath("data/LumaretTool"); }
    QString documents() const { return home->filePath("Documents"); }

private slots:
    void initTestCase() { location::identifyProgram(); }
    void init() {
        home.emplace();
        qputenv("HOME", QFile::encodeName(home->path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home->filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home->filePath("config")));
    }
    void cleanup() { QVERIFY(endTest()); }

    void findsCatalogue_data() {
        QTest::addColumn<QString>("given"); // "present", "missing" or none
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<bool>("inDataFolder");
        QTest::addColumn<bool>("withDocuments");
        QTest::addColumn<QString>("expected"); // "given", "beside", "user" or none
        QTest::newRow("named on the command line first") << "present" << true << true << true << "given";
        QTest::newRow("named but missing: refused later, not made") << "missing" << false << false << true << "given";
        QTest::newRow("beside the program: portable") << "" << true << true << true << "beside";
        QTest::newRow("in the user data folder") << "" << false << true << true << "user";
        QTest::newRow("dialogs at home without Documents") << "" << false << true << false << "user";
    }
    void findsCatalogue() {
        QFETCH(QString, given);
        QFETCH(bool, besideProgram);
        QFETCH(bool, inDataFolder);
        QFETCH(bool, withDocuments);
        QFETCH(QString, expected);
        TestCatalogue program;
        if (!besideProgram)
            QVERIFY(QFile::remove(program.path()));
        TestCatalogue named;
        if (given == "missing")
            QVERIFY(QFile::remove(named.path()));
        if (inDataFolder) {
            QVERIFY(QDir().mkpath(dataFolder()));
            QVERIFY(QFile::copy(TestCatalogue().path(), dataFolder() + "/data.mdb"));
        }
        if (withDocuments)
            QVERIFY(QDir().mkpath(documents()));

        const auto placement =
            modLumaretStart::findPlacement(given.isEmpty() ? QString() : named.path(), program.directory());
        QVERIFY(placement);
        const QString path = expected == "given"    ? named.path()
                             : expected == "beside" ? program.path()
                                                    : dataFolder() + "/data.mdb";
        QCOMPARE(placement->catalogue, path);
        QCOMPARE(placement->followChosenFiles, expected != "beside");
        QCOMPARE(placement->transferFolder, expected == "beside" ? program.directory()
                                            : withDocuments      ? documents()
                                                                 : home->path());
        QCOMPARE(frmMsgBox::takeShown().size(), 0);
        QCOMPARE(QFileInfo::exists(named.path()), given != "missing"); // a named catalogue is never made
        QCOMPARE(QFileInfo::exists(dataFolder()), inDataFolder);
    }

    // Nothing found: the question names the folder it would be made in; only Yes makes a catalogue, and only a
    // whole one.
    void asksBeforeMaking_data() {
        QTest::addColumn<msgbox::Answer>("answer");
        QTest::addColumn<bool>("folderCanBeMade");
        QTest::addColumn<bool>("made");
        QTest::newRow("yes") << msgbox::Yes << true << true;
        QTest::newRow("no") << msgbox::No << true << false;
        QTest::newRow("closed") << msgbox::Cancel << true << false;
        QTest::newRow("yes, but the folder cannot be made") << msgbox::Yes << false << false;
    }
    void asksBeforeMaking() {
        QFETCH(msgbox::Answer, answer);
        QFETCH(bool, folderCanBeMade);
        QFETCH(bool, made);
        const QTemporaryDir program;
        if (!folderCanBeMade) // a file stands where the data folder's parent should be
            QVERIFY(QFile(home->filePath("data")).open(QIODevice::WriteOnly));
        frmMsgBox::setNextAnswer(answer);
        if (!folderCanBeMade)
            frmMsgBox::setNextAnswer(msgbox::Ok);

        const auto placement = modLumaretStart::findPlacement(QString(), program.path());
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QVERIFY(shown.size() >= 1);
        QCOMPARE(shown[0].text, "No catalogue was found in ~/data/LumaretTool.\r\nCreate an empty one there?");
        QCOMPARE(shown[0].style, msgbox::YesNo | msgbox::Information);
        QCOMPARE(shown[0].caption, QStringLiteral("LumaretTool"));
        QCOMPARE(bool(placement), made);
        if (!folderCanBeMade) {
            QCOMPARE(shown.size(), 2);
            QVERIFY2(shown[1].text.startsWith("The catalogue could not be created.\r\n\r\nError 75: "),
                     qPrintable(shown[1].text));
        }
        if (!made) {
            QCOMPARE(filesIn(home->path()), QStringList(folderCanBeMade ? QStringList() : QStringList{"data"}));
            QVERIFY(!QFileInfo::exists(dataFolder()));
            return;
        }
        QCOMPARE(placement->catalogue, dataFolder() + "/data.mdb");
        QCOMPARE(filesIn(dataFolder()), QStringList{"data.mdb"}); // nothing half-made left beside it
        Database opened(placement->catalogue);                    // a catalogue with all three tables, or this fails
        QVERIFY(opened.OpenRecordset(statements::listCategories()).Eof());
        // The empty lists asked for come without a notice.
        frmLumaret* window = modLumaretStart::Main(*placement);
        QVERIFY(window && window->isVisible());
        QCOMPARE(ui(window).cboCategory->ListCount(), 0);
        QCOMPARE(frmMsgBox::takeShown().size(), 0);
    }

    void makingNeverReplaces() {
        TestCatalogue existing("INSERT INTO tblCategory VALUES (1, 'Kept')");
        QCOMPARE(failureNumber([&] { location::createEmptyCatalogue(existing.path()); }),
                 int(failure::FileAlreadyExists));
        QCOMPARE(existing.rows("SELECT CategoryName FROM tblCategory"), QStringList{"Kept"});
        QCOMPARE(filesIn(existing.directory()), QStringList{"data.mdb"});
    }

    // Outside the portable layout each file dialog starts where the last transfer file of the run was chosen.
    void dialogsFollowChosenFiles_data() {
        QTest::addColumn<bool>("follow");
        QTest::newRow("portable: always beside the program") << false;
        QTest::newRow("installed: where the last file was") << true;
    }
    void dialogsFollowChosenFiles() {
        QFETCH(bool, follow);
        TestCatalogue catalogue(TestCatalogue::sampleSql());
        const QTemporaryDir elsewhere;
        frmLumaret* window = modLumaretStart::Main({catalogue.path(), catalogue.directory(), follow});
        QVERIFY(window);
        FileDialog::setNextFileName(elsewhere.filePath("dragon.lrx"));
        frmMsgBox::setNextAnswer(msgbox::Ok);
        ui(window).cmdExport->click();
        FileDialog::setNextFileName(QString()); // a cancel moves nothing
        ui(window).cmdImport->click();
        FileDialog::setNextFileName(QString());
        ui(window).cmdExport->click();
        QStringList started;
        for (const FileDialogRequest& request : FileDialog::takeRequests())
            started << request.directory;
        const QString next = follow ? elsewhere.path() : catalogue.directory();
        QCOMPARE(started, (QStringList{catalogue.directory(), next, next}));
    }

    // Jet 4 and ACE catalogues stay what they are: shown at once, with no question, and written in place.
    void accessCatalogueOpensAsItIs_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("Access 2000") << "catalogueV2000.mdb";
        QTest::newRow("Access 2007") << "catalogueIdsV2007.accdb";
    }

    void accessCatalogueOpensAsItIs() {
        QFETCH(QString, file);
        REQUIRE_JET_FIXTURES();
        TestCatalogue catalogue({}, false);
        QVERIFY(QFile::copy(jetDir + "/" + file, catalogue.path()));
        QFile(catalogue.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        START_PROGRAM(w, catalogue);
        QCOMPARE(frmMsgBox::takeShown().size(), 0);
        QCOMPARE(ui(w).cboCategory->Text(), QStringLiteral("Animals"));
        QCOMPARE(ui(w).cboFigure->Text(), QStringLiteral("Caf\u00E9 Zebra"));
        QCOMPARE(listed(*ui(w).lstFigureParts), QStringList({"Stripes"}));
        frmInputBox::setNextText(QStringLiteral("O'Brien's Zebra"));
        ui(w).cmdEditFigure->click();
        stopProgram();
        QCOMPARE(QDir(catalogue.directory()).entryList(QDir::Files | QDir::Hidden), QStringList{"data.mdb"});
        // no journal left, nothing converted
        QCOMPARE(fileContent(catalogue.path()).mid(4, 15),
                 file.endsWith(".accdb") ? "Standard ACE DB" : "Standard Jet DB");
        QVERIFY(startProgram(catalogue));
        // The rename's apostrophes become the grave accents every rename gives them.
        QCOMPARE(listed(*ui(runningProgram()).cboFigure), QStringList({"Horse", "O`Brien`s Zebra"}));
    }

    // A file the program cannot write (here on a disk mounted read-only) is shown, says why once, and every
    // command that would change it is refused with that reason; nothing is written.
    void readOnlyCatalogueSaysWhyOnce() {
        REQUIRE_JET_FIXTURES();
        const QTemporaryDir top;
        const TinyDisk disk(top.path() + "/disk", "4m");
        if (!disk.mounted)
            QSKIP(
                "mounting a small tmpfs needs root (or CAP_SYS_ADMIN); nothing else makes a file unwritable for root");
        const QString file = disk.path + "/data.mdb";
        QFile::copy(jetDir + "/catalogueV2000.mdb", file);
        const bool readOnly =
            ::mount("tmpfs", QFile::encodeName(disk.path).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=4m") == 0;
        const QByteArray before = fileContent(file);
        frmMsgBox::setNextAnswer(msgbox::Ok); // the notice
        frmMsgBox::setNextAnswer(msgbox::Ok); // the refused rename
        frmInputBox::setNextText(QStringLiteral("Renamed"));
        frmLumaret* w = modLumaretStart::Main(modLumaretStart::Placement{file, top.path(), false});
        if (w)
            ui(w).cmdEditCategory->click();
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        stopProgram();
        const QByteArray after = fileContent(file);
        QVERIFY(readOnly && w);
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[0].text.contains("cannot be changed: The catalogue file"), qPrintable(shown[0].text));
        QVERIFY2(shown[1].text.startsWith("An error, 3027: 'Cannot update."), qPrintable(shown[1].text));
        QCOMPARE(after, before);
    }

    // Access 97 files are older than what the program keeps: it offers to convert them, and a refusal of any
    // kind leaves the folder exactly as it was.
    void refusedConversionChangesNothing_data() {
        QTest::addColumn<QList<msgbox::Answer>>("answers");
        QTest::addColumn<QString>("told"); // in the last message shown
        QTest::newRow("No") << QList<msgbox::Answer>{msgbox::No} << "Convert it now?";
        QTest::newRow("no catalogue tables")
            << QList<msgbox::Answer>{msgbox::Yes, msgbox::Ok} << "lacks tables tblCategory, tblFigure, tblFigurePart";
    }

    void refusedConversionChangesNothing() {
        QFETCH(QList<msgbox::Answer>, answers);
        QFETCH(QString, told);
        REQUIRE_JET_FIXTURES();
        TestCatalogue catalogue({}, false);
        QVERIFY(QFile::copy(jetDir + "/testV1997.mdb", catalogue.path()));
        const QStringList before = folderContent(catalogue.directory());
        for (const msgbox::Answer answer : answers)
            frmMsgBox::setNextAnswer(answer);
        QVERIFY(!startProgram(catalogue));
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), answers.size());
        QVERIFY2(shown.last().text.contains(told), qPrintable(shown.last().text));
        QCOMPARE(folderContent(catalogue.directory()), before);
    }
};

QTEST_MAIN(StartPlacementTest)
#include "tst_startplacement.moc"
