// Adding, renaming and deleting categories.
#include "app/EntryList.h"
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "dialogs/ReportError.h"
#include "dialogs/frmMsgBox.h"
#include "editing/EditingSteps.h"

using modLumaretStart::db;

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
        const QString name = editing::storedName(typed);
        qint16 newId = 1;
        // Read and insert under one lock, so that another copy of the program cannot take the same identifier.
        db().transaction([&] {
            Recordset largest = db().OpenRecordset(statements::largestCategoryId());
            const QVariant maxRec = largest.Fields(QStringLiteral("MaxRec"));
            // Catalogue files may hold this column in 16 bits, so new identifiers stay within them.
            if (!maxRec.isNull())
                newId = toInt16(maxRec.toLongLong() + 1);
            largest.Close();
            db().Execute(statements::addCategory(newId, name));
        });
        LoadCategories(cboCategory);
        cboCategory->selectByItemData(newId);
    });
}

void frmLumaret::cmdEditCategory_Click() {
    guarded([&] {
        const QString typed =
            editing::askName(QStringLiteral("Enter a new name for this category."), cboCategory->Text());
        if (typed.isEmpty())
            return;
        const qint32 categoryId = cboCategory->selectedItemData();
        db().Execute(statements::renameCategory(editing::storedName(typed), categoryId));
        LoadCategories(cboCategory);
        cboCategory->selectByItemData(categoryId);
    });
}

void frmLumaret::cmdDeleteCategory_Click() {
    guarded([&] {
        if (!editing::confirmDelete(cboCategory->Text()))
            return;
        qint64 figures = 0;
        // Counted and deleted under one lock: a figure filed meanwhile by another copy blocks the delete
        // instead of being left without its category.
        db().transaction([&] {
            const qint32 categoryId = cboCategory->selectedItemData();
            Recordset counted = db().OpenRecordset(statements::countFiguresOfCategory(categoryId));
            figures = counted.Fields(QStringLiteral("MaxRec")).toLongLong();
            counted.Close();
            if (figures <= 0)
                db().Execute(statements::deleteCategory(categoryId));
        });
        // The notice waits for the user; by now the lock is given back.
        if (figures > 0) {
            ShowMessage(categoryInUse(figures), 0, QStringLiteral("Notice"));
            return;
        }
        LoadCategories(cboCategory);
    });
}
