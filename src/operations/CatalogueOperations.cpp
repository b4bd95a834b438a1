#include "operations/CatalogueOperations.h"

#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "catalogue/Text.h"

#include <QStringList>

namespace operations {
namespace {
struct Rows {
    const char* one;
    const char* many;
};
constexpr Rows categories{"category", "categories"};
constexpr Rows figures{"figure", "figures"};

// A catalogue converted from elsewhere or made by hand may hold one identifier twice, and a statement written
// with it changes every such row: deleting 'Horse' would take 'Pony' and the parts of both along. So a command
// first makes sure its identifier names exactly one row, inside its own transaction so that the rows cannot
// change between this look and the write.
void requireOneRow(Database& db, const Statement& rowsWithId, const Rows& kind, qint32 id) {
    Recordset rows = db.OpenRecordset(rowsWithId);
    QStringList names;
    while (!rows.Eof()) {
        names << QLatin1Char('\'') + trimBlanks(textOrEmpty(rows.Fields(QStringLiteral("Name")))) + QLatin1Char('\'');
        rows.MoveNext();
    }
    rows.Close();
    if (names.size() == 1)
        return;
    if (names.isEmpty())
        throw Failure(failure::NoCurrentRecord,
                      QStringLiteral("The %1 with identifier %2 is no longer in the catalogue; nothing was changed.")
                          .arg(QLatin1String(kind.one))
                          .arg(id));
    const qsizetype count = names.size();
    constexpr qsizetype named = 3; // the message box has room for a few names, not for all of them
    if (count > named) {
        names = names.mid(0, named);
        names << QStringLiteral("...");
    }
    throw Failure(failure::IdentifierNotUnique,
                  QStringLiteral("%1 %2 share the identifier %3 (%4); nothing was changed. Give each its own "
                                 "identifier, then try again.")
                      .arg(count)
                      .arg(QLatin1String(kind.many))
                      .arg(id)
                      .arg(names.join(QStringLiteral(", "))));
}
} // namespace

qint64 nextIdentifier(Database& db, const Statement& largest, const QString& column) {
    Recordset rows = db.OpenRecordset(largest);
    const QVariant maxRec = rows.Fields(QStringLiteral("MaxRec"));
    const QVariant owner = rows.Fields(1);
    const QString row = rows.FieldName(1) == QLatin1String("OfFigure")
                            ? QStringLiteral("a part of the figure with identifier %1").arg(owner.toString())
                            : rowNamed(textOrEmpty(owner));
    rows.Close();
    return maxRec.isNull() ? 1 : qint64(requireIdentifier(maxRec, column, row)) + 1;
}

qint16 addCategory(Database& db, const QString& name) {
    qint16 newId = 0;
    // Read and insert under one lock, so that another copy of the program cannot take the same identifier.
    db.transaction([&] {
        newId = toInt16(nextIdentifier(db, statements::largestCategoryId(), QStringLiteral("CategoryID")));
        db.Execute(statements::addCategory(newId, name));
    });
    return newId;
}

void renameCategory(Database& db, qint32 categoryId, const QString& name) {
    db.transaction([&] {
        requireOneRow(db, statements::categoriesWithId(categoryId), categories, categoryId);
        db.Execute(statements::renameCategory(name, categoryId));
    });
}

qint64 deleteCategory(Database& db, qint32 categoryId) {
    qint64 figures = 0;
    // Counted and deleted under one lock: a figure filed meanwhile by another copy blocks the delete instead of
    // being left without its category.
    db.transaction([&] {
        requireOneRow(db, statements::categoriesWithId(categoryId), categories, categoryId);
        Recordset counted = db.OpenRecordset(statements::countFiguresOfCategory(categoryId));
        figures = counted.Fields(QStringLiteral("MaxRec")).toLongLong();
        counted.Close();
        if (figures <= 0)
            db.Execute(statements::deleteCategory(categoryId));
    });
    return figures;
}

void renameFigure(Database& db, qint32 figureId, const QString& name) {
    db.transaction([&] {
        requireOneRow(db, statements::figuresWithId(figureId), figures, figureId);
        db.Execute(statements::renameFigure(name, figureId));
    });
}

void deleteFigure(Database& db, qint32 figureId) {
    db.transaction([&] {
        requireOneRow(db, statements::figuresWithId(figureId), figures, figureId);
        db.Execute(statements::deleteFigureParts(figureId));
        db.Execute(statements::deleteFigure(figureId));
    });
}

void requireCategory(Database& db, qint32 categoryId) {
    requireOneRow(db, statements::categoriesWithId(categoryId), categories, categoryId);
}

void moveFigure(Database& db, qint32 figureId, qint32 categoryId) {
    db.transaction([&] {
        requireOneRow(db, statements::figuresWithId(figureId), figures, figureId);
        requireCategory(db, categoryId);
        db.Execute(statements::moveFigure(categoryId, figureId));
    });
}

} // namespace operations
