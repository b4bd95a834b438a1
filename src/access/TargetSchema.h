#pragma once

#include "access/JetFile.h"
#include "catalogue/Statements.h"

// The statements that give each Access table its SQLite twin, and what makes an Access file a catalogue.

struct TableDefinition {
    QString name;
    QList<JetColumn> columns;
};

QString declaredType(JetKind kind);

// The columns keep their names and order. Jet compares text without regard to case, so text columns collate
// NOCASE. The three catalogue tables also get the keys and NOT NULLs of resources/catalogue/schema.sql.
Statement createTableStatement(const TableDefinition& table);
// The indexes resources/catalogue/schema.sql gives a catalogue table; none for any other table.
QList<Statement> createIndexStatements(const TableDefinition& table);
Statement insertStatement(const TableDefinition& table);

// Fails, naming every missing table and column (names compare without regard to case), unless the tables hold
// a catalogue.
void requireCatalogue(const QList<TableDefinition>& tables, const QString& source);
