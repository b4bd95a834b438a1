#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QtGlobal>

// One statement as sent to the catalogue: numbers are written into the text, texts travel as bound
// parameters so that no name from the user or from a file can change what the statement does.
struct Statement {
    QString text;
    QVariantList binds;
};

// Every statement the program sends, under one name each. Nothing outside this file writes SQL but the empty
// catalogue's schema (resources/catalogue/schema.sql), which CatalogueLocation runs as it stands.
namespace statements {
Statement listCategories();
Statement listFigures(qint32 categoryId);
Statement figureType(qint32 figureId);
// The columns named, in that order: export, import and the parts list read the same ones.
Statement figureParts(qint32 figureId, const QStringList& columns);
// The largest identifier of a table (MaxRec) and, from the row that holds it, what names that row: its name
// (RowName), or for a part its figure (OfFigure).
Statement largestCategoryId();
Statement addCategory(qint32 newId, const QString& name);
Statement renameCategory(const QString& name, qint32 categoryId);
Statement countFiguresOfCategory(qint32 categoryId);
Statement deleteCategory(qint32 categoryId);
Statement renameFigure(const QString& name, qint32 figureId);
Statement moveFigure(qint32 categoryId, qint32 figureId);
Statement deleteFigureParts(qint32 figureId);
Statement deleteFigure(qint32 figureId);
Statement figureForExport(qint32 figureId);
Statement countSameName(qint32 categoryId, const QString& name);
Statement largestFigureId();
Statement addFigure(qint32 newId, qint32 categoryId, const QString& name, const QString& type);
Statement largestPartId();
// The table the parts of a figure are added to, one RowAdder row each.
QString partTable();
// The rows a command is about to change, one name each, so that it can refuse an identifier held twice.
Statement categoriesWithId(qint32 categoryId);
Statement figuresWithId(qint32 figureId);
// One write transaction, taken at once so that the identifiers read inside it stay its own, and its end.
Statement beginWriting();
Statement commit();
Statement rollBack();
// Any row when the catalogue has a table of that name (case aside).
Statement tableNamed(const QString& table);
// The engine's own check of the file, stopping at the first fault found ("ok" when there is none).
Statement quickCheck();

// For finding entries by the name the lists show (without surrounding blanks, case aside), and listing them with
// how much each holds.
Statement categoriesNamed(const QString& name);
Statement figuresNamed(qint32 categoryId, const QString& name);
Statement categoriesWithFigureCounts();
Statement figuresWithPartCounts(qint32 categoryId);

// The columns of a table (name in column 1, declared type in column 2), and a row of values for all of them.
// Names of tables, columns and indexes come from the catalogue or an Access file, so every statement built from
// them quotes them (quotedIdentifier): a part column may be called "Part Colour" or "Order".
Statement tableColumns(const QString& table);
Statement addRow(const QString& table, const QStringList& columns);

// A column of a table being made: its name, declared type and what is required of it.
struct ColumnDeclaration {
    QString name;
    QString type;
    bool caseless = false; // text compared without regard to case
    bool primaryKey = false;
    bool notNull = false;
};
Statement createTable(const QString& table, const QList<ColumnDeclaration>& columns);
Statement createIndex(const QString& index, const QString& table, const QStringList& columns);
} // namespace statements
