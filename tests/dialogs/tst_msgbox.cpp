// The message box: which buttons and picture each style shows and where, what each way of closing answers, and
// every message of the program read whole; the text input: the picture each style shows, and what each way of
// ending it hands back; and guarded routines: whatever a command throws is shown and the program carries on.
#include "app/AccessStart.h"
#include "app/StartPlacement.h"
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/FileDialog.h"
#include "dialogs/Pointer.h"
#include "dialogs/ReportError.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"
#include "support/ModalWindow.h"
#include "support/TestCatalogue.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <new>
#include <stdexcept>

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

// What of a prepared message cannot be read; empty when all of it can. The window keeps its width.
QString cutIn(frmMsgBox& box, const QString& text) {
    QLabel* label = box.lblMsgText;
    if (label->heightForWidth(label->width()) > label->height() || label->geometry().bottom() >= box.height())
        return "cut at the foot";
    const QFontMetrics metrics(label->font());
    for (QString line : label->text().split('\n')) {
        while (line.endsWith(' '))
            line.chop(1);
        if (metrics.horizontalAdvance(line) > label->contentsRect().width())
            return "cut at the side: " + line;
    }
    if (QString(label->text()).remove('\n') != displayLines(text).remove('\n'))
        return "text lost";
    for (QPushButton* b : {box.cmdOK, box.cmdYes, box.cmdNo, box.cmdCancel})
        if (!b->isHidden() && (b->y() <= label->geometry().bottom() || b->geometry().bottom() >= box.height()))
            return "buttons over the text or below the window";
    return box.width() == px(frmMsgBox::clientWidth) ? QString() : "width changed";
}
} // namespace

class MsgBoxTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void layout_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("expected");
        // Styles 2 and 48 are unknown: no buttons, no picture.
        for (const QString& row : QStringLiteral("0=OK@2227.5 talk,16=OK@2227.5 hand,64=OK@2227.5 alert,1=OK@1732.5 "
                                                 "Cancel@3172.5 talk,4=Yes@1732.5 No@3172.5 talk,20=Yes@1507.5 "
                                                 "No@2947.5 hand,3=Yes@750 No@2190 Cancel@3630 talk,2=,48=")
                                      .split(','))
            QTest::newRow(qPrintable(row)) << row.section('=', 0, 0).toInt() << row.section('=', 1);
    }

    void layout() {
        QFETCH(int, style);
        QFETCH(QString, expected);
        frmMsgBox box;
        // A box that showed another style before must not keep any of it: every showing starts afresh.
        box.prepare("first", msgbox::YesNoCancel, "first");
        box.prepare("Are you sure?", msgbox::Style(style), "Warning");
        QCOMPARE(layoutOf(box), expected);
        QCOMPARE(box.windowTitle(), QStringLiteral("Warning"));
        QCOMPARE(box.size(), QSize(378, 118));
    }

    // Each way of ending the message box (its answer; 0: it stays open) and the text input (style -1; 1: the text
    // handed back as it stands, blanks and all, and whole: longer than a line edit takes unless told otherwise).
    void endings_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        for (const QString& row :
             QStringLiteral("0 cmdOK 1,0 enter 1,20 cmdYes 6,20 cmdNo 7,3 cmdCancel 2,1 escape 2,20 "
                            "close 2,48 close 2,20 escape 0,-1 cmdOK 1,-1 enter 1,-1 cmdCancel 2,"
                            "-1 escape 2,-1 close 2")
                 .split(',')) {
            const QStringList field = row.split(' ');
            QTest::newRow(qPrintable(row)) << field[0].toInt() << field[1] << field[2].toInt();
        }
    }

    void endings() {
        QFETCH(int, style);
        QFETCH(QString, action);
        QFETCH(int, answer);
        const QString proposed = "  Tower's " + QString(40000, QLatin1Char('o')) + "top  ";
        frmMsgBox box;
        frmInputBox input;
        box.prepare("text", msgbox::Style(style), "caption");
        input.prepare(QStringLiteral("Prompt"), msgbox::Information, QStringLiteral("Caption"), proposed);
        QDialog* shown = style < 0 ? static_cast<QDialog*>(&input) : &box;
        shown->show();
        setPointer(Pointer::Custom);
        if (action == "close")
            shown->close();
        else if (action.startsWith("cmd"))
            shown->findChild<QPushButton*>(action)->click();
        else
            QTest::keyClick(style < 0 ? static_cast<QWidget*>(input.txtReason) : &box,
                            action == "enter" ? Qt::Key_Return : Qt::Key_Escape);
        QCOMPARE(shown->isVisible(), answer == 0);
        if (style < 0)
            QCOMPARE(input.text(), answer == 1 ? proposed : QString());
        else if (answer != 0)
            QCOMPARE(int(box.answer()), answer);
        if (action != "close" && answer != 0) // its buttons and keys give the pointer back before it goes
            QCOMPARE(pointer(), Pointer::Default);
    }

    void carriageReturnBreaksTheLine() {
        frmMsgBox box;
        box.prepare("remove \r'Horse' from\r\nyour database?", msgbox::YesNo | msgbox::Stop, "Warning");
        QCOMPARE(box.lblMsgText->text(), QStringLiteral("remove \n'Horse' from\nyour database?"));
    }

    // Every message the program raises, with long paths and names: those of the main window's commands as they
    // come, and those of start-up, which need a catalogue of another kind or none.
    void everyMessageReadsWhole() {
        const QTemporaryDir base;
        const QString folder = base.path() + "/" + QString(70, 'd') + "/Transfer files of the " + QString(50, 'e');
        QVERIFY(QDir().mkpath(folder));
        const QString name = "The " + QString(60, 'l') + " figure";
        TestCatalogue catalogue(TestCatalogue::sampleSql() + "UPDATE tblFigure SET FigureName='" + name +
                                "' WHERE FigureID=3; UPDATE tblCategory SET CategoryName='Animals of the " +
                                QString(40, 'c') + "' WHERE CategoryID=1");
        START_PROGRAM(w, catalogue);
        ui(w).cboFigure->selectByItemData(3);
        const QString file = folder + "/" + name + ".lrx";
        for (const QString& chosen : {file, folder + "/missing/" + name + ".lrx"}) {
            FileDialog::setNextFileName(chosen); // exported, then the folder is missing
            frmMsgBox::setNextAnswer(msgbox::Ok);
            ui(w).cmdExport->click();
        }
        FileDialog::setNextFileName(file); // imported under a name that is taken
        frmMsgBox::setNextAnswer(msgbox::Ok);
        ui(w).cmdImport->click();
        frmMsgBox::setNextAnswer(msgbox::Yes); // asked, then told the category is in use
        frmMsgBox::setNextAnswer(msgbox::Ok);
        named<QPushButton>(w, "cmdDeleteCategory")->click();
        QList<ShownMessage> shown = frmMsgBox::takeShown();
        QCOMPARE(shown.size(), 5);
        const QString catalogueFile = folder + "/data.mdb";
        shown << ShownMessage{modLumaretStart::createQuestion(catalogueFile), msgbox::YesNo | msgbox::Information}
              << ShownMessage{accessStart::question(catalogueFile), msgbox::YesNo | msgbox::Information}
              << ShownMessage{accessStart::keptNameTakenNotice(catalogueFile), msgbox::OkOnly | msgbox::Stop}
              << ShownMessage{frmLumaret::emptyCategoryNotice, msgbox::OkOnly}
              << ShownMessage{"The catalogue could not be created.\r\n\r\nError 75: Path/File access error: '" +
                                  catalogueFile + "' (No such file or directory)",
                              msgbox::OkOnly | msgbox::Stop}
              << ShownMessage{"LumaretTool cannot start.\r\n\r\nError 1544: The folder '" + folder +
                                  "' is read-only; the catalogue needs it writable for its journal (attempt to write a "
                                  "readonly database).",
                              msgbox::OkOnly | msgbox::Stop};
        for (const ShownMessage& message : shown) {
            frmMsgBox box;
            box.prepare(message.text, message.style, message.caption);
            const QString cut = cutIn(box, message.text);
            QVERIFY2(cut.isEmpty(), qPrintable(cut + " in: " + message.text));
        }
    }

    void everyExceptionIsReported_data() {
        QTest::addColumn<QString>("thrown");
        QTest::addColumn<bool>("fileCommand");
        QTest::addColumn<QString>("shown"); // empty: nothing is shown
        QTest::newRow("no memory") << "bad_alloc" << false << "An error, 7: 'Out of memory' has occurred.";
        QTest::newRow("no memory in a file command")
            << "bad_alloc" << true << "An error, 7: 'Out of memory' has occurred.";
        QTest::newRow("a library's own") << "length_error" << false
                                         << "An error, 51: 'Internal error: too long' has occurred.";
        // The sentence takes any number and any description, an empty one too.
        QTest::newRow("a failure") << "failure" << false << "An error, -2147467259: '' has occurred.";
        QTest::newRow("cancelled file dialog") << "cancel" << true << "";
    }

    void everyExceptionIsReported() {
        QFETCH(QString, thrown);
        QFETCH(bool, fileCommand);
        QFETCH(QString, shown);
        const auto command = [&] {
            if (thrown == "bad_alloc")
                throw std::bad_alloc();
            if (thrown == "length_error")
                throw std::length_error("too long");
            if (thrown == "failure")
                throw Failure::withNumber(-2147467259, QString());
            throw Failure(failure::Cancelled, QStringLiteral("Cancelled"));
        };
        if (!shown.isEmpty())
            frmMsgBox::setNextAnswer(msgbox::Ok);
        if (fileCommand)
            guardedFileCommand(command);
        else
            guarded(command); // returns: nothing reaches the event loop
        const QList<ShownMessage> messages = frmMsgBox::takeShown();
        QCOMPARE(messages.size(), shown.isEmpty() ? 0 : 1);
        if (!shown.isEmpty()) {
            QCOMPARE(messages[0].text, shown);
            QCOMPARE(messages[0].caption, QStringLiteral("Notice"));
            QCOMPARE(messages[0].style, msgbox::OkOnly);
        }
    }

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

    // Both ask through the real, modal window and wait for it.
    void realWindows() {
        QString seen;
        whenModalOpens<frmMsgBox>([&](frmMsgBox* box) {
            seen = box->windowTitle();
            box->cmdNo->click();
        });
        QCOMPARE(ShowMessage("Delete it?", msgbox::YesNo | msgbox::Stop, "Warning"), msgbox::No);
        QCOMPARE(seen, QStringLiteral("Warning"));
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

QTEST_MAIN(MsgBoxTest)
#include "tst_msgbox.moc"
