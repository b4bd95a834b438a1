// Starting on an Access catalogue: the user is asked, the file is converted once and the original kept, and a
// refusal of any kind leaves the folder exactly as it was.
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QDir>
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

    void refusedConversionChangesNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("keptNameTaken");
        QTest::addColumn<QList<msgbox::Answer>>("answers");
        QTest::addColumn<QString>("told"); // in the last message shown
        QTest::newRow("No") << "catalogueV2000.mdb" << false << QList<msgbox::Answer>{msgbox::No} << "Convert it now?";
        QTest::newRow("no catalogue tables")
            << "testV2000.mdb" << false << QList<msgbox::Answer>{msgbox::Yes, msgbox::Ok}
            << "lacks tables tblCategory, tblFigure, tblFigurePart";
        QTest::newRow("kept name taken") << "catalogueV2000.mdb" << true << QList<msgbox::Answer>{msgbox::Ok}
                                         << "data.access.mdb is already there";
    }

    void refusedConversionChangesNothing() {
        QFETCH(QString, file);
        QFETCH(bool, keptNameTaken);
        QFETCH(QList<msgbox::Answer>, answers);
        QFETCH(QString, told);
        if (!QFileInfo::exists(jetDir))
            QSKIP("the Access sample files are not there (../shared/fixtures/jet beside the source tree)");
        TestCatalogue catalogue({}, false);
        QVERIFY(QFile::copy(jetDir + "/" + file, catalogue.path()));
        if (keptNameTaken)
            QVERIFY(QFile::copy(jetDir + "/testV1997.mdb", catalogue.directory() + "/data.access.mdb"));
        const auto before = folder(catalogue.directory());
        for (const msgbox::Answer answer : answers)
            frmMsgBox::setNextAnswer(answer);
        QVERIFY(!startProgram(catalogue));
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), answers.size());
        QVERIFY2(shown.last().text.contains(told), qPrintable(shown.last().text));
        QCOMPARE(folder(catalogue.directory()), before);
    }

    void convertedOnceOriginalKept() {
        if (!QFileInfo::exists(jetDir))
            QSKIP("the Access sample files are not there (../shared/fixtures/jet beside the source tree)");
        TestCatalogue catalogue({}, false);
        QVERIFY(QFile::copy(jetDir + "/catalogueV2000.mdb", catalogue.path()));
        const QByteArray original = folder(catalogue.directory()).value("data.mdb");
        frmMsgBox::setNextAnswer(msgbox::Yes);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        QCOMPARE(frmMsgBox::takeShown().value(0).text.left(42),
                 QStringLiteral("data.mdb is an Access catalogue. Convert i"));
        const auto after = folder(catalogue.directory());
        QCOMPARE(after.keys(), QStringList({"data.access.mdb", "data.mdb"}));
        QCOMPARE(after.value("data.access.mdb"), original);
        QVERIFY(after.value("data.mdb").startsWith("SQLite format 3"));
        QCOMPARE(ui(w).cboCategory->Text(), QStringLiteral("Animals"));
        QCOMPARE(ui(w).cboFigure->Text(), QStringLiteral("Caf\u00E9 Zebra"));
        QCOMPARE(listed(*ui(w).lstFigureParts), QStringList({"Stripes"}));
        // The next start opens the converted catalogue without asking again.
        stopProgram();
        QVERIFY(startProgram(catalogue));
    }
};

QTEST_MAIN(AccessStartTest)
#include "tst_accessstart.moc"
