#include "catalogue/Statements.h"

#include "catalogue/EngineFailure.h"

namespace statements {
namespace {
QString number(qint64 value) {
    return QString::number(value);
}
} // namespace

// Names compare and sort as people read them (collation::names: case aside, accents beside their letters),
// whatever collation the catalogue's columns were made with.
Statement listCategories() {
    return {QStringLiteral("SELECT CategoryID, CategoryName FROM tblCategory ORDER BY CategoryName COLLATE NAMES"), {}};
}

Statement listFigures(qint32 categoryId) {
    return {"SELECT FigureID, FigureName FROM tblFigure WHERE CategoryID=" + number(categoryId) +
                " ORDER BY FigureName COLLATE NAMES",
            {}};
}

Statement figureType(qint32 figureId) {
    return {"SELECT FigureType FROM tblFigure WHERE FigureID=" + number(figureId), {}};
}

Statement figureParts(qint32 figureId, const QStringList& columns) {
    QStringList quoted;
    for (const QString& column : columns)
        quoted << quotedIdentifier(column);
    return {"SELECT " + quoted.join(QLatin1String(", ")) + " FROM tblFigurePart WHERE FigureID=" + number(figureId),
            {}};
}

Statement largestCategoryId() {
    return {QStringLiteral("SELECT MAX(CategoryID) AS MaxRec, CategoryName AS RowName FROM tblCategory"), {}};
}

Statement addCategory(qint32 newId, const QString& name) {
    return {"INSERT INTO tblCategory (CategoryID, CategoryName) VALUES (" + number(newId) + ", ?)", {name}};
}

Statement renameCategory(const QString& name, qint32 categoryId) {
    return {"UPDATE tblCategory SET CategoryName=? WHERE CategoryID=" + number(categoryId), {name}};
}

Statement countFiguresOfCategory(qint32 categoryId) {
    return {"SELECT COUNT(CategoryID) as MaxRec FROM tblFigure WHERE CategoryID=" + number(categoryId), {}};
}

// The older engine wanted "DELETE * FROM"; SQLite takes the plain form with the same meaning.
Statement deleteCategory(qint32 categoryId) {
    return {"DELETE FROM tblCategory WHERE CategoryID=" + number(categoryId), {}};
}

Statement renameFigure(const QString& name, qint32 figureId) {
    return {"UPDATE tblFigure SET FigureName=? WHERE FigureID=" + number(figureId), {name}};
}

Statement moveFigure(qint32 categoryId, qint32 figureId) {
    return {"UPDATE tblFigure SET CategoryID=" + number(categoryId) + " WHERE FigureID=" + number(figureId), {}};
}

Statement deleteFigureParts(qint32 figureId) {
    return {"DELETE FROM tblFigurePart WHERE FigureID=" + number(figureId), {}};
}

Statement deleteFigure(qint32 figureId) {
    return {"DELETE FROM tblFigure WHERE FigureID=" + number(figureId), {}};
}

Statement figureForExport(qint32 figureId) {
    return {"SELECT FigureName, FigureType FROM tblFigure WHERE FigureID=" + number(figureId), {}};
}

Statement countSameName(qint32 categoryId, const QString& name) {
    return {"SELECT COUNT(FigureName) as RecCount FROM tblFigure WHERE CategoryID=" + number(categoryId) +
                " AND FigureName=? COLLATE NAMES",
            {name}};
}

Statement largestFigureId() {
    return {QStringLiteral("SELECT MAX(FigureID) AS MaxRec, FigureName AS RowName FROM tblFigure"), {}};
}

Statement addFigure(qint32 newId, qint32 categoryId, const QString& name, const QString& type) {
    return {"INSERT INTO tblFigure (FigureID, CategoryID, FigureName, FigureType) VALUES (" + number(newId) + ", " +
                number(categoryId) + ", ?, ?)",
            {name, type}};
}

Statement largestPartId() {
    return {QStringLiteral("SELECT MAX(FigurePartID) AS MaxRec, FigureID AS OfFigure FROM tblFigurePart"), {}};
}

QString partTable() {
    return QStringLiteral("tblFigurePart");
}

Statement categoriesWithId(qint32 categoryId) {
    return {"SELECT CategoryName AS Name FROM tblCategory WHERE CategoryID=" + number(categoryId), {}};
}

Statement figuresWithId(qint32 figureId) {
    return {"SELECT FigureName AS Name FROM tblFigure WHERE FigureID=" + number(figureId), {}};
}

Statement beginWriting() {
    return {QStringLiteral("BEGIN IMMEDIATE"), {}};
}

Statement commit() {
    return {QStringLiteral("COMMIT"), {}};
}

Statement rollBack() {
    return {QStringLiteral("ROLLBACK"), {}};
}

Statement tableNamed(const QString& table) {
    return {QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"), {table}};
}

Statement quickCheck() {
    return {QStringLiteral("PRAGMA quick_check(1)"), {}};
}

Statement categoriesNamed(const QString& name) {
    return {
        QStringLiteral("SELECT CategoryID FROM tblCategory WHERE TRIM(CategoryName, ' ')=TRIM(?, ' ') COLLATE NAMES "
                       "ORDER BY CategoryID"),
        {name}};
}

Statement figuresNamed(qint32 categoryId, const QString& name) {
    return {"SELECT FigureID FROM tblFigure WHERE CategoryID=" + number(categoryId) +
                " AND TRIM(FigureName, ' ')=TRIM(?, ' ') COLLATE NAMES ORDER BY FigureID",
            {name}};
}

Statement categoriesWithFigureCounts() {
    return {
        QStringLiteral("SELECT CategoryID, CategoryName, (SELECT COUNT(*) FROM tblFigure f WHERE "
                       "f.CategoryID=c.CategoryID) AS Figures FROM tblCategory c ORDER BY CategoryName COLLATE NAMES"),
        {}};
}

Statement figuresWithPartCounts(qint32 categoryId) {
    return {"SELECT FigureID, FigureName, (SELECT COUNT(*) FROM tblFigurePart p WHERE p.FigureID=f.FigureID) AS "
            "Parts FROM tblFigure f WHERE CategoryID=" +
                number(categoryId) + " ORDER BY FigureName COLLATE NAMES",
            {}};
}

Statement tableColumns(const QString& table) {
    return {"PRAGMA table_info(" + quotedIdentifier(table) + ")", {}};
}

Statement addRow(const QString& table, const QStringList& columns) {
    QStringList names;
    QStringList marks;
    for (const QString& column : columns) {
        names << quotedIdentifier(column);
        marks << QStringLiteral("?");
    }
    return {"INSERT INTO " + quotedIdentifier(table) + " (" + names.join(QLatin1String(", ")) + ") VALUES (" +
                marks.join(QLatin1String(", ")) + ")",
            {}};
}

Statement createTable(const QString& table, const QList<ColumnDeclaration>& columns) {
    QStringList declared;
    for (const ColumnDeclaration& column : columns) {
        QString declaration = quotedIdentifier(column.name) + QLatin1Char(' ') + column.type;
        if (column.caseless)
            declaration += QLatin1String(" COLLATE NOCASE");
        if (column.primaryKey)
            declaration += QLatin1String(" NOT NULL PRIMARY KEY");
        else if (column.notNull)
            declaration += QLatin1String(" NOT NULL");
        declared << declaration;
    }
    return {"CREATE TABLE " + quotedIdentifier(table) + " (" + declared.join(QLatin1String(", ")) + ")", {}};
}

Statement createIndex(const QString& index, const QString& table, const QStringList& columns) {
    QStringList quoted;
    for (const QString& column : columns)
        quoted << quotedIdentifier(column);
    return {"CREATE INDEX " + quotedIdentifier(index) + " ON " + quotedIdentifier(table) + " (" +
                quoted.join(QLatin1String(", ")) + ")",
            {}};
}
} // namespace statements
