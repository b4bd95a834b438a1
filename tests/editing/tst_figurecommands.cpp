// Renaming, deleting and moving figures: what is stored, what the main window shows afterwards.
#include "EditingCatalogue.h"
#include "app/frmLumaret.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"
#include "editing/frmMove.h"
#include "support/ModalWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {
const QString refusingTrigger =
    QStringLiteral(";CREATE TRIGGER refuse BEFORE %1 ON tblFigure BEGIN SELECT RAISE(ABORT, 'locked'); END");
}

class FigureCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void renameKeepsFigureSelected_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("listAfter");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("sorts elsewhere") << 0 << "Eagle"
                                         << "Zebra's" << QStringList{"Horse", "Zebra`s"} << QStringList{"Wings"};
        QTest::newRow("identifier 40000") << 1 << "Archer"
                                          << "Longbowman" << QStringList{"Knight", "Longbowman"} << QStringList{"Bow"};
    }

    void renameKeepsFigureSelected() {
        QFETCH(int, category);
        QFETCH(QString, from);
        QFETCH(QString, typed);
        QFETCH(QStringList, listAfter);
        QFETCH(QStringList, parts);
        TestCatalogue catalogue(editingRows);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        w->cboCategory->selectEntry(category);
        w->cboFigure->selectEntry(int(listed(*w->cboFigure).indexOf(from)));
        const qint32 id = w->cboFigure->selectedItemData();

        frmInputBox::setNextText(typed);
        w->cmdEditFigure->click();

        const QList<AskedText> asked = frmInputBox::takeAsked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].prompt, QStringLiteral("Enter a new name for this figure."));
        QCOMPARE(asked[0].proposed, from);
        QVERIFY(frmMsgBox::takeShown().isEmpty());
        QCOMPARE(catalogue.value(QStringLiteral("SELECT FigureName FROM tblFigure WHERE FigureID=%1").arg(id)),
                 QVariant(QString(typed).replace('\'', '`')));
        QCOMPARE(listed(*w->cboFigure), listAfter);
        QCOMPARE(w->cboFigure->selectedItemData(), id);
        QCOMPARE(listed(*w->lstFigureParts), parts);
    }

    void deleteRemovesFigureWithParts() {
        TestCatalogue catalogue(editingRows);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        QCOMPARE(w->cboFigure->Text(), QStringLiteral("Eagle"));
        frmMsgBox::setNextAnswer(6);
        w->cmdDeleteFigure->click();

        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("Are you sure you want to PERMANENTLY remove \r'Eagle' from your "
                                               "database?"));
        QCOMPARE(shown[0].style, qint16(20));
        QCOMPARE(catalogue.rows("SELECT FigureID FROM tblFigure ORDER BY 1"), (QStringList{"1", "3", "40000"}));
        QCOMPARE(catalogue.rows("SELECT FigurePartID FROM tblFigurePart ORDER BY 1"),
                 (QStringList{"1", "2", "4", "5"}));
        QCOMPARE(listed(*w->cboFigure), QStringList{"Horse"});
        QCOMPARE(w->cboFigure->ListIndex(), 0);
        QCOMPARE(listed(*w->lstFigureParts), (QStringList{"Body", "Mane"}));
    }

    void failedDeleteKeepsTheParts() {
        TestCatalogue catalogue(editingRows + refusingTrigger.arg("DELETE"));
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        const QStringList before = everyRow(catalogue);
        frmMsgBox::setNextAnswer(6);
        frmMsgBox::setNextAnswer(1);
        w->cmdDeleteFigure->click();

        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[1].text.startsWith("An error, ") && shown[1].text.contains("locked"), qPrintable(shown[1].text));
        QCOMPARE(everyRow(catalogue), before);
        QCOMPARE(listed(*w->lstFigureParts), QStringList{"Wings"});
    }

    void moveToChosenCategory() {
        TestCatalogue catalogue(editingRows);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        QString heading;
        QStringList offered;
        int preselected = -1;
        whenModalOpens<frmMove>([&](frmMove* move) {
            heading = move->lblMain->text();
            offered = listed(*move->cboCategory);
            preselected = move->cboCategory->ListIndex();
            move->cboCategory->selectEntry(1);
            move->cmdGo->click();
        });
        w->cmdMoveFigure->click();

        QCOMPARE(heading, QStringLiteral("Move figure 'Eagle' to..."));
        QCOMPARE(offered, (QStringList{"Animals", "Knights", "Vehicles"}));
        QCOMPARE(preselected, 0);
        QCOMPARE(catalogue.value("SELECT CategoryID FROM tblFigure WHERE FigureID=2"), QVariant(2));
        QCOMPARE(w->cboCategory->Text(), QStringLiteral("Animals"));
        QCOMPARE(listed(*w->cboFigure), QStringList{"Horse"});
        QCOMPARE(w->cboFigure->ListIndex(), 0);
        w->cboCategory->selectEntry(1);
        QVERIFY(listed(*w->cboFigure).contains("Eagle"));
    }

    void failedMoveKeepsWindowOpen() {
        TestCatalogue catalogue(editingRows + refusingTrigger.arg("UPDATE"));
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        const QStringList before = everyRow(catalogue);
        frmMsgBox::setNextAnswer(1);
        bool openAfterFailure = false;
        whenModalOpens<frmMove>([&](frmMove* move) {
            move->cboCategory->selectEntry(1);
            move->cmdGo->click();
            openAfterFailure = move->isVisible();
            move->cmdCancel->click();
        });
        w->cmdMoveFigure->click();

        QVERIFY(openAfterFailure);
        QCOMPARE(frmMsgBox::takeShown().size(), 1);
        QCOMPARE(everyRow(catalogue), before);
        QCOMPARE(listed(*w->cboFigure), (QStringList{"Eagle", "Horse"}));
    }
};

QTEST_MAIN(FigureCommandsTest)
#include "tst_figurecommands.moc"
