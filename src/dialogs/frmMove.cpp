#include "dialogs/frmMove.h"

#include "dialogs/ApplyFormStyle.h"
#include "dialogs/DialogControls.h"
#include "dialogs/EntryList.h"
#include "dialogs/ReportError.h"
#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/WindowFont.h"
#include "operations/CatalogueOperations.h"

#include <QLabel>
#include <QPushButton>

frmMove::frmMove(QWidget* parent, Database& catalogue, Owner owner)
    : QDialog(parent), catalogue(catalogue), owner(std::move(owner)) {
    // A dialog owned by the main window: it has no taskbar entry of its own.
    setUpDialog(this, QStringLiteral("frmMove"), clientWidth, clientHeight);
    setWindowTitle(QStringLiteral("Move Figure"));

    lblMain =
        makeLabel(this, QStringLiteral("lblMain"), QStringLiteral("Move Figure to:"), twipsRect(240, 240, 3735, 255));
    lblCategory =
        makeLabel(this, QStringLiteral("lblCategory"), QStringLiteral("Category:"), twipsRect(240, 600, 1215, 255));
    lblCategory->setFont(headingFont());
    cboCategory = placed(new ComboBox(this), QStringLiteral("cboCategory"), twipsRect(240, 840, 2415, 315));

    cmdGo = makeButton(this, QStringLiteral("cmdGo"), QStringLiteral("OK"), {240, 1320, 1575, 495},
                       QStringLiteral("shpGo"), QStringLiteral("Move the figure to the selected category."), &shpGo);
    cmdGo->setDefault(true);
    cmdCancel = makeButton(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), {2400, 1320, 1575, 495},
                           QStringLiteral("shpExit"),
                           QStringLiteral("Do not move the figure to the selected category."), &shpExit);
    setTabOrder(cboCategory, cmdGo);
    setTabOrder(cmdGo, cmdCancel);

    // Escape and the title bar's close reject the dialog as Cancel does: nothing is written.
    connect(cmdGo, &QPushButton::clicked, this, &frmMove::cmdGo_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

void frmMove::Form_Load() {
    lblMain->setText(QStringLiteral("Move figure '") + owner.figureName + QStringLiteral("' to..."));
    if (owner.loadCategories)
        owner.loadCategories(cboCategory);
    ApplyFormStyle(this);
}

// On a failure the window stays open, so the user can pick again or cancel, unless what it lists is gone.
void frmMove::cmdGo_Click() {
    guarded(
        [&] {
            operations::moveFigure(catalogue, owner.figureId(), cboCategory->selectedItemData());
            if (owner.moved)
                owner.moved();
            accept();
        },
        [&](const Failure& failure) {
            if (!listsOutOfDate(failure))
                return;
            reject();
            if (owner.outOfDate)
                owner.outOfDate(failure);
        });
}
