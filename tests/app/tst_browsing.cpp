// Browsing: the lists follow the catalogue as it is, and a bad row stops a fill where it stands.
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/frmMsgBox.h"
#include "operations/FigureExport.h"
#include "support/TestCatalogue.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

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
// An older or hand-made file: identifier columns that take any value.
const QString looseTables = "CREATE TABLE tblCategory (CategoryID INTEGER, CategoryName TEXT);"
                            "CREATE TABLE tblFigure (FigureID, CategoryID, FigureName, FigureType);"
                            "CREATE TABLE tblFigurePart (FigurePartID, FigureID, FigurePartName);";
} // namespace

class BrowsingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void figuresOfOneNameKeepTheirOwnDetails() {
        TestCatalogue catalogue(twoCategories);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        QCOMPARE(listed(*ui(w).cboFigure), QStringList({"Horse", "Twin", "Twin"}));        // trimmed, inner blanks kept
        QCOMPARE(listed(*ui(w).cboCategory), QStringList({"Animals", "Empty", "Zoo \t"})); // only blanks are trimmed
        QCOMPARE(ui(w).lblFigureType->text(), QStringLiteral("Quadruped"));
        QCOMPARE(itemData(*ui(w).lstFigureParts), QList<qint32>({100, 101}));
        ui(w).cboFigure->selectByItemData(11);
        QCOMPARE(ui(w).lblFigureType->text(), QStringLiteral("First"));
        QCOMPARE(listed(*ui(w).lstFigureParts), QStringList({"Left arm"}));
        ui(w).cboFigure->selectByItemData(12);
        QCOMPARE(ui(w).lblFigureType->text(), QString()); // a null type shows as no text
        QCOMPARE(listed(*ui(w).lstFigureParts), QStringList({"Right arm"}));
    }

    void categoryWithoutFiguresKeepsThePreviousFigureDetails() {
        TestCatalogue catalogue(twoCategories);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        ui(w).cboCategory->selectEntry(1);
        QCOMPARE(ui(w).cboFigure->ListCount(), 0);
        QCOMPARE(ui(w).lstFigureParts->ListCount(), 0);
        QCOMPARE(ui(w).lblFigureType->text(), QStringLiteral("Quadruped"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Lumaret Import/ Export Tool, v. 1.0.0"));
        QCOMPARE(ui(w).cmdExport->toolTip(), QStringLiteral("Export the currently selected figure (Horse) to a file."));
        QCOMPARE(ui(w).cmdImport->toolTip(), QStringLiteral("Import a figure into the selected category (Empty)."));
    }

    void figureDeletedAfterTheFillIsReported() {
        TestCatalogue catalogue(twoCategories);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        w->setWindowTitle("changed");
        catalogue.exec("DELETE FROM tblFigure WHERE FigureID = 11");
        frmMsgBox::setNextAnswer(msgbox::Ok);
        ui(w).cboFigure->selectByItemData(11);
        QCOMPARE(shownTexts(), QStringList{"An error, 3021: 'No current record.' has occurred."});
        QCOMPARE(w->windowTitle(), QStringLiteral("Lumaret Import/ Export Tool, v. 1.0.0"));
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
        // Rows come in name order, and a null name sorts first.
        QTest::newRow("category with a null name") << "INSERT INTO tblCategory VALUES (1, 'Alpha'), (2, NULL)"
                                                   << "|-1||-1|figure type|0"
                                                   << "";
        QTest::newRow("category with a null identifier")
            << "INSERT INTO tblCategory VALUES (1, 'Alpha'), (NULL, 'Beta'), (3, 'Gamma')"
            << "Alpha (1),Beta (0)|-1||-1|figure type|0"
            << "";
        QTest::newRow("figure with a null identifier")
            << "INSERT INTO tblCategory VALUES (1, 'Animals');"
               "INSERT INTO tblFigure VALUES (10, 1, 'Alpha', 'First'), (NULL, 1, 'Beta', 'Second');"
               "INSERT INTO tblFigurePart VALUES (100, 10, 'Mane');"
            << "Animals (1)|0|Alpha,Beta|0|First|0"
            << "";
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
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
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
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
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
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
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
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
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
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        QCOMPARE(ui(w).cboFigure->ListCount(), 10000);
        QCOMPARE(ui(w).cboFigure->ListIndex(), 0);
        QCOMPARE(ui(w).lstFigureParts->ListCount(), 100000);
        QCOMPARE(ui(w).lstFigureParts->entries().text(99999), QStringLiteral("Part 100000"));
    }
};

QTEST_MAIN(BrowsingTest)
#include "tst_browsing.moc"
