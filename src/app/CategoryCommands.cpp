// Adding, renaming and deleting categories.
#include "app/EditingSteps.h"
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/ReportError.h"
#include "dialogs/frmMsgBox.h"
#include "operations/CatalogueOperations.h"

namespace {
QString categoryInUse(qint64 figures) {
    return QStringLiteral("This category can not be deleted. It is is use by ") + QString::number(figures) +
           QStringLiteral(" figure(s). Please delete the figure(s) before deleting this category.");
}
} // namespace

void frmLumaret::cmdAddCategory_Click() {
    guarded([&] {
        const QString typed = editing::askName(QStringLiteral("Enter a new category to add."), QString());
        if (typed.isEmpty())
            return;
        const qint16 newId = operations::addCategory(db(), editing::storedName(typed));
        LoadCategories(cboCategory);
        cboCategory->selectByItemData(newId);
    });
}

void frmLumaret::cmdEditCategory_Click() {
    guarded(
        [&] {
            const QString typed =
                editing::askName(QStringLiteral("Enter a new name for this category."), cboCategory->Text());
            if (typed.isEmpty())
                return;
            const qint32 categoryId = cboCategory->selectedItemData();
            operations::renameCategory(db(), categoryId, editing::storedName(typed));
            LoadCategories(cboCategory);
            cboCategory->selectByItemData(categoryId);
        },
        refreshAfterFailure());
}

void frmLumaret::cmdDeleteCategory_Click() {
    guarded(
        [&] {
            if (!editing::confirmDelete(cboCategory->Text()))
                return;
            const qint64 figures = operations::deleteCategory(db(), cboCategory->selectedItemData());
            // The notice waits for the user; by now the lock is given back.
            if (figures > 0) {
                ShowMessage(categoryInUse(figures), msgbox::OkOnly, QStringLiteral("Notice"));
                return;
            }
            LoadCategories(cboCategory);
        },
        refreshAfterFailure());
}
