#pragma once

#include "access/JetFile.h"
#include "catalogue/EngineFailure.h" // quotedIdentifier: Access names may hold spaces, reserved words and quotes

// The SQL that gives each Access table its SQLite twin, and what makes an Access file a catalogue.

struct TableDefinition {
    QString name;
    QList<JetColumn> columns;
};

QString declaredType(JetKind kind);

// The columns keep their names and order. Jet compares text without regard to case, so text columns collate
// NOCASE. The three catalogue tables also get the keys and NOT NULLs of resources/catalogue/schema.sql.
QString createTableSql(const TableDefinition& table);
// The indexes resources/catalogue/schema.sql gives a catalogue table; none for any other table.
QStringList createIndexSql(const TableDefinition& table);
QString insertSql(const TableDefinition& table);

// Fails, naming every missing table and column (names compare without regard to case), unless the tables hold
// a catalogue.
void requireCatalogue(const QList<TableDefinition>& tables, const QString& source);
