// The four windows against their drawn layouts: every control's caption, tooltip, place and size in twips,
// which button is the default, what assistive technology calls the controls whose caption or value does not say
// what they are, the keyboard order, and Return pressing the focused button; and the common look: the colours
// each kind of control takes, and the pointer under the mouse.
#include "app/frmLumaret.h"
#include "dialogs/ApplyFormStyle.h"
#include "dialogs/EntryList.h"
#include "dialogs/Pointer.h"
#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMove.h"
#include "dialogs/frmMsgBox.h"
#include "support/ModalWindow.h"
#include "support/TestCatalogue.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

namespace {
// Each window as the program shows it, without waiting for the user. The main window stays the program's own
// (ending the test closes it); the dialogs go when the caller lets go of them.
std::shared_ptr<QWidget> openWindow(const QString& name) {
    static const TestCatalogue sample(TestCatalogue::sampleSql());
    frmLumaret* main = startProgram(sample); // selects Animals and its first figure, Dragon
    if (!main)
        return nullptr;
    if (name == "frmLumaret")
        return {main, [](QWidget*) {}};
    if (name == "frmMove")
        return std::make_shared<frmMove>(main, main->db(),
                                         frmMove::Owner{"Dragon", nullptr,
                                                        [main](ComboBox* c) {
                                                            fillCategories(main->db(), *c);
                                                            c->selectEntry(0);
                                                        },
                                                        nullptr});
    if (name == "frmMsgBox") {
        auto box = std::make_shared<frmMsgBox>();
        // OK and Cancel take the places this showing gives them; the hidden Yes and No keep their designed ones.
        box->prepare("Are you sure?", msgbox::OkCancel, "Warning");
        return box;
    }
    auto input = std::make_shared<frmInputBox>();
    input->prepare("Enter a new name for this figure.", msgbox::Information, "Please enter a new name", "Dragon");
    return input;
}

// A text the program writes while it runs (the selected entries, the names in a tooltip); not part of the design.
constexpr const char* runTime = nullptr;

struct Control {
    const char* window;
    const char* name; // the window's own name: the row is about the window (caption, client size)
    const char* text;
    const char* tip;
    double left, top, width, height;
    bool isDefault;
};

// Where a showing moves a control, the place is the one that showing gives it; the designed one otherwise. The
// pictures and shadows a showing hides are left out: where they wait is never seen.
// The main window's caption is the versioned one that selecting the first figure at start gives it.
const Control designed[] = {
    {"frmLumaret", "frmLumaret", "Lumaret Import/ Export Tool, v. 1.0.0", "", 0, 0, 7245, 4710, false},
    {"frmLumaret", "lblChoose", "Choose a category and figure:", "", 240, 120, 3375, 255, false},
    {"frmLumaret", "lblCategory", "Category:", "", 240, 480, 2415, 255, false},
    {"frmLumaret", "cboCategory", runTime, "", 240, 720, 3015, 315, false},
    {"frmLumaret", "cmdAddCategory", "Add", "Add a new category to the list.", 240, 1200, 855, 375, false},
    {"frmLumaret", "cmdEditCategory", "Rename", "Rename this category.", 1320, 1200, 855, 375, false},
    {"frmLumaret", "cmdDeleteCategory", "Delete", "Remove this category.", 2400, 1200, 855, 375, false},
    {"frmLumaret", "lblFigure", "Figure:", "", 3600, 480, 2415, 255, false},
    {"frmLumaret", "cboFigure", runTime, "", 3600, 720, 3375, 315, false},
    {"frmLumaret", "cmdAddFigure", "Add", "Add a new figure (cr2) to the list.", 3600, 1200, 855, 375, false},
    {"frmLumaret", "cmdEditFigure", "Rename", "Rename this figure.", 4440, 1200, 855, 375, false},
    {"frmLumaret", "cmdDeleteFigure", "Delete", "Remove this figure.", 5280, 1200, 855, 375, false},
    {"frmLumaret", "cmdMoveFigure", "Move", "Move this figure to another category.", 6120, 1200, 855, 375, false},
    {"frmLumaret", "lbMaterials", "Materials:", "", 360, 1800, 735, 255, false},
    {"frmLumaret", "lstFigureParts", runTime, "All of these materials will be exported.", 360, 2040, 3015, 840, false},
    {"frmLumaret", "lblFigureType", runTime, "", 3600, 1920, 3255, 255, false},
    {"frmLumaret", "cmdImport", "Import", runTime, 360, 3240, 1575, 495, false},
    {"frmLumaret", "cmdExport", "Export", runTime, 5280, 3240, 1575, 495, false},
    {"frmLumaret", "cmdCancel", "Exit", "Exit this program.", 2880, 4080, 1575, 495, false},

    {"frmMove", "frmMove", "Move Figure", "", 0, 0, 4335, 2025, false},
    {"frmMove", "lblMain", "Move figure 'Dragon' to...", "", 240, 240, 3735, 255, false},
    {"frmMove", "lblCategory", "Category:", "", 240, 600, 1215, 255, false},
    {"frmMove", "cboCategory", runTime, "", 240, 840, 2415, 315, false},
    {"frmMove", "cmdGo", "OK", "Move the figure to the selected category.", 240, 1320, 1575, 495, true},
    {"frmMove", "cmdCancel", "Cancel", "Do not move the figure to the selected category.", 2400, 1320, 1575, 495,
     false},
    {"frmMove", "shpGo", "", "", 360, 1440, 1575, 495, false},
    {"frmMove", "shpExit", "", "", 2520, 1440, 1575, 495, false},

    {"frmMsgBox", "frmMsgBox", "Warning", "", 0, 0, 5670, 1770, false},
    {"frmMsgBox", "lblMsgText", "Are you sure?", "", 960, 240, 4575, 855, false},
    {"frmMsgBox", "pctTalk", "", "", 360, 360, 495, 495, false},
    {"frmMsgBox", "cmdOK", "OK", "", 1732.5, 1200, 1215, 375, true},
    {"frmMsgBox", "cmdYes", "&Yes", "", 1680, 1200, 1215, 375, false},
    {"frmMsgBox", "cmdNo", "&No", "", 3000, 1200, 1215, 375, false},
    {"frmMsgBox", "cmdCancel", "Cancel", "", 3172.5, 1200, 1215, 375, false},
    {"frmMsgBox", "shpOK", "", "", 1852.5, 1320, 1215, 375, false},
    {"frmMsgBox", "shpCancel", "", "", 3292.5, 1320, 1215, 375, false},

    {"frmInputBox", "frmInputBox", "Please enter a new name", "", 0, 0, 5400, 2205, false},
    {"frmInputBox", "lblMsgText", "Enter a new name for this figure.", "", 960, 240, 4095, 855, false},
    {"frmInputBox", "pctTalk", "", "", 360, 360, 495, 495, false},
    {"frmInputBox", "txtReason", "Dragon", "", 360, 1200, 4695, 285, false},
    {"frmInputBox", "cmdOK", "OK", "", 720, 1680, 1215, 375, true},
    {"frmInputBox", "cmdCancel", "Cancel", "", 3480, 1680, 1215, 375, false},
    {"frmInputBox", "shpOK", "", "", 840, 1800, 1215, 375, false},
    {"frmInputBox", "shpCancel", "", "", 3600, 1800, 1215, 375, false},
};

// Names that assistive technology reads for the main window's controls in place of their value or caption. The
// hidden figure type is given a fixed name, so that its changing text is not announced.
const QMap<QString, QString> accessibleNames{{"cboCategory", "Category"},
                                             {"cboFigure", "Figure"},
                                             {"lstFigureParts", "Materials"},
                                             {"lblFigureType", "Figure type"},
                                             {"cmdAddCategory", "Add category"},
                                             {"cmdEditCategory", "Rename category"},
                                             {"cmdDeleteCategory", "Delete category"},
                                             {"cmdAddFigure", "Add figure"},
                                             {"cmdEditFigure", "Rename figure"},
                                             {"cmdDeleteFigure", "Delete figure"},
                                             {"cmdMoveFigure", "Move figure"}};

QString textOf(const QWidget* control) {
    if (control->isWindow())
        return control->windowTitle();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* line = qobject_cast<const QLineEdit*>(control))
        return line->text();
    return QString(); // pictures and shapes show no text
}

