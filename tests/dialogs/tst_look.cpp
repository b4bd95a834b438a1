// The common look: the colours each kind of control takes, and the pointer under the mouse.
#include "app/frmLumaret.h"
#include "dialogs/ApplyFormStyle.h"
#include "dialogs/EntryList.h"
#include "dialogs/Pointer.h"
#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/frmMsgBox.h"
#include "support/ModalWindow.h"
#include "support/TestCatalogue.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(Pointer)

namespace {
const QColor background(253, 245, 230);
const QColor text(51, 0, 0);
const QColor own; // the control keeps its own colour

// Moves the mouse the way the window system does, so the move reaches whatever lies under that spot.
void moveOver(QWidget* control, QPoint at) {
    QWidget* window = control->window();
    QTest::mouseMove(window->windowHandle(), control->mapTo(window, at));
}
} // namespace

class LookTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void controlColours_data() {
        QTest::addColumn<QColor>("back");
        QTest::addColumn<QColor>("fore");
        QTest::addColumn<QColor>("face");
        QTest::newRow("label") << background << text << own;
        QTest::newRow("picture") << own << own << own;
        QTest::newRow("button") << own << own << QColor(245, 245, 245);
        QTest::newRow("frame") << background << text << own;
        QTest::newRow("combo box") << own << own << own;
        QTest::newRow("list box") << own << own << own;
        QTest::newRow("text box") << own << own << own;
    }

    void controlColours() {
        QFETCH(QColor, back);
        QFETCH(QColor, fore);
        QFETCH(QColor, face);
        QWidget window;
        // A picture is a label underneath and a list a frame; neither may be taken for one.
        auto* picture = new QLabel(&window);
        picture->setPixmap(::picture(QStringLiteral("talk")));
        const QMap<QByteArray, QWidget*> controls{{"label", new QLabel(QStringLiteral("Category:"), &window)},
                                                  {"picture", picture},
                                                  {"button", new QPushButton(&window)},
                                                  {"frame", new QFrame(&window)},
                                                  {"combo box", new ComboBox(&window)},
                                                  {"list box", new ListBox(&window)},
                                                  {"text box", new QLineEdit(&window)}};
        ApplyFormStyle(&window);

        QWidget* control = controls[QTest::currentDataTag()];
        const QPalette given = control->palette();
        const QPalette inherited = window.palette();
        QCOMPARE(control->autoFillBackground(), back.isValid());
        QCOMPARE(given.color(QPalette::Window), back.isValid() ? back : inherited.color(QPalette::Window));
        QCOMPARE(given.color(QPalette::WindowText), fore.isValid() ? fore : inherited.color(QPalette::WindowText));
        QCOMPARE(given.color(QPalette::Button), face.isValid() ? face : inherited.color(QPalette::Button));
    }

    // A window with no label still takes the background; a shadow shows only its fill, a frame only its outline.
    void windowAndShapesAsDrawn() {
        QDialog window;
        window.resize(120, 40);
        (new ListBox(&window))->setGeometry(10, 10, 20, 20);
        (new Shape(Shape::Kind::Shadow, &window))->setGeometry(40, 10, 20, 20);
        (new Shape(Shape::Kind::Frame, &window))->setGeometry(70, 10, 20, 20);
        ApplyFormStyle(&window);

        const QImage image = window.grab().toImage();
        QCOMPARE(image.pixelColor(2, 2), background);
        QCOMPARE(image.pixelColor(50, 20), QColor(128, 128, 255));
        QCOMPARE(image.pixelColor(70, 10), text);
        QCOMPARE(image.pixelColor(80, 20), background);
    }

    void pointerAfterMove_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("nearCorner"); // else the middle
        QTest::addColumn<Pointer>("after");
        QTest::newRow("button") << "cmdExport" << false << Pointer::Custom;
        QTest::newRow("background") << "frmLumaret" << true << Pointer::Default;
        QTest::newRow("disabled button") << "cmdAddFigure" << false << Pointer::Default;
        // The shadow's corner that the button above it leaves uncovered.
        QTest::newRow("shape") << "shpExit" << true << Pointer::Default;
    }

    void pointerAfterMove() {
        QFETCH(QString, control);
        QFETCH(bool, nearCorner);
        QFETCH(Pointer, after);
        TestCatalogue catalogue(TestCatalogue::sampleSql());
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        QWidget* target = control == window->objectName() ? window : window->findChild<QWidget*>(control);
        QVERIFY(target);

        moveOver(ui(window).lblChoose, ui(window).lblChoose->rect().center());     // a start from which nothing changes
        setPointer(after == Pointer::Custom ? Pointer::Default : Pointer::Custom); // so that the move must change it
        moveOver(target, nearCorner ? target->rect().bottomRight() - QPoint(3, 3) : target->rect().center());
        QCOMPARE(pointer(), after);
    }

    // A figure list that cannot be read leaves the busy pointer on; the report about it, a real message box,
    // brings the default back under the mouse.
    void failedFillPointerReset() {
        TestCatalogue catalogue(QStringLiteral("INSERT INTO tblCategory VALUES (1, 'Animals'), (2, 'Broken');"
                                               "INSERT INTO tblFigure VALUES (2, 2, NULL, 'Unnamed')"));
        frmLumaret* window = startProgram(catalogue);
        QVERIFY(window);
        QList<Pointer> seen; // as the box opens, and after a move over its background
        whenModalOpens<frmMsgBox>([&](frmMsgBox* box) {
            seen << pointer();
            moveOver(box, QPoint(5, box->height() - 5));
            seen << pointer();
            box->cmdOK->click();
        });
        ui(window).cboCategory->selectEntry(1);
        QCOMPARE(seen, (QList<Pointer>{Pointer::Busy, Pointer::Default}));
    }
};

QTEST_MAIN(LookTest)
#include "tst_look.moc"
