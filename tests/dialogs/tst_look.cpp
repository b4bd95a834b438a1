// The common look: the colours each kind of control takes, the drawn shapes, and the pointer under the mouse.
#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "dialogs/ApplyFormStyle.h"
#include "dialogs/Pointer.h"
#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/frmMsgBox.h"
#include "support/TestCatalogue.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <functional>

Q_DECLARE_METATYPE(Pointer)

namespace {
const QColor background(253, 245, 230);
const QColor text(51, 0, 0);
const QColor shape(128, 128, 255);
const QColor face(245, 245, 245);
const QColor untouched;

QWidget* makeControl(const QString& kind, QWidget* parent) {
    if (kind == "label")
        return new QLabel(QStringLiteral("Category:"), parent);
    if (kind == "picture") {
        auto* picture = new QLabel(parent);
        picture->setPixmap(::picture(QStringLiteral("talk")));
        return picture;
    }
    if (kind == "button")
        return new QPushButton(QStringLiteral("OK"), parent);
    if (kind == "check box")
        return new QCheckBox(QStringLiteral("Check"), parent);
    if (kind == "option button")
        return new QRadioButton(QStringLiteral("Option"), parent);
    if (kind == "shadow")
        return new Shape(Shape::Kind::Shadow, parent);
    if (kind == "group box")
        return new QGroupBox(QStringLiteral("Parts"), parent);
    if (kind == "frame" || kind == "line") {
        auto* frame = new QFrame(parent);
        frame->setFrameShape(kind == "line" ? QFrame::HLine : QFrame::Box);
        return frame;
    }
    if (kind == "combo box")
        return new ComboBox(parent);
    if (kind == "list box")
        return new ListBox(parent);
    if (kind == "text box")
        return new QLineEdit(parent);
    qFatal("unknown control kind");
}

// Moves the mouse the way the window system does, so the move reaches whatever lies under that spot.
void moveOver(QWidget* control, QPoint at) {
    QWidget* window = control->window();
    QTest::mouseMove(window->windowHandle(), control->mapTo(window, at));
}

QPoint centre(const QWidget* control) {
    return control->rect().center();
}

// Acts on the message box once it is open, inside its own event loop; gives up waiting when `test` ends.
void whenMessageBoxOpens(QObject* test, const std::function<void(frmMsgBox*)>& act) {
    QTimer::singleShot(10, test, [test, act] {
        if (auto* box = qobject_cast<frmMsgBox*>(QApplication::activeModalWidget()))
            act(box);
        else
            whenMessageBoxOpens(test, act);
    });
}
} // namespace

class LookTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void controlColours_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QColor>("back");
        QTest::addColumn<QColor>("fore");
        QTest::addColumn<QColor>("buttonFace");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QColor>("border");

        QTest::newRow("label") << "label" << background << text << untouched << untouched << untouched;
        QTest::newRow("button") << "button" << untouched << untouched << face << untouched << untouched;
        QTest::newRow("check box") << "check box" << background << text << untouched << untouched << untouched;
        QTest::newRow("option button") << "option button" << background << text << untouched << untouched << untouched;
        QTest::newRow("shadow") << "shadow" << untouched << untouched << untouched << shape << text;
        QTest::newRow("frame") << "frame" << background << text << untouched << untouched << untouched;
        QTest::newRow("group box") << "group box" << background << text << untouched << untouched << untouched;
        // A line takes no background; its outline is drawn in the text role.
        QTest::newRow("line") << "line" << untouched << text << untouched << untouched << untouched;
        // Pictures are labels and lists are frames underneath; neither may be taken for one.
        QTest::newRow("picture") << "picture" << untouched << untouched << untouched << untouched << untouched;
        QTest::newRow("list box") << "list box" << untouched << untouched << untouched << untouched << untouched;
        QTest::newRow("combo box") << "combo box" << untouched << untouched << untouched << untouched << untouched;
        QTest::newRow("text box") << "text box" << untouched << untouched << untouched << untouched << untouched;
    }

    void controlColours() {
        QFETCH(QString, kind);
        QFETCH(QColor, back);
        QFETCH(QColor, fore);
        QFETCH(QColor, buttonFace);
        QFETCH(QColor, fill);
        QFETCH(QColor, border);

        QWidget window;
        new QLabel(QStringLiteral("before"), &window);
        QWidget* control = makeControl(kind, &window);
        auto* after = new QPushButton(QStringLiteral("after"), &window);
        ApplyFormStyle(&window);

        const QPalette palette = control->palette();
        QCOMPARE(control->testAttribute(Qt::WA_SetPalette), back.isValid() || fore.isValid() || buttonFace.isValid());
        QCOMPARE(control->autoFillBackground(), back.isValid());
        if (back.isValid())
            QCOMPARE(palette.color(QPalette::Window), back);
        if (fore.isValid())
            QCOMPARE(palette.color(QPalette::WindowText), fore);
        if (buttonFace.isValid())
            QCOMPARE(palette.color(QPalette::Button), buttonFace);
        QCOMPARE(control->property("FillColor").value<QColor>(), fill);
        QCOMPARE(control->property("BorderColor").value<QColor>(), border);
        // The controls on either side are styled too: one control never stops the rest.
        QCOMPARE(after->palette().color(QPalette::Button), face);
        QCOMPARE(window.palette().color(QPalette::Window), background);
    }

    // Its only control keeps its own colours; the window takes the background all the same.
    void windowWithoutLabels() {
        QDialog window;
        (new ListBox(&window))->setGeometry(20, 20, 60, 60);
        ApplyFormStyle(&window);
        QVERIFY(window.autoFillBackground());
        QCOMPARE(window.grab().toImage().pixelColor(2, 2), background);
    }

    // A shadow shows only its fill, a frame only its outline with the window's background inside.
    void shapesAsDrawn() {
        QWidget window;
        window.resize(120, 40);
        auto* shadow = new Shape(Shape::Kind::Shadow, &window);
        shadow->setGeometry(10, 10, 40, 20);
        auto* outline = new Shape(Shape::Kind::Frame, &window);
        outline->setGeometry(60, 10, 40, 20);
        ApplyFormStyle(&window);

        const QImage image = window.grab().toImage();
        QCOMPARE(image.pixelColor(10, 10), shape);
        QCOMPARE(image.pixelColor(30, 20), shape);
        QCOMPARE(image.pixelColor(60, 10), text);
        QCOMPARE(image.pixelColor(99, 29), text);
        QCOMPARE(image.pixelColor(80, 20), background);
    }

    void messageBoxIsStyled() {
        frmMsgBox box;
        QCOMPARE(box.lblMsgText->palette().color(QPalette::WindowText), text);
        QCOMPARE(box.cmdOK->palette().color(QPalette::Button), face);
        QCOMPARE(box.shpOK->fillColor(), shape);
        QVERIFY(!box.pctTalk->testAttribute(Qt::WA_SetPalette));
    }

    void pointerAfterMove_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QPoint>("at"); // (0, 0): the middle; a negative part counts from the far edge
        QTest::addColumn<Pointer>("before");
        QTest::addColumn<Pointer>("after");

        const QPoint middle(0, 0);
        QTest::newRow("button") << "cmdExport" << middle << Pointer::Default << Pointer::Custom;
        QTest::newRow("background") << "frmLumaret" << QPoint(-4, -4) << Pointer::Custom << Pointer::Default;
        QTest::newRow("background, busy") << "frmLumaret" << QPoint(4, -4) << Pointer::Busy << Pointer::Default;
        QTest::newRow("disabled button") << "cmdAddFigure" << middle << Pointer::Custom << Pointer::Default;
        QTest::newRow("shadow") << "shpExit" << QPoint(-3, -3) << Pointer::Custom << Pointer::Default;
        QTest::newRow("outline frame") << "Shape3" << QPoint(3, 3) << Pointer::Custom << Pointer::Default;
        QTest::newRow("label") << "lblCategory" << middle << Pointer::Custom << Pointer::Custom;
        QTest::newRow("combo box") << "cboFigure" << middle << Pointer::Custom << Pointer::Custom;
        QTest::newRow("list box") << "lstFigureParts" << middle << Pointer::Custom << Pointer::Custom;
    }

    void pointerAfterMove() {
        QFETCH(QString, control);
        QFETCH(QPoint, at);
        QFETCH(Pointer, before);
        QFETCH(Pointer, after);
        TestCatalogue catalogue(TestCatalogue::sampleSql());
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        auto* target = control == window->objectName() ? window : window->findChild<QWidget*>(control);
        QVERIFY(target);

        moveOver(window->lblChoose, centre(window->lblChoose)); // a start from which nothing changes
        setPointer(before);
        const QPoint spot = at.isNull() ? centre(target)
                                        : QPoint(at.x() < 0 ? target->width() + at.x() : at.x(),
                                                 at.y() < 0 ? target->height() + at.y() : at.y());
        moveOver(target, spot);
        QCOMPARE(pointer(), after);
    }

    // A figure list that cannot be read leaves the busy pointer on; the report about it brings the default back.
    void failedFillPointerReset_data() {
        QTest::addColumn<bool>("moveOverBackground");
        QTest::addColumn<Pointer>("afterMove");
        QTest::newRow("move over its background") << true << Pointer::Default;
        QTest::newRow("press its button") << false << Pointer::Custom;
    }

    void failedFillPointerReset() {
        QFETCH(bool, moveOverBackground);
        QFETCH(Pointer, afterMove);
        TestCatalogue catalogue(QStringLiteral("INSERT INTO tblCategory VALUES (1, 'Animals'), (2, 'Broken');"
                                               "INSERT INTO tblFigure VALUES (1, 1, 'Horse', 'Quadruped');"
                                               "INSERT INTO tblFigure VALUES (2, 2, NULL, 'Unnamed');"));
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);

        Pointer atOpen = Pointer::Default;
        Pointer moved = Pointer::Default;
        QString report;
        QObject waiting;
        whenMessageBoxOpens(&waiting, [&](frmMsgBox* box) {
            atOpen = pointer();
            report = box->lblMsgText->text();
            if (moveOverBackground)
                moveOver(box, QPoint(5, box->height() - 5));
            else
                moveOver(box->cmdOK, centre(box->cmdOK));
            moved = pointer();
            QTest::mouseClick(box->cmdOK, Qt::LeftButton);
        });
        window->cboCategory->selectEntry(1);

        QCOMPARE(report, QStringLiteral("An error, 94: 'Invalid use of Null' has occurred."));
        QCOMPARE(atOpen, Pointer::Busy);
        QCOMPARE(moved, afterMove);
        QCOMPARE(pointer(), Pointer::Default);
    }
};

QTEST_MAIN(LookTest)
#include "tst_look.moc"
