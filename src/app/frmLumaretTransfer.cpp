// Export and import of single figures through transfer files.
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/FileDialog.h"
#include "dialogs/Pointer.h"
#include "dialogs/ReportError.h"
#include "dialogs/frmMsgBox.h"
#include "operations/FigureExport.h"
#include "operations/FigureImport.h"

#include <QFileInfo>

void frmLumaret::cmdExport_Click() {
    guardedFileCommand(
        [&] {
            setPointer(Pointer::Default);
            const QString path =
                FileDialog::getSaveFileName(this, QStringLiteral("Save Export File..."), transferFolder);
            noteChosenFile(path);
            setPointer(Pointer::Busy);
            operations::exportFigureFile(db(), cboFigure->selectedItemData(), path);
            setPointer(Pointer::Default);
            ShowMessage(QStringLiteral("Figure '") + cboFigure->Text() +
                            QStringLiteral("' successfully exported to:\r\n") + path,
                        msgbox::OkOnly, QStringLiteral("Export Complete..."));
        },
        refreshAfterFailure());
}

void frmLumaret::cmdImport_Click() {
    guardedFileCommand(
        [&] {
            setPointer(Pointer::Default);
            const QString path =
                FileDialog::getOpenFileName(this, QStringLiteral("Open File for Import..."), transferFolder);
            noteChosenFile(path);
            ImportFile(path);
        },
        refreshAfterFailure());
}

void frmLumaret::noteChosenFile(const QString& path) {
    if (followChosenFiles)
        transferFolder = QFileInfo(path).absolutePath();
}

// Not guarded itself: its failures end the command that runs it.
void frmLumaret::ImportFile(const QString& path) {
    const operations::ImportedFigure added =
        operations::importTransferFile(db(), cboCategory->selectedItemData(), path);

    LoadFigures();
    cboFigure->selectByItemData(added.figureId);
    setPointer(Pointer::Default);

    QString notice = QStringLiteral("Figure '") + added.name + QStringLiteral("' has been imported into the '") +
                     cboCategory->Text() + QStringLiteral("' catgeory.");
    if (added.nameClash)
        notice += QStringLiteral("\r\nNote: there is a figure with this name already in the database. Please rename "
                                 "this figure as soon as possible.");
    ShowMessage(notice, msgbox::OkOnly, QStringLiteral("Import Complete..."));
}
