// The text input: the picture each style shows, and what each way of ending it hands back.
#include "dialogs/Pointer.h"
#include "dialogs/frmInputBox.h"
#include "support/ModalWindow.h"
#include "support/TestCatalogue.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class InputBoxTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    // Where each picture stands, or (0, 0) when hidden. 360 twips are 24 pixels; as designed, the talk picture
    // stands at (240, 720) and the alert at (240, 240).
    void picturesByStyle_data() {
        QTest::addColumn<msgbox::Style>("style");
        QTest::addColumn<QPoint>("talk");
        QTest::addColumn<QPoint>("alert");
        QTest::newRow("64 information") << msgbox::Information << QPoint(24, 24) << QPoint();
        QTest::newRow("16 alert") << msgbox::Stop << QPoint() << QPoint(24, 24);
        QTest::newRow("other: as designed") << msgbox::OkOnly << QPoint(16, 48) << QPoint(16, 16);
    }

    void picturesByStyle() {
        QFETCH(msgbox::Style, style);
        QFETCH(QPoint, talk);
        QFETCH(QPoint, alert);
        frmInputBox box;
        box.prepare(QStringLiteral("Prompt"), style, QStringLiteral("Caption"), QString());
        QCOMPARE(box.pctTalk->isHidden() ? QPoint() : box.pctTalk->pos(), talk);
        QCOMPARE(box.pctAlert->isHidden() ? QPoint() : box.pctAlert->pos(), alert);
    }

    void endings_data() {
        QTest::addColumn<bool>("kept");
        QTest::newRow("OK") << true;
        QTest::newRow("Enter") << true;
        QTest::newRow("Cancel") << false;
        QTest::newRow("Escape") << false;
        QTest::newRow("closed") << false;
    }

    void endings() {
        QFETCH(bool, kept);
        // Handed back as it stands, blanks and all, and whole: longer than a line edit takes unless told otherwise.
        const QString proposed = "  Tower's " + QString(40000, QLatin1Char('o')) + "top  ";
        const QByteArray ending = QTest::currentDataTag();
        frmInputBox box;
        box.prepare(QStringLiteral("Prompt"), msgbox::Information, QStringLiteral("Caption"), proposed);
        box.show();
        setPointer(Pointer::Custom);
        if (ending == "OK")
            box.cmdOK->click();
        else if (ending == "Cancel")
            box.cmdCancel->click();
        else if (ending == "closed")
            box.close();
        else
            QTest::keyClick(box.txtReason, ending == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(box.isHidden());
        QCOMPARE(box.text(), kept ? proposed : QString());
        if (ending != "closed") // the buttons and keys put the pointer back
            QCOMPARE(pointer(), Pointer::Default);
    }

    void askTextThroughTheRealWindow() {
        QString seen;
        whenModalOpens<frmInputBox>([&](frmInputBox* box) {
            seen = box->windowTitle() + '|' + box->lblMsgText->text();
            // The proposed text opens selected, ready to be typed over; add to it instead.
            QTest::keyClick(box->txtReason, Qt::Key_End);
            QTest::keyClicks(box->txtReason, QStringLiteral("'s"));
            QTest::keyClick(box->txtReason, Qt::Key_Return);
        });
        QCOMPARE(AskText(QStringLiteral("Prompt"), msgbox::Information, QStringLiteral("Caption"),
                         QStringLiteral(" Knight")),
                 QStringLiteral(" Knight's"));
        QCOMPARE(seen, QStringLiteral("Caption|Prompt"));
    }
};

QTEST_MAIN(InputBoxTest)
#include "tst_inputbox.moc"
