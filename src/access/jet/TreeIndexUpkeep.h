#pragma once

// The index upkeep the row writer uses: every real index of the table kept true in its pages (entries added,
// removed and moved, pages split and emptied as Access does), the definition's count of distinct keys per index
// following, and unique indexes, primary keys and required indexes enforced before any page is written.

#include "access/jet/IndexUpkeep.h"

namespace jet {

class TreeIndexUpkeep : public IndexUpkeep {
public:
    // Why a table's indexes cannot be kept: an Access 97 file, an index on a column type or text sort order whose
    // keys this program does not write.
    std::optional<QString> whyNotKept(PageStore& store, const TableDef& table) override;

    // Throws Error (Constraint, naming the index) when the row would break a unique index or put an empty value
    // into a primary key or a required index; except is the row itself when it is being changed. Writes nothing.
    void check(PageStore& store, const TableDef& table, const QList<Value>& values,
               std::optional<RowId> except = std::nullopt);

    // Each checks first (throwing as check() does, before any index page is written), then changes the indexes:
    // on an update only those whose key changed.
    void rowInserted(PageStore& store, const TableDef& table, RowId row, const QList<Value>& values) override;
    void rowDeleted(PageStore& store, const TableDef& table, RowId row, const QList<Value>& values) override;
    void rowUpdated(PageStore& store, const TableDef& table, RowId row, const QList<Value>& before,
                    const QList<Value>& after) override;
};

} // namespace jet
