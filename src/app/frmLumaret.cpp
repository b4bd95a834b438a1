#include "app/frmLumaret.h"
#include "app/NamedLists.h"

#include "app/modLumaretStart.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "dialogs/ApplyFormStyle.h"
#include "dialogs/DialogControls.h"
#include "dialogs/EntryList.h"
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
QPushButton* button(QWidget* parent, const char* name, const char* shadow, const QString& caption, const QString& tip,
                    const ButtonPlace& place) {
    return makeButton(parent, QLatin1String(name), caption, place, QLatin1String(shadow), tip);
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry) {
    return makeLabel(parent, QLatin1String(name), caption, geometry);
}
} // namespace

frmLumaret::frmLumaret(const modLumaretStart::Placement& placement)
    : cataloguePath(placement.catalogue), transferFolder(placement.transferFolder),
      followChosenFiles(placement.followChosenFiles), quietWhenEmpty(placement.madeEmpty) {
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
    // Frames first: they lie under the controls they hold.
    shpOtherFigure =
        placed(new Shape(Shape::Kind::Frame, this), QStringLiteral("shpOtherFigure"), twipsRect(120, 240, 6975, 3735));
    Shape3 = placed(new Shape(Shape::Kind::Frame, this), QStringLiteral("Shape3"), twipsRect(240, 1920, 3255, 1095));

    lblChoose =
        label(this, "lblChoose", QStringLiteral("Choose a category and figure:"), twipsRect(240, 120, 3375, 255));
    lblChoose->setFont(headingFont());
    lblCategory = label(this, "lblCategory", QStringLiteral("Category:"), twipsRect(240, 480, 2415, 255));
    cboCategory = placed(new ComboBox(this), QStringLiteral("cboCategory"), twipsRect(240, 720, 3015, 315));
    cmdAddCategory = button(this, "cmdAddCategory", "shpAddCategory", QStringLiteral("Add"),
                            QStringLiteral("Add a new category to the list."), {240, 1200, 855, 375});
    cmdEditCategory = button(this, "cmdEditCategory", "shpEditCategory", QStringLiteral("Rename"),
                             QStringLiteral("Rename this category."), {1320, 1200, 855, 375});
    cmdDeleteCategory = button(this, "cmdDeleteCategory", "shpDeleteCategory", QStringLiteral("Delete"),
                               QStringLiteral("Remove this category."), {2400, 1200, 855, 375});
    lblFigure = label(this, "lblFigure", QStringLiteral("Figure:"), twipsRect(3600, 480, 2415, 255));
    cboFigure = placed(new ComboBox(this), QStringLiteral("cboFigure"), twipsRect(3600, 720, 3375, 315));
    cmdAddFigure = button(this, "cmdAddFigure", "shpFigureAdd", QStringLiteral("Add"),
                          QStringLiteral("Add a new figure (cr2) to the list."), {3600, 1200, 855, 375});
    cmdAddFigure->setEnabled(false);
    cmdEditFigure = button(this, "cmdEditFigure", "shpFigureEdit", QStringLiteral("Rename"),
                           QStringLiteral("Rename this figure."), {4440, 1200, 855, 375});
    cmdDeleteFigure = button(this, "cmdDeleteFigure", "shpFigureDelete", QStringLiteral("Delete"),
                             QStringLiteral("Remove this figure."), {5280, 1200, 855, 375});
    cmdMoveFigure = button(this, "cmdMoveFigure", "shpMoveFigure", QStringLiteral("Move"),
                           QStringLiteral("Move this figure to another category."), {6120, 1200, 855, 375});
    lbMaterials = label(this, "lbMaterials", QStringLiteral("Materials:"), twipsRect(360, 1800, 735, 255));
    lstFigureParts = placed(new ListBox(this), QStringLiteral("lstFigureParts"), twipsRect(360, 2040, 3015, 840));
    lstFigureParts->setToolTip(QStringLiteral("All of these materials will be exported."));
    lblFigureType = label(this, "lblFigureType", QStringLiteral("figure type"), twipsRect(3600, 1920, 3255, 255));
    lblFigureType->hide();
    cmdImport = button(this, "cmdImport", "shpGo", QStringLiteral("Import"),
                       QStringLiteral("Import a figure into the selected category."), {360, 3240, 1575, 495});
    cmdExport = button(this, "cmdExport", "shpExport", QStringLiteral("Export"),
                       QStringLiteral("Export the currently selected figure to a file."), {5280, 3240, 1575, 495});
    cmdCancel = button(this, "cmdCancel", "shpExit", QStringLiteral("Exit"), QStringLiteral("Exit this program."),
                       {2880, 4080, 1575, 495});

    // Assistive technology reads a list by its value and a button by its caption; these say what each one is.
    // The figure type is hidden: named, its label no longer reports each new value.
    presentListsByTheirNames();
    cboCategory->setAccessibleName(QStringLiteral("Category"));
    cboFigure->setAccessibleName(QStringLiteral("Figure"));
    lstFigureParts->setAccessibleName(QStringLiteral("Materials"));
    lblFigureType->setAccessibleName(QStringLiteral("Figure type"));
    cmdAddCategory->setAccessibleName(QStringLiteral("Add category"));
    cmdEditCategory->setAccessibleName(QStringLiteral("Rename category"));
    cmdDeleteCategory->setAccessibleName(QStringLiteral("Delete category"));
    cmdAddFigure->setAccessibleName(QStringLiteral("Add figure"));
    cmdEditFigure->setAccessibleName(QStringLiteral("Rename figure"));
    cmdDeleteFigure->setAccessibleName(QStringLiteral("Delete figure"));
    cmdMoveFigure->setAccessibleName(QStringLiteral("Move figure"));

    QWidget* const tabOrder[] = {cboCategory,  cmdAddCategory, cmdEditCategory, cmdDeleteCategory, cboFigure,
                                 cmdAddFigure, cmdEditFigure,  cmdDeleteFigure, cmdMoveFigure,     lstFigureParts,
                                 cmdImport,    cmdExport,      cmdCancel};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
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
    catalogue = std::make_unique<Database>(cataloguePath);
    strTitle = modLumaretStart::versionedTitle();
    setPointer(Pointer::Busy);
    blnLoading = true;
    LoadCategories(cboCategory);
    ApplyFormStyle(this);
    setPointer(Pointer::Default);
}

frmLumaret::~frmLumaret() = default;

Database& frmLumaret::db() {
    if (!catalogue)
        throw Failure(failure::ObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
    return *catalogue;
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
    catalogue.reset();
    event->accept();
    QCoreApplication::exit(0);
}
