// The message box: which buttons and picture each style shows and where, what each way of closing answers,
// and the failure sentence.
#include "dialogs/Pointer.h"
#include "dialogs/ReportError.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
// "OK@2227.5 talk": the visible buttons by name and designed left edge, then the visible picture.
QString layoutOf(frmMsgBox& box) {
    QStringList parts;
    for (QPushButton* b : {box.cmdOK, box.cmdYes, box.cmdNo, box.cmdCancel}) {
        if (b->isHidden())
            continue;
        const double left = b->property("leftTwips").toDouble();
        parts << b->objectName().mid(3) + "@" + QString::number(left);
        auto* shadow = box.findChild<Shape*>("shp" + b->objectName().mid(3));
        if (!shadow || shadow->isHidden() || shadow->x() != px(left + 120) || shadow->y() != b->y() + px(120))
            parts << "(shadow misplaced)";
        if (b->x() != px(left))
            parts << "(button misplaced)";
    }
    for (QLabel* p : {box.pctTalk, box.pctHand, box.pctAlert})
        if (!p->isHidden())
            parts << p->objectName().mid(3).toLower() + (p->pos() == QPoint(px(360), px(360)) ? "" : "(misplaced)");
    for (Shape* s : {box.shpOK, box.shpYes, box.shpNo, box.shpCancel})
        if (!s->isHidden() && box.findChild<QPushButton*>("cmd" + s->objectName().mid(3))->isHidden())
            parts << "(stray shadow)";
    return parts.join(' ');
}
} // namespace

class MsgBoxTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void layout_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0") << 0 << "OK@2227.5 talk";
        QTest::newRow("16") << 16 << "OK@2227.5 hand";
        QTest::newRow("64") << 64 << "OK@2227.5 alert";
        QTest::newRow("1") << 1 << "OK@1732.5 Cancel@3172.5 talk";
        QTest::newRow("4") << 4 << "Yes@1732.5 No@3172.5 talk";
        QTest::newRow("20") << 20 << "Yes@1507.5 No@2947.5 hand";
        QTest::newRow("3") << 3 << "Yes@750 No@2190 Cancel@3630 talk";
        QTest::newRow("2: unknown") << 2 << "";
        QTest::newRow("48: unknown") << 48 << "";
    }

    void layout() {
        QFETCH(int, style);
        QFETCH(QString, expected);
        frmMsgBox box;
        // A box that showed another style before must not keep any of it: every showing starts afresh.
        box.prepare("first", 3, "first");
        box.prepare("Are you sure?", qint16(style), "Warning");
        QCOMPARE(layoutOf(box), expected);
        QCOMPARE(box.windowTitle(), QStringLiteral("Warning"));
        QCOMPARE(box.size(), QSize(378, 118));
    }

    void answers_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK") << 0 << "cmdOK" << 1;
        QTest::newRow("Enter on OK") << 0 << "enter" << 1;
        QTest::newRow("Yes") << 20 << "cmdYes" << 6;
        QTest::newRow("No") << 20 << "cmdNo" << 7;
        QTest::newRow("Cancel") << 3 << "cmdCancel" << 2;
        QTest::newRow("Escape with Cancel") << 1 << "escape" << 2;
        QTest::newRow("close box on a question") << 20 << "close" << 2;
        QTest::newRow("close box with no buttons") << 48 << "close" << 2;
        QTest::newRow("Escape without Cancel stays open") << 20 << "escape" << 0;
    }

    void answers() {
        QFETCH(int, style);
        QFETCH(QString, action);
        QFETCH(int, answer);
        frmMsgBox box;
        box.prepare("text", qint16(style), "caption");
        box.show();
        setPointer(Pointer::Custom);
        if (action == "enter")
            QTest::keyClick(&box, Qt::Key_Return);
        else if (action == "escape")
            QTest::keyClick(&box, Qt::Key_Escape);
        else if (action == "close")
            box.close();
        else
            box.findChild<QPushButton*>(action)->click();
        QCOMPARE(box.isVisible(), answer == 0);
        if (answer != 0)
            QCOMPARE(int(box.answer()), answer);
        if (action.startsWith("cmd")) // its buttons give the pointer back before the box goes
            QCOMPARE(pointer(), Pointer::Default);
    }

    void carriageReturnBreaksTheLine() {
        frmMsgBox box;
        box.prepare("remove \r'Horse' from\r\nyour database?", 20, "Warning");
        QCOMPARE(box.lblMsgText->text(), QStringLiteral("remove \n'Horse' from\nyour database?"));
    }

    void showMessageWaitsForTheRealWindow() {
        QString seenCaption;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<frmMsgBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seenCaption = box->windowTitle();
            box->cmdNo->click();
        });
        QCOMPARE(int(ShowMessage("Delete it?", 20, "Warning")), 7);
        QCOMPARE(seenCaption, QStringLiteral("Warning"));
    }

    void failureSentence_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("empty description") << 7 << ""
                                           << "An error, 7: '' has occurred.";
        QTest::newRow("negative number") << -2147467259 << "Unspecified"
                                         << "An error, -2147467259: 'Unspecified' has occurred.";
    }

    void failureSentence() {
        QFETCH(int, number);
        QFETCH(QString, description);
        QFETCH(QString, sentence);
        frmMsgBox::setNextAnswer(1);
        ReportError(Failure::withNumber(number, description));
        const QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, sentence);
        QCOMPARE(shown[0].style, qint16(0));
        QCOMPARE(shown[0].caption, QStringLiteral("Notice"));
    }
};

QTEST_MAIN(MsgBoxTest)
#include "tst_msgbox.moc"