const QColor background(253, 245, 230);
const QColor text(51, 0, 0);
const QColor own; // the control keeps its own colour

// Moves the mouse the way the window system does, so the move reaches whatever lies under that spot.
void moveOver(QWidget* control, QPoint at) {
    QWidget* window = control->window();
    QTest::mouseMove(window->windowHandle(), control->mapTo(window, at));
}
} // namespace

Q_DECLARE_METATYPE(Pointer)

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void controls_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<bool>("isDefault");
        for (const Control& c : designed)
            QTest::addRow("%s/%s", c.window, c.name)
                << c.window << c.name << QString::fromUtf8(c.text) << QString::fromUtf8(c.tip)
                << twipsRect(c.left, c.top, c.width, c.height) << c.isDefault;
    }

    void controls() {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        QFETCH(QRect, twips);
        QFETCH(bool, isDefault);
        const std::shared_ptr<QWidget> shown = openWindow(window);
        QVERIFY(shown);
        QWidget* control = name == window ? shown.get() : shown->findChild<QWidget*>(name);
        QVERIFY2(control, "no such control");
        if (!text.isNull()) // null: written while the program runs
            QCOMPARE(textOf(control), text);
        if (!tip.isNull())
            QCOMPARE(control->toolTip(), tip);
        if (control->isWindow()) {
            QCOMPARE(control->size(), twips.size()); // the client area
            // The program opens its main window in the middle of the screen, give or take the frame, whose size
            // is known only once the window is shown.
            const QPoint offCentre =
                control->frameGeometry().center() - control->screen()->availableGeometry().center();
            QVERIFY2(!control->isVisible() || offCentre.manhattanLength() <= 8, "the main window is not centred");
        } else
            QCOMPARE(control->geometry(), twips);
        if (auto* button = qobject_cast<QPushButton*>(control))
            QCOMPARE(button->isDefault(), isDefault);
        if (window == "frmLumaret" && accessibleNames.contains(name)) {
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(control);
            QVERIFY(read);
            QCOMPARE(read->text(QAccessible::Name), accessibleNames[name]);
            QCOMPARE(read->state().invisible, control->isHidden());
        }
        if (name == "frmLumaret") // the window belongs to the desktop entry of this id
            QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("org.lumaret.LumaretTool"));
    }

    void tabOrder_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("order");
        for (const auto& [window, order] :
             {std::pair{"frmLumaret", "cboCategory cmdAddCategory cmdEditCategory cmdDeleteCategory cboFigure "
                                      "cmdAddFigure cmdEditFigure cmdDeleteFigure cmdMoveFigure lstFigureParts "
                                      "cmdImport cmdExport cmdCancel"},
              {"frmMove", "cboCategory cmdGo cmdCancel"},
              {"frmMsgBox", "cmdOK cmdYes cmdNo cmdCancel"},
              {"frmInputBox", "txtReason cmdOK cmdCancel"}})
            QTest::newRow(window) << window << QString(order).split(' ');
    }

    // The whole ring from the window round to it again, hidden and disabled stops included: a showing may hide
    // a button but must not reorder the rest.
    void tabOrder() {
        QFETCH(QString, window);
        QFETCH(QStringList, order);
        const std::shared_ptr<QWidget> shown = openWindow(window);
        QVERIFY(shown);
        QStringList stops;
        QWidget* w = shown.get();
        for (int step = 0; step < 1000 && (w = w->nextInFocusChain()) != shown.get(); ++step)
            if (w->window() == shown.get() && (w->focusPolicy() & Qt::TabFocus))
                stops << w->objectName();
        QCOMPARE(stops, order);
    }

    // Return presses the button that has the focus, as Space does, and not the default one. (Escape is pressed in
    // each window's own tests.)
    void returnPressesTheFocusedButton_data() {
        QTest::addColumn<QString>("window");
        for (const char* window : {"frmMsgBox", "frmMove", "frmInputBox", "frmLumaret"})
            QTest::newRow(window) << QString(window);
    }

    void returnPressesTheFocusedButton() {
        QFETCH(QString, window);
        const std::shared_ptr<QWidget> shown = openWindow(window);
        QVERIFY(shown);
        shown->show();
        auto* button = shown->findChild<QPushButton*>("cmdCancel");
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QVERIFY2(!shown->isVisible(), "the key left the window open");
        // Each answers as its Cancel does: the message box Cancel, the text input no text, the move a rejection.
        if (auto* box = qobject_cast<frmMsgBox*>(shown.get()))
            QCOMPARE(box->answer(), msgbox::Cancel);
        else if (auto* input = qobject_cast<frmInputBox*>(shown.get()))
            QCOMPARE(input->text(), QString());
        else if (auto* move = qobject_cast<frmMove*>(shown.get()))
            QCOMPARE(move->result(), int(QDialog::Rejected));
    }

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
        START_PROGRAM(window, catalogue);
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
        START_PROGRAM(window, catalogue);
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

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
