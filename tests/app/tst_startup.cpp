// Start-up: what the main window shows after its load, and the catalogues it refuses to start on.
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/Pointer.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <sys/stat.h>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    // What the window shows once loaded, "category|figure|type|parts|title" (the hidden type label keeps its
    // designed text until a figure is chosen), and the notice shown before it.
    void whatStartShows_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("notice");
        const QString versioned = QStringLiteral("Lumaret Import/ Export Tool, v. 1.0.0");
        // Name order: Animals before Buildings; Dragon first of the animals.
        QTest::newRow("sample") << TestCatalogue::sampleSql() << "Animals|Dragon|Mythical|4|" + versioned << "";
        // The window keeps its designed caption until a figure is chosen.
        QTest::newRow("first category without figures")
            << "INSERT INTO tblCategory VALUES (1, 'Aaa'), (2, 'Bbb'); INSERT INTO tblFigure VALUES (1, 2, 'K', 'S')"
            << "Aaa||figure type|0|Lumaret Import/ Export Tool"
            << "";
        // The whole notice is checked where deleting the last category brings it up.
        QTest::newRow("empty") << ""
                               << "||figure type|0|Lumaret Import/ Export Tool"
                               << "No information was loaded into the Category pull-down box.";
    }

    void whatStartShows() {
        QFETCH(QString, rows);
        QFETCH(QString, shown);
        QFETCH(QString, notice);
        TestCatalogue catalogue(rows);
        if (!notice.isEmpty())
            frmMsgBox::setNextAnswer(msgbox::Ok);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        QCOMPARE(shownTexts().join("").left(notice.size()), notice);
        const MainControls c = ui(w);
        QCOMPARE(QStringList({c.cboCategory->Text(), c.cboFigure->Text(), c.lblFigureType->text(),
                              QString::number(c.lstFigureParts->ListCount()), w->windowTitle()})
                     .join('|'),
                 shown);
        QCOMPARE(c.lstFigureParts->ListIndex(), c.lstFigureParts->ListCount() > 0 ? 0 : -1);
        QCOMPARE(pointer(), Pointer::Default);
    }

    void refusesCatalogue_data() {
        QTest::addColumn<QString>("sql"); // the catalogue made of it, when the row gives no file of its own
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        const QString none;
        QTest::newRow("missing") << none << none << "Could not find file";
        QTest::newRow("symbolic-link loop") << none << "<loop>"
                                            << "(a loop of symbolic links, which leads to no file)";
        QTest::newRow("not a database") << none << TestCatalogue::sourceFile("README.md")
                                        << "Unrecognized database format";
        QTest::newRow("another database") << "CREATE TABLE other (x)" << none << "has no table 'tblCategory'";
        QTest::newRow("one table missing")
            << "CREATE TABLE tblCategory (a); CREATE TABLE tblFigure (b)" << none << "has no table 'tblFigurePart'";
        QTest::newRow("a named pipe") << none << "<fifo>"
                                      << "(a named pipe, not a regular file)"; // never waited on
    }

    void refusesCatalogue() {
        QFETCH(QString, sql);
        QFETCH(QString, file);
        QFETCH(QString, expected);
        TestCatalogue catalogue(sql, false);
        if (file == "<loop>")
            QVERIFY(QFile::link(catalogue.path(), catalogue.path()));
        else if (file == "<fifo>")
            QCOMPARE(mkfifo(QFile::encodeName(catalogue.path()).constData(), 0600), 0);
        else if (!file.isEmpty() && !QFile::copy(file, catalogue.path()))
            QSKIP("the sample file is not beside the project");
        frmMsgBox::setNextAnswer(msgbox::Ok);
        QVERIFY(!startProgram(catalogue));
        QVERIFY(!runningProgram());
        const QStringList shown = shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith("LumaretTool cannot start.\r\n\r\nError ") && shown[0].contains(expected),
                 qPrintable(shown[0]));
        // nothing made in its place
        QCOMPARE(QFileInfo(catalogue.path()).isSymLink() || QFile::exists(catalogue.path()),
                 !sql.isEmpty() || !file.isEmpty());
    }

    void exitReleasesTheCatalogue_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit button") << "exit";
        QTest::newRow("Esc key") << "escape";
        QTest::newRow("close box") << "close";
    }

    void exitReleasesTheCatalogue() {
        QFETCH(QString, how);
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (1, 'Animals')");
        QPointer<frmLumaret> w = startProgram(catalogue);
        QVERIFY(w);
        if (how == "exit")
            ui(w).cmdCancel->click();
        else if (how == "escape")
            QTest::keyClick(w.data(), Qt::Key_Escape);
        else
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isNull());
        // The file is free again: another program can take it for writing at once.
        catalogue.exec("BEGIN EXCLUSIVE; COMMIT");
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
