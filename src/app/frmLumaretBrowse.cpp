// Browsing: the category and figure lists and the parts of the chosen figure, always read afresh.
#include "app/frmLumaret.h"
#include "catalogue/Database.h"
#include "catalogue/Text.h"
#include "dialogs/EntryList.h"
#include "dialogs/Pointer.h"
#include "dialogs/ReportError.h"
#include "dialogs/frmMsgBox.h"
#include "operations/PartTable.h"

#include <QLabel>
#include <QPushButton>

const QString frmLumaret::emptyCategoryNotice =
    QStringLiteral("No information was loaded into the Category pull-down box. This could mean that a 'connection' "
                   "could not be established with the database. In order for this program (and the database) to "
                   "work properly, you must have Microsoft Access on this computer.");

void frmLumaret::LoadCategories(ComboBox* combo) {
    guarded([&] {
        setPointer(Pointer::Busy);
        fillCategories(db(), *combo);
        if (combo->ListCount() > 0)
            combo->selectEntry(0);
        else if (!quietWhenEmpty)
            ShowMessage(emptyCategoryNotice, msgbox::OkOnly, QStringLiteral("Warning"));
        blnLoading = false;
        setPointer(Pointer::Default);
    });
}

void frmLumaret::LoadFigures() {
    guarded([&] {
        setPointer(Pointer::Busy);
        Recordset rows = db().OpenRecordset(statements::listFigures(cboCategory->selectedItemData()));
        lstFigureParts->Clear();
        cboFigure->Clear();
        fillEntries(rows, *cboFigure, QStringLiteral("FigureID"), QStringLiteral("FigureName"));
        rows.Close();
        blnLoading = false;
        setPointer(Pointer::Default);
    });
}

void frmLumaret::RefreshAfter(const Failure& failure) {
    if (!listsOutOfDate(failure))
        return;
    const qint32 categoryId = cboCategory->ListIndex() >= 0 ? cboCategory->selectedItemData() : 0;
    const qint32 figureId = cboFigure->ListIndex() >= 0 ? cboFigure->selectedItemData() : 0;
    LoadCategories(cboCategory); // selects the first category and its first figure
    if (cboCategory->ListIndex() >= 0 && cboCategory->selectedItemData() != categoryId)
        cboCategory->selectByItemData(categoryId);
    if (cboFigure->ListIndex() >= 0 && cboFigure->selectedItemData() != figureId)
        cboFigure->selectByItemData(figureId);
}

void frmLumaret::cboCategory_Click() {
    LoadFigures();
    if (cboFigure->ListCount() > 0)
        cboFigure->selectEntry(0);
    cmdImport->setToolTip(QStringLiteral("Import a figure into the selected category (") + cboCategory->Text() +
                          QStringLiteral(")."));
}

void frmLumaret::cboFigure_Click() {
    guarded([&] {
        setWindowTitle(strTitle);
        const qint32 figureId = cboFigure->selectedItemData();
        Recordset type = db().OpenRecordset(statements::figureType(figureId));
        lblFigureType->setText(trimBlanks(textOrEmpty(type.Fields(QStringLiteral("FigureType")))));
        type.Close();
        if (blnLoading)
            return;
        Recordset parts = operations::openFigureParts(db(), figureId);
        lstFigureParts->Clear();
        fillEntries(parts, *lstFigureParts, QStringLiteral("FigurePartID"), QStringLiteral("FigurePartName"));
        if (lstFigureParts->ListCount() > 0)
            lstFigureParts->setListIndex(0);
        parts.Close();
        cmdExport->setToolTip(QStringLiteral("Export the currently selected figure (") + cboFigure->Text() +
                              QStringLiteral(") to a file."));
    });
}
