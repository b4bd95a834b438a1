#include "access/TargetSchema.h"

#include "catalogue/Failure.h"

#include <optional>

namespace {
// Mirrors resources/catalogue/schema.sql; the conversion tests hold the two together.
struct CatalogueTable {
    QString name;
    QStringList columns; // those the program needs, the identifier first
    QStringList notNull; // besides the identifier
    QString index;
    QStringList indexColumns;
};

const QList<CatalogueTable>& catalogueTables() {
    static const QList<CatalogueTable> tables = {
        {"tblCategory", {"CategoryID", "CategoryName"}, {}, {}, {}},
        {"tblFigure",
         {"FigureID", "CategoryID", "FigureName", "FigureType"},
         {"CategoryID"},
         "idxFigureCategoryName",
         {"CategoryID", "FigureName"}},
        {"tblFigurePart",
         {"FigurePartID", "FigureID", "FigurePartName"},
         {"FigureID"},
         "idxFigurePartFigure",
         {"FigureID"}},
    };
    return tables;
}

bool hasColumn(const TableDefinition& table, const QString& name) {
    for (const JetColumn& column : table.columns)
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The catalogue table this one is, when it is one with every column the program needs.
std::optional<CatalogueTable> catalogueTableOf(const TableDefinition& table) {
    for (const CatalogueTable& wanted : catalogueTables()) {
        if (wanted.name.compare(table.name, Qt::CaseInsensitive) != 0)
            continue;
        for (const QString& column : wanted.columns)
            if (!hasColumn(table, column))
                return std::nullopt;
        return wanted;
    }
    return std::nullopt;
}

// The source's own spelling of a column the catalogue names.
QString spelledAsIn(const TableDefinition& table, const QString& name) {
    for (const JetColumn& column : table.columns)
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return column.name;
    return name;
}
} // namespace

QString declaredType(JetKind kind) {
    switch (kind) {
    case JetKind::Integer:
        return QStringLiteral("INTEGER");
    case JetKind::Real:
        return QStringLiteral("REAL");
    case JetKind::Numeric:
        return QStringLiteral("NUMERIC");
    case JetKind::Text:
        return QStringLiteral("TEXT");
    case JetKind::Blob:
        return QStringLiteral("BLOB");
    case JetKind::DateTime:
        return QStringLiteral("DATETIME");
    case JetKind::Boolean:
        return QStringLiteral("BOOLEAN");
    }
    return QString();
}

Statement createTableStatement(const TableDefinition& table) {
    const auto catalogue = catalogueTableOf(table);
    QList<statements::ColumnDeclaration> columns;
    for (const JetColumn& column : table.columns) {
        const bool key = catalogue && column.name.compare(catalogue->columns.first(), Qt::CaseInsensitive) == 0;
        columns.append({column.name, declaredType(column.kind), column.kind == JetKind::Text, key,
                        catalogue && catalogue->notNull.contains(column.name, Qt::CaseInsensitive)});
    }
    return statements::createTable(table.name, columns);
}

QList<Statement> createIndexStatements(const TableDefinition& table) {
    const auto catalogue = catalogueTableOf(table);
    if (!catalogue || catalogue->index.isEmpty())
        return {};
    QStringList columns;
    for (const QString& column : catalogue->indexColumns)
        columns << spelledAsIn(table, column);
    return {statements::createIndex(catalogue->index, table.name, columns)};
}

Statement insertStatement(const TableDefinition& table) {
    QStringList names;
    for (const JetColumn& column : table.columns)
        names << column.name;
    return statements::addRow(table.name, names);
}

void requireCatalogue(const QList<TableDefinition>& tables, const QString& source) {
    QStringList missingTables;
    QStringList missingColumns;
    for (const CatalogueTable& wanted : catalogueTables()) {
        const TableDefinition* found = nullptr;
        for (const TableDefinition& table : tables)
            if (table.name.compare(wanted.name, Qt::CaseInsensitive) == 0)
                found = &table;
        if (!found) {
            missingTables << wanted.name;
            continue;
        }
        for (const QString& column : wanted.columns)
            if (!hasColumn(*found, column))
                missingColumns << QStringLiteral("%1 in %2").arg(column, wanted.name);
    }
    if (missingTables.isEmpty() && missingColumns.isEmpty())
        return;
    QStringList missing;
    if (!missingTables.isEmpty())
        missing << (missingTables.size() == 1 ? QStringLiteral("table ") : QStringLiteral("tables ")) +
                       missingTables.join(QLatin1String(", "));
    if (!missingColumns.isEmpty())
        missing << (missingColumns.size() == 1 ? QStringLiteral("column ") : QStringLiteral("columns ")) +
                       missingColumns.join(QLatin1String(", "));
    throw Failure(missingTables.isEmpty() ? failure::ItemNotFound : failure::NoSuchTable,
                  QStringLiteral("'%1' does not hold a figure catalogue; it lacks %2. Nothing was converted.")
                      .arg(source, missing.join(QLatin1String("; "))));
}
