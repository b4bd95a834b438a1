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
bool isAscii(QByteArrayView bytes) {
    unsigned char any = 0;
    for (const char c : bytes)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

QLatin1StringView trimAsciiBlanks(QLatin1StringView text) {
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

// A name of plain ASCII, the common case, is taken from the engine's own UTF-8 as it is; anything else as the
// engine turns it into UTF-16.
void addName(EntryBatch& batch, const Recordset& rows, int column) {
    const Recordset::FieldValue name = rows.field(column);
    if (name.kind != Recordset::FieldKind::Text)
        batch.add(trimBlanks(requireText(rows.Fields(column))));
    else if (isAscii(name.utf8))
        batch.add(trimAsciiBlanks(QLatin1StringView(name.utf8.data(), name.utf8.size())));
    else
        batch.add(trimBlanks(rows.textField(column)));
}

qint32 identifier(const Recordset& rows, int column) {
    const Recordset::FieldValue id = rows.field(column);
    return id.kind == Recordset::FieldKind::Whole ? toInt32(id.whole) : requireWhole(rows.Fields(column));
}

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
        addName(batch, rows, name);
        batch.setLastItemData(identifier(rows, id));
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
        else if (!quietWhenEmpty)
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
