#pragma once

// The seam between writing rows and keeping the table's indexes: the row writer calls these after each row is
// written to its data page, within the same pending change, so that a failure (a unique key taken, say) throws
// and the caller rolls the whole change back. RowId stays the row's first slot even when the row moved.

#include "access/jet/JetTypes.h"

#include <optional>

namespace jet {

class IndexUpkeep {
public:
    virtual ~IndexUpkeep() = default;
    // Why this table's indexes cannot be kept by this code, as one sentence; nothing when they can.
    virtual std::optional<QString> whyNotKept(PageStore& store, const TableDef& table) = 0;
    virtual void rowInserted(PageStore& store, const TableDef& table, RowId row, const QList<Value>& values) = 0;
    virtual void rowDeleted(PageStore& store, const TableDef& table, RowId row, const QList<Value>& values) = 0;
    virtual void rowUpdated(PageStore& store, const TableDef& table, RowId row, const QList<Value>& before,
                            const QList<Value>& after) = 0;
};

// For a table without indexes, or for tests of the row writer alone.
class NoIndexUpkeep : public IndexUpkeep {
public:
    std::optional<QString> whyNotKept(PageStore&, const TableDef& table) override {
        if (table.indexes.isEmpty())
            return std::nullopt;
        return QStringLiteral("The indexes of table \"%1\" cannot be kept up to date.").arg(table.name);
    }
    void rowInserted(PageStore&, const TableDef&, RowId, const QList<Value>&) override {}
    void rowDeleted(PageStore&, const TableDef&, RowId, const QList<Value>&) override {}
    void rowUpdated(PageStore&, const TableDef&, RowId, const QList<Value>&, const QList<Value>&) override {}
};

} // namespace jet
