#include "editing/frmMove.h"

#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "catalogue/Database.h"
#include "dialogs/ApplyFormStyle.h"
#include "dialogs/DialogControls.h"
#include "dialogs/ReportError.h"
#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/WindowFont.h"

#include <QLabel>
#include <QPushButton>

using modLumaretStart::db;
using modLumaretStart::mainWindow;

frmMove::frmMove(QWidget* parent) : QDialog(parent) {
    // A dialog owned by the main window: it has no taskbar entry of its own.
    setUpDialog(this, QStringLiteral("frmMove"), clientWidth, clientHeight);
    setWindowTitle(QStringLiteral("Move Figure"));

    lblMain = new QLabel(QStringLiteral("Move Figure to:"), this);
    lblMain->setObjectName(QStringLiteral("lblMain"));
    lblMain->setGeometry(twipsRect(240, 240, 3735, 255));
    lblMain->setTextFormat(Qt::PlainText);

    lblCategory = new QLabel(QStringLiteral("Category:"), this);
    lblCategory->setObjectName(QStringLiteral("lblCategory"));
    lblCategory->setGeometry(twipsRect(240, 600, 1215, 255));
    lblCategory->setFont(headingFont());

    cboCategory = new ComboBox(this);
    cboCategory->setObjectName(QStringLiteral("cboCategory"));
    cboCategory->setGeometry(twipsRect(240, 840, 2415, 315));

    // Shadows first, so that each button lies above its own.
    shpGo = makeShadow(QStringLiteral("shpGo"), 240, 1320, 1575, 495, this);
    shpExit = makeShadow(QStringLiteral("shpExit"), 2400, 1320, 1575, 495, this);
    cmdGo = makeButton(QStringLiteral("cmdGo"), QStringLiteral("OK"), 240, 1320, 1575, 495, this);
    cmdGo->setToolTip(QStringLiteral("Move the figure to the selected category."));
    cmdGo->setDefault(true);
    cmdCancel = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), 2400, 1320, 1575, 495, this);
    cmdCancel->setToolTip(QStringLiteral("Do not move the figure to the selected category."));
    setTabOrder(cboCategory, cmdGo);
    setTabOrder(cmdGo, cmdCancel);

    // Escape and the title bar's close reject the dialog as Cancel does: nothing is written.
    connect(cmdGo, &QPushButton::clicked, this, &frmMove::cmdGo_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

void frmMove::Form_Load() {
    frmLumaret* main = mainWindow();
    lblMain->setText(QStringLiteral("Move figure '") + main->cboFigure->Text() + QStringLiteral("' to..."));
    main->LoadCategories(cboCategory);
    ApplyFormStyle(this);
}

// On a failure the window stays open, so the user can pick again or cancel.
void frmMove::cmdGo_Click() {
    guarded([&] {
        frmLumaret* main = mainWindow();
        db().Execute(statements::moveFigure(cboCategory->selectedItemData(), main->cboFigure->selectedItemData()));
        main->LoadFigures();
        if (main->cboFigure->ListCount() > 0)
            main->cboFigure->selectEntry(0);
        accept();
    });
}
