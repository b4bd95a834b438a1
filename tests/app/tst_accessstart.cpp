// Starting on an Access catalogue: a Jet 4 or ACE file is shown and written as it is; an Access 97 file is offered
// for conversion, and a refusal of any kind leaves the folder exactly as it was.
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QDir>
#include <QPushButton>
#include <QtTest>

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
