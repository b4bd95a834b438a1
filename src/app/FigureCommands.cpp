// Renaming, deleting and moving figures. Figures are only ever added by import, so the figure Add button
// stays disabled and has no command.
#include "app/EditingSteps.h"
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/ReportError.h"
#include "dialogs/WindowPlacement.h"
#include "dialogs/frmMove.h"
#include "operations/CatalogueOperations.h"

void frmLumaret::cmdEditFigure_Click() {
    guarded(
        [&] {
            const QString typed =
                editing::askName(QStringLiteral("Enter a new name for this figure."), cboFigure->Text());
            if (typed.isEmpty())
                return;
            // Imported figures get identifiers beyond 16 bits, so the identifier is held in full.
            const qint32 figureId = cboFigure->selectedItemData();
            operations::renameFigure(db(), figureId, editing::storedName(typed));
            LoadFigures();
            cboFigure->selectByItemData(figureId);
        },
        refreshAfterFailure());
}

void frmLumaret::cmdDeleteFigure_Click() {
    guarded(
        [&] {
            if (!editing::confirmDelete(cboFigure->Text()))
                return;
            operations::deleteFigure(db(), cboFigure->selectedItemData());
            LoadFigures();
            if (cboFigure->ListCount() > 0)
                cboFigure->selectEntry(0);
        },
        refreshAfterFailure());
}

void frmLumaret::cmdMoveFigure_Click() {
    guarded([&] {
        frmMove move(this, db(),
                     {cboFigure->Text(), [this] { return cboFigure->selectedItemData(); },
                      [this](ComboBox* combo) { LoadCategories(combo); },
                      [this] {
                          LoadFigures();
                          if (cboFigure->ListCount() > 0)
                              cboFigure->selectEntry(0);
                      },
                      refreshAfterFailure()});
        centreOver(&move, this);
        move.exec();
    });
}
