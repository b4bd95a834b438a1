#include "app/frmLumaret.h"

#include "app/EntryList.h"
#include "app/modLumaretStart.h"
#include "dialogs/ApplyFormStyle.h"
#include "dialogs/HoverPointer.h"
#include "dialogs/Pointer.h"
#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/WindowFont.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

const QString frmLumaret::designedCaption = QStringLiteral("Lumaret Import/ Export Tool");

namespace {
template <class Control> Control* place(Control* control, const char* name, const QRect& geometry) {
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry) {
    return place(new QLabel(caption, parent), name, geometry);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip,
                    const QRect& geometry) {
    auto* b = place(new QPushButton(caption, parent), name, geometry);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

Shape* shadowUnder(QWidget* parent, const char* name, const QRect& buttonGeometry) {
    auto* shape = new Shape(Shape::Kind::Shadow, parent);
    return place(shape, name, buttonGeometry.translated(px(120), px(120)));
}
} // namespace

frmLumaret::frmLumaret() {
    setObjectName(QStringLiteral("frmLumaret"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(designedCaption);
    setFixedSize(px(7245), px(4710));
    setFont(windowFont());
    createControls();
    connectCommands();
}

void frmLumaret::createControls() {
    // Frames and shadows first: they lie under the controls they belong to.
    shpOtherFigure = place(new Shape(Shape::Kind::Frame, this), "shpOtherFigure", twipsRect(120, 240, 6975, 3735));
    Shape3 = place(new Shape(Shape::Kind::Frame, this), "Shape3", twipsRect(240, 1920, 3255, 1095));
    createShadows();

    lblChoose =
        label(this, "lblChoose", QStringLiteral("Choose a category and figure:"), twipsRect(240, 120, 3375, 255));
    lblChoose->setFont(headingFont());
    lblCategory = label(this, "lblCategory", QStringLiteral("Category:"), twipsRect(240, 480, 2415, 255));
    cboCategory = place(new ComboBox(this), "cboCategory", twipsRect(240, 720, 3015, 315));
    cmdAddCategory = button(this, "cmdAddCategory", QStringLiteral("Add"),
                            QStringLiteral("Add a new category to the list."), twipsRect(240, 1200, 855, 375));
    cmdEditCategory = button(this, "cmdEditCategory", QStringLiteral("Rename"), QStringLiteral("Rename this category."),
                             twipsRect(1320, 1200, 855, 375));
    cmdDeleteCategory = button(this, "cmdDeleteCategory", QStringLiteral("Delete"),
                               QStringLiteral("Remove this category."), twipsRect(2400, 1200, 855, 375));
    lblFigure = label(this, "lblFigure", QStringLiteral("Figure:"), twipsRect(3600, 480, 2415, 255));
    cboFigure = place(new ComboBox(this), "cboFigure", twipsRect(3600, 720, 3375, 315));
    cmdAddFigure = button(this, "cmdAddFigure", QStringLiteral("Add"),
                          QStringLiteral("Add a new figure (cr2) to the list."), twipsRect(3600, 1200, 855, 375));
    cmdAddFigure->setEnabled(false);
    cmdEditFigure = button(this, "cmdEditFigure", QStringLiteral("Rename"), QStringLiteral("Rename this figure."),
                           twipsRect(4440, 1200, 855, 375));
    cmdDeleteFigure = button(this, "cmdDeleteFigure", QStringLiteral("Delete"), QStringLiteral("Remove this figure."),
                             twipsRect(5280, 1200, 855, 375));
    cmdMoveFigure = button(this, "cmdMoveFigure", QStringLiteral("Move"),
                           QStringLiteral("Move this figure to another category."), twipsRect(6120, 1200, 855, 375));
    lbMaterials = label(this, "lbMaterials", QStringLiteral("Materials:"), twipsRect(360, 1800, 735, 255));
    lstFigureParts = place(new ListBox(this), "lstFigureParts", twipsRect(360, 2040, 3015, 840));
    lstFigureParts->setToolTip(QStringLiteral("All of these materials will be exported."));
    lblFigureType = label(this, "lblFigureType", QStringLiteral("figure type"), twipsRect(3600, 1920, 3255, 255));
    lblFigureType->hide();
    cmdImport = button(this, "cmdImport", QStringLiteral("Import"),
                       QStringLiteral("Import a figure into the selected category."), twipsRect(360, 3240, 1575, 495));
    cmdExport =
        button(this, "cmdExport", QStringLiteral("Export"),
               QStringLiteral("Export the currently selected figure to a file."), twipsRect(5280, 3240, 1575, 495));
    cmdCancel = button(this, "cmdCancel", QStringLiteral("Exit"), QStringLiteral("Exit this program."),
                       twipsRect(2880, 4080, 1575, 495));

    QWidget* const tabOrder[] = {cboCategory,  cmdAddCategory, cmdEditCategory, cmdDeleteCategory, cboFigure,
                                 cmdAddFigure, cmdEditFigure,  cmdDeleteFigure, cmdMoveFigure,     lstFigureParts,
                                 cmdImport,    cmdExport,      cmdCancel};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void frmLumaret::createShadows() {
    shadowUnder(this, "shpAddCategory", twipsRect(240, 1200, 855, 375));
    shadowUnder(this, "shpEditCategory", twipsRect(1320, 1200, 855, 375));
    shadowUnder(this, "shpDeleteCategory", twipsRect(2400, 1200, 855, 375));
    shadowUnder(this, "shpFigureAdd", twipsRect(3600, 1200, 855, 375));
    shadowUnder(this, "shpFigureEdit", twipsRect(4440, 1200, 855, 375));
    shadowUnder(this, "shpFigureDelete", twipsRect(5280, 1200, 855, 375));
    shadowUnder(this, "shpMoveFigure", twipsRect(6120, 1200, 855, 375));
    shadowUnder(this, "shpGo", twipsRect(360, 3240, 1575, 495));
    shadowUnder(this, "shpExport", twipsRect(5280, 3240, 1575, 495));
    shadowUnder(this, "shpExit", twipsRect(2880, 4080, 1575, 495));
}

void frmLumaret::connectCommands() {
    cboCategory->onClick = [this] { cboCategory_Click(); };
    cboFigure->onClick = [this] { cboFigure_Click(); };
    connect(cmdAddCategory, &QPushButton::clicked, this, &frmLumaret::cmdAddCategory_Click);
    connect(cmdEditCategory, &QPushButton::clicked, this, &frmLumaret::cmdEditCategory_Click);
    connect(cmdDeleteCategory, &QPushButton::clicked, this, &frmLumaret::cmdDeleteCategory_Click);
    connect(cmdEditFigure, &QPushButton::clicked, this, &frmLumaret::cmdEditFigure_Click);
    connect(cmdDeleteFigure, &QPushButton::clicked, this, &frmLumaret::cmdDeleteFigure_Click);
    connect(cmdMoveFigure, &QPushButton::clicked, this, &frmLumaret::cmdMoveFigure_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmLumaret::cmdImport_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmLumaret::cmdExport_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLumaret::cmdCancel_Click);
    installHoverPointer(this, {cmdAddCategory, cmdEditCategory, cmdDeleteCategory, cmdAddFigure, cmdEditFigure,
                               cmdDeleteFigure, cmdMoveFigure, cmdImport, cmdExport, cmdCancel});
}

void frmLumaret::Form_Load() {
    setWindowIcon(programIcon());
    modLumaretStart::openCatalogue();
    strTitle = modLumaretStart::versionedTitle();
    setPointer(Pointer::Busy);
    blnLoading = true;
    LoadCategories(cboCategory);
    ApplyFormStyle(this);
    setPointer(Pointer::Default);
}

void frmLumaret::cmdCancel_Click() {
    setPointer(Pointer::Default);
    close();
}

// Esc leaves the program like the Exit button, whichever control has the focus (none of them takes Esc).
void frmLumaret::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// However the window goes (Exit, Esc, the close box, the system), the catalogue is released and the program ends.
void frmLumaret::closeEvent(QCloseEvent* event) {
    modLumaretStart::releaseCatalogue();
    event->accept();
    QCoreApplication::exit(0);
}
