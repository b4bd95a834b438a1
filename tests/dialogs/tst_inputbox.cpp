// The text input: the picture each style shows, and what each way of ending it hands back.
#include "dialogs/Pointer.h"
#include "dialogs/frmInputBox.h"
#include "support/ModalWindow.h"
#include "support/TestCatalogue.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
const QString proposed = QStringLiteral("  Tower's top  ");
}

class InputBoxTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void picturesByStyle_data() {
        QTest::addColumn<qint16>("style");
        QTest::addColumn<bool>("talkShown");
        QTest::addColumn<QPoint>("talkAt");
        QTest::addColumn<bool>("alertShown");
        QTest::addColumn<QPoint>("alertAt");
        // 360 twips are 24 pixels; the designed places are (240, 720) for talk and (240, 240) for alert.
        QTest::newRow("64 information") << qint16(64) << true << QPoint(24, 24) << false << QPoint(16, 16);
        QTest::newRow("16 alert") << qint16(16) << false << QPoint(16, 48) << true << QPoint(24, 24);
        QTest::newRow("other: as designed") << qint16(0) << true << QPoint(16, 48) << true << QPoint(16, 16);
    }

    void picturesByStyle() {
        QFETCH(qint16, style);
        frmInputBox box;
        box.prepare(QStringLiteral("Prompt"), style, QStringLiteral("Caption"), QString());
        QFETCH(bool, talkShown);
        QFETCH(QPoint, talkAt);
        QFETCH(bool, alertShown);
        QFETCH(QPoint, alertAt);
        QCOMPARE(!box.pctTalk->isHidden(), talkShown);
        QCOMPARE(box.pctTalk->pos(), talkAt);
        QCOMPARE(!box.pctAlert->isHidden(), alertShown);
        QCOMPARE(box.pctAlert->pos(), alertAt);
    }

    void endings_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("resetsPointer");
        QTest::newRow("OK keeps blanks and apostrophes") << "ok" << proposed << true;
        QTest::newRow("Enter in the field") << "enter" << proposed << true;
        QTest::newRow("Cancel") << "cancel" << QString() << true;
        QTest::newRow("Escape") << "escape" << QString() << true;
        QTest::newRow("title bar close") << "close" << QString() << false;
        QTest::newRow("OK on an empty field") << "empty ok" << QString() << true;
    }

    void endings() {
        QFETCH(QString, ending);
        QFETCH(QString, expected);
        QFETCH(bool, resetsPointer);
        frmInputBox box;
        box.prepare(QStringLiteral("Prompt"), 64, QStringLiteral("Caption"), proposed);
        box.show();
        setPointer(Pointer::Custom);
        if (ending == "ok")
            box.cmdOK->click();
        else if (ending == "enter")
            QTest::keyClick(box.txtReason, Qt::Key_Return);
        else if (ending == "cancel")
            box.cmdCancel->click();
        else if (ending == "escape")
            QTest::keyClick(box.txtReason, Qt::Key_Escape);
        else if (ending == "close")
            box.close();
        else if (ending == "empty ok") {
            box.txtReason->clear();
            box.cmdOK->click();
        }
        QVERIFY(box.isHidden());
        QCOMPARE(box.text(), expected);
        if (resetsPointer)
            QCOMPARE(pointer(), Pointer::Default);
    }

    // The one run through the real modal window: what the user sees and types reaches the caller.
    void askTextShowsAndReturnsTypedLine() {
        QString caption, prompt;
        whenModalOpens<frmInputBox>([&](frmInputBox* box) {
            caption = box->windowTitle();
            prompt = box->lblMsgText->text();
            // The proposed text opens selected, ready to be typed over; add to it instead.
            QTest::keyClick(box->txtReason, Qt::Key_End);
            QTest::keyClicks(box->txtReason, QStringLiteral("'s"));
            QTest::keyClick(box->txtReason, Qt::Key_Return);
        });
        const QString answer = AskText(QStringLiteral("Enter a new name for this figure."), 64,
                                       QStringLiteral("Please enter a new name"), QStringLiteral(" Knight"));
        QCOMPARE(answer, QStringLiteral(" Knight's"));
        QCOMPARE(caption, QStringLiteral("Please enter a new name"));
        QCOMPARE(prompt, QStringLiteral("Enter a new name for this figure."));
    }
};

QTEST_MAIN(InputBoxTest)
#include "tst_inputbox.moc"
