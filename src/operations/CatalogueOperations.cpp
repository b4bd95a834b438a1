#include "operations/CatalogueOperations.h"

#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "catalogue/Text.h"

namespace operations {

qint64 nextIdentifier(Database& db, const Statement& largest) {
    Recordset rows = db.OpenRecordset(largest);
    const QVariant maxRec = rows.Fields(QStringLiteral("MaxRec"));
    rows.Close();
    return maxRec.isNull() ? 1 : qint64(requireWhole(maxRec)) + 1;
}

qint16 addCategory(Database& db, const QString& name) {
    qint16 newId = 0;
    // Read and insert under one lock, so that another copy of the program cannot take the same identifier.
    db.transaction([&] {
        newId = toInt16(nextIdentifier(db, statements::largestCategoryId()));
        db.Execute(statements::addCategory(newId, name));
    });
    return newId;
}

void renameCategory(Database& db, qint32 categoryId, const QString& name) {
    db.Execute(statements::renameCategory(name, categoryId));
}

qint64 deleteCategory(Database& db, qint32 categoryId) {
    qint64 figures = 0;
    // Counted and deleted under one lock: a figure filed meanwhile by another copy blocks the delete instead of
    // being left without its category.
    db.transaction([&] {
        Recordset counted = db.OpenRecordset(statements::countFiguresOfCategory(categoryId));
        figures = counted.Fields(QStringLiteral("MaxRec")).toLongLong();
        counted.Close();
        if (figures <= 0)
            db.Execute(statements::deleteCategory(categoryId));
    });
    return figures;
}

void renameFigure(Database& db, qint32 figureId, const QString& name) {
    db.Execute(statements::renameFigure(name, figureId));
}

void deleteFigure(Database& db, qint32 figureId) {
    db.transaction([&] {
        db.Execute(statements::deleteFigureParts(figureId));
        db.Execute(statements::deleteFigure(figureId));
    });
}

void moveFigure(Database& db, qint32 figureId, qint32 categoryId) {
    db.Execute(statements::moveFigure(categoryId, figureId));
}

} // namespace operations
