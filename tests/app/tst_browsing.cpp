// Start-up and browsing: what the main window shows after its load, the catalogues it refuses to start on, the
// lists following the catalogue as it is, and a bad row stopping a fill where it stands.
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/Pointer.h"
#include "dialogs/frmMsgBox.h"
#include "operations/FigureExport.h"
#include "support/TestCatalogue.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <sys/stat.h>

namespace {
QList<qint32> itemData(const EntryList& list) {
    QList<qint32> result;
    for (int i = 0; i < list.ListCount(); ++i)
        result << list.entries().itemData(i);
    return result;
}

const char* const twoCategories = "INSERT INTO tblCategory VALUES (1, 'Animals'), (2, 'Empty'), (3, 'Zoo \t ');"
                                  "INSERT INTO tblFigure VALUES (10, 1, '  Horse  ', ' Quadruped '),"
                                  " (11, 1, 'Twin', 'First'), (12, 1, 'Twin', NULL);"
                                  "INSERT INTO tblFigurePart VALUES (100, 10, ' Mane '), (101, 10, 'Tail'),"
                                  " (102, 11, 'Left arm'), (103, 12, 'Right arm');";
} // namespace

class BrowsingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    // Figures of one name keep their own details; a category without figures, and a figure deleted after the
    // fill (which is reported), keep the previous figure's details.
    void listsFollowTheCatalogue() {
        TestCatalogue catalogue(twoCategories);
        START_PROGRAM(w, catalogue);
        const QString title = QStringLiteral("Lumaret Import/ Export Tool, v. 1.0.0");
        QCOMPARE(listed(*ui(w).cboFigure), QStringList({"Horse", "Twin", "Twin"}));        // trimmed, inner blanks kept
        QCOMPARE(listed(*ui(w).cboCategory), QStringList({"Animals", "Empty", "Zoo \t"})); // only blanks are trimmed
        QCOMPARE(itemData(*ui(w).lstFigureParts), QList<qint32>({100, 101}));
        ui(w).cboCategory->selectEntry(1);
        QCOMPARE(ui(w).cboFigure->ListCount() + ui(w).lstFigureParts->ListCount(), 0);
        QCOMPARE(ui(w).lblFigureType->text(), QStringLiteral("Quadruped"));
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(ui(w).cmdExport->toolTip(), QStringLiteral("Export the currently selected figure (Horse) to a file."));
        QCOMPARE(ui(w).cmdImport->toolTip(), QStringLiteral("Import a figure into the selected category (Empty)."));
        ui(w).cboCategory->selectEntry(0);
        ui(w).cboFigure->selectByItemData(11);
        QCOMPARE(ui(w).lblFigureType->text() + listed(*ui(w).lstFigureParts).join(','), "FirstLeft arm");
        ui(w).cboFigure->selectByItemData(12);
        QCOMPARE(ui(w).lblFigureType->text(), QString()); // a null type shows as no text
        QCOMPARE(listed(*ui(w).lstFigureParts), QStringList({"Right arm"}));
        ui(w).cboFigure->selectByItemData(10);
        w->setWindowTitle("changed");
        catalogue.exec("DELETE FROM tblFigure WHERE FigureID = 11");
        frmMsgBox::setNextAnswer(msgbox::Ok);
        ui(w).cboFigure->selectByItemData(11);
        QCOMPARE(shownTexts(), QStringList{"An error, 3021: 'No current record.' has occurred."});
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(ui(w).lblFigureType->text(), QStringLiteral("Quadruped"));
        QCOMPARE(listed(*ui(w).lstFigureParts), QStringList({"Mane", "Tail"}));
    }

    // A row that cannot be read stops its fill where it stands, with the entry of a null identifier left behind
    // (item data 0), and is reported. A figure list failing while the window loads leaves the parts unread.
    // Shown: categories (item data) and the selected one, figures and the selected one, the type, the parts.
    void badRowStopsTheFill_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("failure"); // empty: the null's
        const auto row = [](const char* name, const char* rows, const char* shown) {
            QTest::newRow(name) << QString(rows) << QString(shown) << QString();
        };
        // Rows come in name order, and a null name sorts first.
        row("category with a null name", "INSERT INTO tblCategory VALUES (1, 'Alpha'), (2, NULL)",
            "|-1||-1|figure type|0");
        row("category with a null identifier",
            "INSERT INTO tblCategory VALUES (1, 'Alpha'), (NULL, 'Beta'), (3, 'Gamma')",
            "Alpha (1),Beta (0)|-1||-1|figure type|0");
        row("figure with a null identifier",
            "INSERT INTO tblCategory VALUES (1, 'Animals'); INSERT INTO tblFigure VALUES (10, 1, 'Alpha', 'First'),"
            " (NULL, 1, 'Beta', 'Second'); INSERT INTO tblFigurePart VALUES (100, 10, 'Mane');",
            "Animals (1)|0|Alpha,Beta|0|First|0");
        // A fraction must not be rounded to some other figure's identifier.
        QTest::newRow("figure identifier with a fraction")
            << "INSERT INTO tblCategory VALUES (1, 'Animals'); INSERT INTO tblFigure VALUES (10, 1, 'Alpha', 'First'),"
               " (11.5, 1, 'Beta', 'Second'); INSERT INTO tblFigurePart VALUES (100, 10, 'Mane')"
            << "Animals (1)|0|Alpha,Beta|0|First|0"
            << "13: 'Type mismatch: in table 'tblFigure', the row 'Beta' holds 11.5 in column 'FigureID', which takes "
               "only whole-number identifiers. Correct that row, then try again.'";
    }

    void badRowStopsTheFill() {
        QFETCH(QString, rows);
        QFETCH(QString, shown);
        QFETCH(QString, failure);
        TestCatalogue catalogue(looseTables + rows, false);
        frmMsgBox::setNextAnswer(msgbox::Ok);
        START_PROGRAM(w, catalogue);
        QCOMPARE(shownTexts(), QStringList{"An error, " + (failure.isEmpty() ? "94: 'Invalid use of Null'" : failure) +
                                           " has occurred."});
        const MainControls c = ui(w);
        QStringList categories;
        for (int i = 0; i < c.cboCategory->ListCount(); ++i)
            categories
                << QStringLiteral("%1 (%2)").arg(c.cboCategory->entries().text(i)).arg(itemData(*c.cboCategory)[i]);
        QCOMPARE(QStringList({categories.join(','), QString::number(c.cboCategory->ListIndex()),
                              listed(*c.cboFigure).join(','), QString::number(c.cboFigure->ListIndex()),
                              c.lblFigureType->text(), QString::number(c.lstFigureParts->ListCount())})
                     .join('|'),
                 shown);
    }

    // Names are listed whatever the engine holds them as; only text has its blanks trimmed as text.
    void partNamesOfEveryKind() {
        TestCatalogue catalogue(looseTables +
                                    "INSERT INTO tblCategory VALUES (1, 'Animals');"
                                    "INSERT INTO tblFigure VALUES (10, 1, 'Horse', 'T');"
                                    "INSERT INTO tblFigurePart VALUES (1, 10, ' Mane '), (2, 10, 42), (3, 10, 2.5),"
                                    " (4, 10, ' Gr\u00FCn '), ('5', 10, X'4869'), (6.0, 10, '');",
                                false);
        START_PROGRAM(w, catalogue);
        QCOMPARE(listed(*ui(w).lstFigureParts), QStringList({"Mane", "42", "2.5", "Gr\u00FCn", "Hi", ""}));
        QCOMPARE(itemData(*ui(w).lstFigureParts), QList<qint32>({1, 2, 3, 4, 5, 6}));
    }

    // A part table without the name column cannot fill the list; the user is told which column is missing.
    void partsWithoutTheirNameColumn() {
        TestCatalogue catalogue(QString(looseTables).replace("FigurePartName", "PartLabel") +
                                    "INSERT INTO tblCategory VALUES (1, 'Animals');"
                                    "INSERT INTO tblFigure VALUES (10, 1, 'Alpha', 'First'), (11, 1, 'Beta', 'Second');"
                                    "INSERT INTO tblFigurePart VALUES (100, 10, 'Mane'), (101, 11, 'Tail');",
                                false);
        const QString missing = QStringLiteral("An error, 3265: 'Item not found in this collection: the catalogue has "
                                               "no column 'FigurePartName'.' has occurred.");
        frmMsgBox::setNextAnswer(msgbox::Ok);
        START_PROGRAM(w, catalogue);
        frmMsgBox::setNextAnswer(msgbox::Ok);
        ui(w).cboFigure->selectByItemData(11);
        QCOMPARE(shownTexts(), QStringList({missing, missing}));
        QCOMPARE(ui(w).lblFigureType->text(), QStringLiteral("Second"));
    }

    // An index the engine may read the list through must not give it another order than the export's.
    void partsInTheExportsOrder() {
        TestCatalogue catalogue("ALTER TABLE tblFigurePart ADD Note TEXT;"
                                "CREATE INDEX byName ON tblFigurePart (FigureID, FigurePartName);"
                                "INSERT INTO tblCategory VALUES (1, 'A'); INSERT INTO tblFigure VALUES (1, 1, 'F', '');"
                                "INSERT INTO tblFigurePart VALUES (1, 1, 'Zed', ''), (2, 1, 'Alpha', ''),"
                                " (3, 1, 'Mid', '')");
        START_PROGRAM(w, catalogue);
        const QByteArray exported = operations::figureTransferContent(w->db(), 1);
        QCOMPARE(listed(*ui(w).lstFigureParts).join("!!\r\n") + "!!\r\n",
                 exported.mid(exported.indexOf("F\r\n\r\n") + 5));
    }

    void largeListsFillCompletely() {
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (1, 'Big');"
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
                                "INSERT INTO tblFigure SELECT i, 1, printf('Figure %05d', i), 'T' FROM n;"
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                                "INSERT INTO tblFigurePart SELECT i, 1, printf('Part %06d', i) FROM n;");
        START_PROGRAM(w, catalogue);
        QCOMPARE(ui(w).cboFigure->ListCount(), 10000);
        QCOMPARE(ui(w).cboFigure->ListIndex(), 0);
        QCOMPARE(ui(w).lstFigureParts->ListCount(), 100000);
        QCOMPARE(ui(w).lstFigureParts->entries().text(99999), QStringLiteral("Part 100000"));
    }

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
            << "Aaa||figure type|0|Lumaret Import/ Export Tool" << QString();
        // Columns are found by name whatever their case, as the older engine found them.
        QTest::newRow("part columns in lower case")
            << "DROP TABLE tblFigurePart; CREATE TABLE tblFigurePart (figurepartid INTEGER PRIMARY KEY, figureid "
               "INTEGER, figurepartname TEXT); INSERT INTO tblCategory VALUES (1, 'Aaa'); INSERT INTO tblFigure "
               "VALUES (1, 1, 'K', 'S'); INSERT INTO tblFigurePart VALUES (1, 1, 'Arm')"
            << "Aaa|K|S|1|" + versioned << "";
        // The whole notice is checked where deleting the last category brings it up.
        QTest::newRow("empty") << QString() << "||figure type|0|Lumaret Import/ Export Tool"
                               << "No information was loaded into the Category pull-down box.";
    }

    void whatStartShows() {
        QFETCH(QString, rows);
        QFETCH(QString, shown);
        QFETCH(QString, notice);
        TestCatalogue catalogue(rows);
        if (!notice.isEmpty())
            frmMsgBox::setNextAnswer(msgbox::Ok);
        START_PROGRAM(w, catalogue);
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
        QTest::newRow("a named pipe") << none << "<fifo>"
                                      << "(a named pipe, not a regular file)"; // never waited on
        QTest::newRow("not a database") << none << TestCatalogue::sourceFile("README.md")
                                        << "Unrecognized database format";
        QTest::newRow("another database") << "CREATE TABLE other (x)" << none << "has no table 'tblCategory'";
        QTest::newRow("one table missing")
            << "CREATE TABLE tblCategory (a); CREATE TABLE tblFigure (b)" << none << "has no table 'tblFigurePart'";
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

QTEST_MAIN(BrowsingTest)
#include "tst_browsing.moc"
