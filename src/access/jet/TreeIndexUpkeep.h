#pragma once

// The index upkeep the row writer uses: every real index of the table kept true in its pages (entries added,
// removed and moved, pages split and emptied as Access does), the definition's count of distinct keys per index
// following, and unique indexes, primary keys and required indexes enforced before any page is written.

#include "access/jet/IndexTree.h"
#include "access/jet/IndexUpkeep.h"

#include <memory>

namespace jet {

class TreeIndexUpkeep : public IndexUpkeep {
public:
    TreeIndexUpkeep();
    ~TreeIndexUpkeep() override;

    // Between beginBatch() and finishBatch() every index keeps its pages parsed, removes entries at once and
    // gathers the entries it gains; finishBatch() adds those in key order, so that a change of many rows rewrites
    // each page it touches once. A row is checked against the index as it comes, and two gathered rows with one
    // unique key fail at finishBatch(). Within a batch each row changes at most once (as in one changeset).
    // dropBatch() forgets a batch whose change is rolled back; a failed finishBatch() drops it.
    void beginBatch();
    void finishBatch(PageStore& store);
    void dropBatch();

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

private:
    struct Batch;
    // The batch's tree of the index, or else `single`, made for this one change.
    IndexTree& treeFor(PageStore& store, const TableDef& table, const IndexDef& index,
                       std::optional<IndexTree>& single);
    void add(PageStore& store, const TableDef& table, const IndexDef& index, const QByteArray& key, RowId row);
    std::unique_ptr<Batch> batch_;
};

} // namespace jet
