// Adding, renaming and deleting categories: the identifiers given, the names stored, what ends up selected.
#include "EditingCatalogue.h"
#include "app/frmLumaret.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"

#include <QPushButton>
#include <QtTest>

class CategoryCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void addGivesNextIdentifier_data() {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty table") << ""
                                     << "Animals" << 1 << "Animals"
                                     << "Animals";
        QTest::newRow("gaps not filled") << "(1, 'A'), (2, 'B'), (7, 'C')"
                                         << "Zoo" << 8 << "Zoo"
                                         << "Zoo";
        QTest::newRow("up to the limit") << "(32766, 'A')"
                                         << "Zoo" << 32767 << "Zoo"
                                         << "Zoo";
        QTest::newRow("apostrophes") << "(1, 'A')"
                                     << "Knight's `own' set" << 2 << "Knight`s `own` set"
                                     << "Knight`s `own` set";
        QTest::newRow("blanks only") << "(1, 'A')"
                                     << "   " << 2 << "   "
                                     << "";
    }

    void addGivesNextIdentifier() {
        QFETCH(QString, existing);
        QFETCH(QString, typed);
        QFETCH(int, id);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        TestCatalogue catalogue(existing.isEmpty() ? QString() : "INSERT INTO tblCategory VALUES " + existing);
        if (existing.isEmpty())
            frmMsgBox::setNextAnswer(1); // the empty-list notice at start
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        frmMsgBox::takeShown();

        frmInputBox::setNextText(typed);
        w->cmdAddCategory->click();

        const QList<AskedText> asked = frmInputBox::takeAsked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].prompt, QStringLiteral("Enter a new category to add."));
        QCOMPARE(asked[0].style, qint16(64));
        QCOMPARE(asked[0].caption, QStringLiteral("Please enter a new name"));
        QCOMPARE(asked[0].proposed, QString());
        QVERIFY(frmMsgBox::takeShown().isEmpty());
        QCOMPARE(catalogue.rows(QStringLiteral("SELECT CategoryName FROM tblCategory WHERE CategoryID=%1").arg(id)),
                 QStringList{stored});
        QCOMPARE(w->cboCategory->selectedItemData(), id);
        QCOMPARE(w->cboCategory->Text(), shown);
        QCOMPARE(w->cboFigure->ListCount(), 0);
    }

    void addBeyondSixteenBitsOverflows() {
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (32767, 'Full')");
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        frmInputBox::setNextText(QStringLiteral("Zoo"));
        frmMsgBox::setNextAnswer(1);
        w->cmdAddCategory->click();
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("An error, 6: 'Overflow' has occurred."));
        QCOMPARE(catalogue.rows("SELECT * FROM tblCategory"), QStringList{"32767|Full"});
    }

    void renameKeepsCategorySelected_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("listAfter");
        QTest::addColumn<QString>("firstFigure");
        QTest::newRow("sorts elsewhere") << "Animals"
                                         << "Zoo's" << QStringList{"Imported", "Knights", "Vehicles", "Zoo`s"}
                                         << "Eagle";
        QTest::newRow("identifier beyond 16 bits")
            << "Imported"
            << "Aardvarks" << QStringList{"Aardvarks", "Animals", "Knights", "Vehicles"} << "Gryphon";
    }

    void renameKeepsCategorySelected() {
        QFETCH(QString, from);
        QFETCH(QString, typed);
        QFETCH(QStringList, listAfter);
        QFETCH(QString, firstFigure);
        TestCatalogue catalogue(editingRows + ";INSERT INTO tblCategory VALUES (40001, 'Imported');"
                                              "INSERT INTO tblFigure VALUES (40002, 40001, 'Gryphon', 'Mythical')");
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        w->cboCategory->selectEntry(int(listed(*w->cboCategory).indexOf(from)));
        const qint32 id = w->cboCategory->selectedItemData();

        frmInputBox::setNextText(typed);
        w->cmdEditCategory->click();

        const QList<AskedText> asked = frmInputBox::takeAsked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].prompt, QStringLiteral("Enter a new name for this category."));
        QCOMPARE(asked[0].proposed, from);
        QVERIFY(frmMsgBox::takeShown().isEmpty());
        QCOMPARE(listed(*w->cboCategory), listAfter);
        QCOMPARE(w->cboCategory->selectedItemData(), id);
        QCOMPARE(w->cboFigure->Text(), firstFigure);
        QCOMPARE(catalogue.value(QStringLiteral("SELECT CategoryName FROM tblCategory WHERE CategoryID=%1").arg(id)),
                 QVariant(QString(typed).replace('\'', '`')));
    }

    void deleteOfCategoryInUseIsRefused() {
        TestCatalogue catalogue(editingRows);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        w->cboCategory->selectEntry(1); // Knights, with two figures
        const QStringList before = everyRow(catalogue);
        frmMsgBox::setNextAnswer(6);
        frmMsgBox::setNextAnswer(1);
        w->cmdDeleteCategory->click();

        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].text, QStringLiteral("Are you sure you want to PERMANENTLY remove \r'Knights' from your "
                                               "database?"));
        QCOMPARE(shown[0].style, qint16(20));
        QCOMPARE(shown[0].caption, QStringLiteral("Warning"));
        QCOMPARE(shown[1].text, QStringLiteral("This category can not be deleted. It is is use by 2 figure(s). Please "
                                               "delete the figure(s) before deleting this category."));
        QCOMPARE(shown[1].style, qint16(0));
        QCOMPARE(shown[1].caption, QStringLiteral("Notice"));
        QCOMPARE(everyRow(catalogue), before);
        QCOMPARE(w->cboCategory->Text(), QStringLiteral("Knights"));
    }

    void deletingLastCategoryBringsEmptyListNotice() {
        TestCatalogue catalogue("INSERT INTO tblCategory VALUES (5, 'Empty')");
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        frmMsgBox::setNextAnswer(6);
        frmMsgBox::setNextAnswer(1);
        w->cmdDeleteCategory->click();

        QCOMPARE(catalogue.value("SELECT COUNT(*) FROM tblCategory"), QVariant(0));
        QCOMPARE(w->cboCategory->ListCount(), 0);
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].text, frmLumaret::emptyCategoryNotice);
        QCOMPARE(shown[1].caption, QStringLiteral("Warning"));
    }
};

QTEST_MAIN(CategoryCommandsTest)
#include "tst_categorycommands.moc"
