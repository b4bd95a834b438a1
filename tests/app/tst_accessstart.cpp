// Starting on an Access catalogue: a Jet 4 or ACE file is shown and written as it is; an Access 97 file is offered
// for conversion, and a refusal of any kind leaves the folder exactly as it was.
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "dialogs/EntryList.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QDir>
#include <QPushButton>
#include <QtTest>
#include <sys/mount.h>

namespace {
const QString jetDir = QStringLiteral(LUMARET_FIXTURES_DIR "/jet");

// Every file of the folder with its bytes, to show that nothing was made, renamed or changed.
QMap<QString, QByteArray> folder(const QString& path) {
    QMap<QString, QByteArray> files;
    for (const QFileInfo& info : QDir(path).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(info.absoluteFilePath());
        file.open(QIODevice::ReadOnly);
        files.insert(info.fileName(), file.readAll());
    }
    return files;
}
} // namespace

class AccessStartTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    // Jet 4 and ACE catalogues stay what they are: shown at once, with no question, and written in place.
    void accessCatalogueOpensAsItIs_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("Access 2000") << "catalogueV2000.mdb";
        QTest::newRow("Access 2007") << "catalogueIdsV2007.accdb";
    }

    void accessCatalogueOpensAsItIs() {
        QFETCH(QString, file);
        if (!QFileInfo::exists(jetDir))
            QSKIP("the Access sample files are not there (../shared/fixtures/jet beside the source tree)");
        TestCatalogue catalogue({}, false);
        QVERIFY(QFile::copy(jetDir + "/" + file, catalogue.path()));
        QFile(catalogue.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        QCOMPARE(frmMsgBox::takeShown().size(), 0);
        QCOMPARE(ui(w).cboCategory->Text(), QStringLiteral("Animals"));
        QCOMPARE(ui(w).cboFigure->Text(), QStringLiteral("Caf\u00E9 Zebra"));
        QCOMPARE(listed(*ui(w).lstFigureParts), QStringList({"Stripes"}));
        frmInputBox::setNextText(QStringLiteral("O'Brien's Zebra"));
        ui(w).cmdEditFigure->click();
        stopProgram();
        const auto after = folder(catalogue.directory());
        QCOMPARE(after.keys(), QStringList({"data.mdb"})); // no journal left, nothing converted
        QCOMPARE(after.value("data.mdb").mid(4, 15), file.endsWith(".accdb") ? "Standard ACE DB" : "Standard Jet DB");
        QVERIFY(startProgram(catalogue));
        // The rename's apostrophes become the grave accents every rename gives them.
        QCOMPARE(listed(*ui(runningProgram()).cboFigure), QStringList({"Horse", "O`Brien`s Zebra"}));
    }

    // A file the program cannot write (here on a disk mounted read-only) is shown, says why once, and every
    // command that would change it is refused with that reason; nothing is written.
    void readOnlyCatalogueSaysWhyOnce() {
        if (!QFileInfo::exists(jetDir))
            QSKIP("the Access sample files are not there (../shared/fixtures/jet beside the source tree)");
        const QTemporaryDir top;
        const QByteArray disk = QFile::encodeName(top.path() + "/disk");
        QDir().mkpath(top.path() + "/disk");
        if (::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=4m") != 0)
            QSKIP(
                "mounting a small tmpfs needs root (or CAP_SYS_ADMIN); nothing else makes a file unwritable for root");
        const QString file = top.path() + "/disk/data.mdb";
        QFile::copy(jetDir + "/catalogueV2000.mdb", file);
        const bool readOnly = ::mount("tmpfs", disk.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=4m") == 0;
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
        ::umount(disk.constData());
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
        if (!QFileInfo::exists(jetDir))
            QSKIP("the Access sample files are not there (../shared/fixtures/jet beside the source tree)");
        TestCatalogue catalogue({}, false);
        QVERIFY(QFile::copy(jetDir + "/testV1997.mdb", catalogue.path()));
        const auto before = folder(catalogue.directory());
        for (const msgbox::Answer answer : answers)
            frmMsgBox::setNextAnswer(answer);
        QVERIFY(!startProgram(catalogue));
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), answers.size());
        QVERIFY2(shown.last().text.contains(told), qPrintable(shown.last().text));
        QCOMPARE(folder(catalogue.directory()), before);
    }
};

QTEST_MAIN(AccessStartTest)
#include "tst_accessstart.moc"
