// Export and import of single figures through transfer files.
#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "catalogue/Database.h"
#include "dialogs/FileDialog.h"
#include "dialogs/Pointer.h"
#include "dialogs/ReportError.h"
#include "dialogs/frmMsgBox.h"
#include "transfer/FigureExport.h"
#include "transfer/FigureImport.h"
#include "transfer/core/TransferFileAccess.h"
#include "transfer/core/TransferReader.h"

using modLumaretStart::db;

void frmLumaret::cmdExport_Click() {
    guardedFileCommand([&] {
        setPointer(Pointer::Default);
        const QString path = FileDialog::getSaveFileName(this, QStringLiteral("Save Export File..."));
        setPointer(Pointer::Busy);
        // Everything is read and checked before the file is touched: a failure leaves no file behind and an
        // existing one as it was.
        const QByteArray content = figureTransferContent(db(), cboFigure->selectedItemData());
        saveWholeFile(path, content);
        setPointer(Pointer::Default);
        ShowMessage(QStringLiteral("Figure '") + cboFigure->Text() + QStringLiteral("' successfully exported to:\r\n") +
                        path,
                    0, QStringLiteral("Export Complete..."));
    });
}

void frmLumaret::cmdImport_Click() {
    guardedFileCommand([&] {
        setPointer(Pointer::Default);
        ImportFile(FileDialog::getOpenFileName(this, QStringLiteral("Open File for Import...")));
    });
}

// Not guarded itself: its failures end the command that runs it.
void frmLumaret::ImportFile(const QString& path) {
    const TransferFigure figure = readTransferContent(readWholeFile(path));
    const ImportedFigure added = addTransferFigure(db(), cboCategory->selectedItemData(), figure);

    LoadFigures();
    cboFigure->selectByItemData(added.figureId);
    setPointer(Pointer::Default);

    QString notice = QStringLiteral("Figure '") + added.name + QStringLiteral("' has been imported into the '") +
                     cboCategory->Text() + QStringLiteral("' catgeory.");
    if (added.nameClash)
        notice += QStringLiteral("\r\nNote: there is a figure with this name already in the database. Please rename "
                                 "this figure as soon as possible.");
    ShowMessage(notice, 0, QStringLiteral("Import Complete..."));
}
