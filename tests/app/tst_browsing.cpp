// Browsing: the lists follow the catalogue as it is, and a bad row stops a fill where it stands.
#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "dialogs/Pointer.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {
QStringList texts(const EntryList& list) {
    QStringList result;
    for (int i = 0; i < list.ListCount(); ++i)
        result << list.entries().text(i);
    return result;
}

QList<qint32> itemData(const EntryList& list) {
    QList<qint32> result;
    for (int i = 0; i < list.ListCount(); ++i)
        result << list.entries().itemData(i);
    return result;
}

const char* const twoCategories = "INSERT INTO tblCategory VALUES (1, 'Animals'), (2, 'Empty');"
                                  "INSERT INTO tblFigure VALUES (10, 1, '  Horse  ', ' Quadruped ');"
                                  "INSERT INTO tblFigure VALUES (11, 1, 'Twin', 'First');"
                                  "INSERT INTO tblFigure VALUES (12, 1, 'Twin', NULL);"
                                  "INSERT INTO tblFigurePart VALUES (100, 10, ' Mane '), (101, 10, 'Tail');"
                                  "INSERT INTO tblFigurePart VALUES (102, 11, 'Left arm'), (103, 12, 'Right arm');";
} // namespace

class BrowsingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        stopProgram();
        QVERIFY(dialogHooksUsed());
        QCOMPARE(frmMsgBox::takeShown().size(), 0);
    }

    void namesAreShownTrimmedWithTheirOwnIdentifiers() {
        TestCatalogue catalogue(twoCategories);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        QCOMPARE(texts(*w->cboFigure), QStringList({"Horse", "Twin", "Twin"}));
        QCOMPARE(w->lblFigureType->text(), QStringLiteral("Quadruped"));
        QCOMPARE(texts(*w->lstFigureParts), QStringList({"Mane", "Tail"}));
        QCOMPARE(itemData(*w->lstFigureParts), QList<qint32>({100, 101}));
        QCOMPARE(w->cmdExport->toolTip(), QStringLiteral("Export the currently selected figure (Horse) to a file."));

        // Two figures of one name: each shows its own type and parts.
        const int first = itemData(*w->cboFigure).indexOf(11);
        const int second = itemData(*w->cboFigure).indexOf(12);
        w->cboFigure->selectEntry(first);
        QCOMPARE(w->lblFigureType->text(), QStringLiteral("First"));
        QCOMPARE(texts(*w->lstFigureParts), QStringList({"Left arm"}));
        w->cboFigure->selectEntry(second);
        QCOMPARE(w->lblFigureType->text(), QString()); // a null type shows as no text
        QCOMPARE(texts(*w->lstFigureParts), QStringList({"Right arm"}));
    }

    void categoryWithoutFiguresKeepsThePreviousFigureDetails() {
        TestCatalogue catalogue(twoCategories);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        w->cboCategory->selectEntry(1);
        QCOMPARE(w->cboFigure->ListCount(), 0);
        QCOMPARE(w->cboFigure->ListIndex(), -1);
        QCOMPARE(w->lstFigureParts->ListCount(), 0);
        QCOMPARE(w->lblFigureType->text(), QStringLiteral("Quadruped"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Lumaret Import/ Export Tool, v. 1.0.0"));
        QCOMPARE(w->cmdExport->toolTip(), QStringLiteral("Export the currently selected figure (Horse) to a file."));
        QCOMPARE(w->cmdImport->toolTip(), QStringLiteral("Import a figure into the selected category (Empty)."));
    }

    void figureDeletedAfterTheFillIsReported() {
        TestCatalogue catalogue(twoCategories);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        w->setWindowTitle("changed");
        catalogue.exec("DELETE FROM tblFigure WHERE FigureID = 11");
        frmMsgBox::setNextAnswer(1);
        w->cboFigure->selectEntry(itemData(*w->cboFigure).indexOf(11));
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("An error, 3021: 'No current record.' has occurred."));
        QCOMPARE(shown[0].caption, QStringLiteral("Notice"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Lumaret Import/ Export Tool, v. 1.0.0"));
        QCOMPARE(w->lblFigureType->text(), QStringLiteral("Quadruped"));
        QCOMPARE(texts(*w->lstFigureParts), QStringList({"Mane", "Tail"}));
    }

    void badRowStopsTheCategoryFill_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QList<qint32>>("ids");
        // Rows come in name order, and a null name sorts first.
        QTest::newRow("null name") << "(1, 'Alpha'), (2, NULL), (3, 'Gamma')" << QStringList() << QList<qint32>();
        QTest::newRow("null identifier") << "(1, 'Alpha'), (NULL, 'Beta'), (3, 'Gamma')"
                                         << QStringList({"Alpha", "Beta"}) << QList<qint32>({1, 0});
    }

    void badRowStopsTheCategoryFill() {
        QFETCH(QString, rows);
        QFETCH(QStringList, listed);
        QFETCH(QList<qint32>, ids);
        // The identifier column of this catalogue allows null, as an older file might.
        TestCatalogue catalogue("CREATE TABLE tblCategory (CategoryID INTEGER, CategoryName TEXT COLLATE NOCASE);"
                                "CREATE TABLE tblFigure (FigureID INTEGER, CategoryID INTEGER, FigureName TEXT, "
                                "FigureType TEXT);"
                                "CREATE TABLE tblFigurePart (FigurePartID INTEGER, FigureID INTEGER, FigurePartName "
                                "TEXT);"
                                "INSERT INTO tblCategory VALUES " +
                                    rows,
                                false);
        frmMsgBox::setNextAnswer(1);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("An error, 94: 'Invalid use of Null' has occurred."));
        QCOMPARE(texts(*w->cboCategory), listed);
        QCOMPARE(itemData(*w->cboCategory), ids);
        QCOMPARE(w->cboCategory->ListIndex(), -1);
        QCOMPARE(w->cboFigure->ListCount(), 0);
        QCOMPARE(pointer(), Pointer::Default); // the load itself ends with the default pointer
    }

    void largeFillsShowAtOnce() {
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (1, 'Big');"
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
                                "INSERT INTO tblFigure SELECT i, 1, printf('Figure %05d', i), 'T' FROM n;"
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                                "INSERT INTO tblFigurePart SELECT i, 1, printf('Part %06d', i) FROM n;");
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        QCOMPARE(w->cboFigure->ListCount(), 10000);
        QCOMPARE(w->lstFigureParts->ListCount(), 100000);
        QCOMPARE(w->lstFigureParts->entries().text(99999), QStringLiteral("Part 100000"));
    }
};

QTEST_MAIN(BrowsingTest)
#include "tst_browsing.moc"
