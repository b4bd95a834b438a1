// Browsing: the category and figure lists and the parts of the chosen figure, always read afresh.
#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "catalogue/Database.h"
#include "catalogue/Text.h"
#include "dialogs/Pointer.h"
#include "dialogs/ReportError.h"
#include "dialogs/frmMsgBox.h"

#include <QLabel>
#include <QPushButton>

const QString frmLumaret::emptyCategoryNotice =
    QStringLiteral("No information was loaded into the Category pull-down box. This could mean that a 'connection' "
                   "could not be established with the database. In order for this program (and the database) to "
                   "work properly, you must have Microsoft Access on this computer.");

namespace {
// Reads rows of (identifier, name) into a list. The entry goes in before its item data is read, so a row with
// a null identifier leaves its entry behind with item data 0 when the fill stops there. A text name and a
// whole-number identifier are read as they lie in the engine; anything else goes through the general rules.
void fillEntries(Recordset& rows, EntryList& list, const QString& idColumn, const QString& nameColumn) {
    EntryBatch batch(list);
    if (rows.Eof())
        return;
    const int name = rows.FieldPosition(nameColumn);
    const int id = rows.FieldPosition(idColumn);
    while (!rows.Eof()) {
        if (rows.fieldKind(name) == Recordset::FieldKind::Text)
            batch.add(trimBlanks(rows.textField(name)));
        else
            batch.add(trimBlanks(requireText(rows.Fields(name))));
        batch.setLastItemData(rows.fieldKind(id) == Recordset::FieldKind::Whole ? toInt32(rows.wholeField(id))
                                                                                : requireWhole(rows.Fields(id)));
        rows.MoveNext();
    }
}
} // namespace

void frmLumaret::LoadCategories(ComboBox* combo) {
    guarded([&] {
        setPointer(Pointer::Busy);
        Recordset rows = db().OpenRecordset(statements::listCategories());
        combo->Clear();
        fillEntries(rows, *combo, QStringLiteral("CategoryID"), QStringLiteral("CategoryName"));
        if (combo->ListCount() > 0)
            combo->selectEntry(0);
        else
            ShowMessage(emptyCategoryNotice, msgbox::OkOnly, QStringLiteral("Warning"));
        rows.Close();
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
        Recordset parts = db().OpenRecordset(statements::figurePartList(figureId));
        lstFigureParts->Clear();
        fillEntries(parts, *lstFigureParts, QStringLiteral("FigurePartID"), QStringLiteral("FigurePartName"));
        if (lstFigureParts->ListCount() > 0)
            lstFigureParts->setListIndex(0);
        parts.Close();
        cmdExport->setToolTip(QStringLiteral("Export the currently selected figure (") + cboFigure->Text() +
                              QStringLiteral(") to a file."));
    });
}
