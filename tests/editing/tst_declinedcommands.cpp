// Every way of saying no to a command: nothing is written and the lists are not even read again.
#include "EditingCatalogue.h"
#include "app/frmLumaret.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"
#include "editing/frmMove.h"
#include "support/ModalWindow.h"

#include <QPushButton>
#include <QtTest>

class DeclinedCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void changesNothing_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("answer");
        for (const char* button : {"cmdAddCategory", "cmdEditCategory", "cmdEditFigure"}) {
            QTest::addRow("%s, Cancel", button) << button << "cancel";
            QTest::addRow("%s, OK on an empty field", button) << button << "empty";
        }
        for (const char* button : {"cmdDeleteCategory", "cmdDeleteFigure"}) {
            QTest::addRow("%s, No", button) << button << "no";
            QTest::addRow("%s, closed", button) << button << "closed";
        }
        QTest::newRow("move, Cancel") << "cmdMoveFigure"
                                      << "cancel";
        QTest::newRow("move, Escape") << "cmdMoveFigure"
                                      << "escape";
        QTest::newRow("move, closed") << "cmdMoveFigure"
                                      << "closed";
    }

    void changesNothing() {
        QFETCH(QString, button);
        QFETCH(QString, answer);
        TestCatalogue catalogue(editingRows);
        frmLumaret* w = startProgram(catalogue);
        QVERIFY(w);
        w->cboCategory->selectEntry(1); // Knights
        w->cboFigure->selectEntry(1);   // Knight
        const QStringList categories = listed(*w->cboCategory);
        const QStringList figures = listed(*w->cboFigure);
        // Rows another program adds meanwhile would show up in any list that is read again.
        catalogue.exec("INSERT INTO tblCategory VALUES (9, 'Aaa');"
                       "INSERT INTO tblFigure VALUES (99, 2, 'Aaa', 'Standing')");
        const QStringList before = everyRow(catalogue);

        bool windowSeen = !button.startsWith("cmdMove");
        if (!windowSeen) {
            whenModalOpens<frmMove>([&](frmMove* move) {
                windowSeen = true;
                if (answer == "cancel")
                    move->cmdCancel->click();
                else if (answer == "escape")
                    QTest::keyClick(move, Qt::Key_Escape);
                else
                    move->close();
            });
        } else if (answer == "cancel" || answer == "empty") {
            frmInputBox::setNextText(answer == "empty" ? std::optional<QString>(QString()) : std::nullopt);
        } else {
            frmMsgBox::setNextAnswer(answer == "no" ? 7 : 2);
        }
        w->findChild<QPushButton*>(button)->click();
        QVERIFY(windowSeen);

        QCOMPARE(everyRow(catalogue), before);
        QCOMPARE(listed(*w->cboCategory), categories);
        QCOMPARE(listed(*w->cboFigure), figures);
        QCOMPARE(w->cboCategory->Text(), QStringLiteral("Knights"));
        QCOMPARE(w->cboFigure->Text(), QStringLiteral("Knight"));
        QCOMPARE(listed(*w->lstFigureParts), QStringList{"Sword"});
    }
};

QTEST_MAIN(DeclinedCommandsTest)
#include "tst_declinedcommands.moc"
