#include "access/jet/TreeIndexUpkeep.h"

#include "access/jet/IndexKeys.h"
#include "access/jet/IndexTree.h"
#include "access/jet/JetError.h"
#include "access/jet/TableDefs.h"

#include <QtEndian>
#include <algorithm>
#include <map>
#include <tuple>

namespace jet {

namespace {

constexpr int IndexCountsSize = 12, UniqueCountOffset = 4;

IndexTree treeOf(PageStore& store, const TableDef& table, const IndexDef& index) {
    return IndexTree(store, index.rootPage, table.definitionPage, index.usedPagesMap);
}

QString nameOf(const TableDef& table, const IndexDef& index) {
    return index.names.isEmpty() ? QStringLiteral("%1 of table \"%2\"").arg(index.number).arg(table.name)
                                 : QStringLiteral("\"%1\" of table \"%2\"").arg(index.names.join(", "), table.name);
}

[[noreturn]] void constraint(const QString& message) {
    throw Error(Error::Kind::Constraint, message);
}

// Whether the row has an entry in the index: a row whose key columns are all empty has none where nulls are ignored.
bool hasEntry(const TableDef& table, const IndexDef& index, const QList<Value>& values) {
    return !(index.ignoreNulls() && allKeyColumnsNull(table, index, values));
}

// Counts keys the index did not hold before in the definition page (Access counts these up and never down). The
// definition page is read afresh: the row writer changes it too.
void countNewKeys(PageStore& store, const TableDef& table, const IndexDef& index, quint32 added) {
    if (added == 0)
        return;
    QByteArray definition = store.read(table.definitionPage);
    const int at = tdef::IndexCounts + IndexCountsSize * index.number + UniqueCountOffset;
    if (at + 4 > definition.size())
        damaged(QStringLiteral("The definition of table \"%1\" is too short for its indexes.").arg(table.name));
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(definition.constData() + at) + added, definition.data() + at);
    store.write(table.definitionPage, definition);
}

// One index's part of a batch: its tree, held, and the entries it gains.
struct Gathered {
    std::unique_ptr<IndexTree> tree;
    TableDef table;
    IndexDef index;
    QList<IndexEntry> added;
};

} // namespace

struct TreeIndexUpkeep::Batch {
    std::map<std::tuple<const PageStore*, quint32, int>, Gathered> indexes;
    Gathered& of(PageStore& store, const TableDef& table, const IndexDef& index) {
        Gathered& g = indexes[{&store, table.definitionPage, index.number}];
        if (!g.tree) {
            g.tree = std::make_unique<IndexTree>(treeOf(store, table, index));
            g.tree->holdWrites();
            g.table = table;
            g.index = index;
        }
        return g;
    }
};

TreeIndexUpkeep::TreeIndexUpkeep() = default;
TreeIndexUpkeep::~TreeIndexUpkeep() = default;

void TreeIndexUpkeep::beginBatch() {
    batch_ = std::make_unique<Batch>();
}

void TreeIndexUpkeep::dropBatch() {
    batch_.reset();
}

void TreeIndexUpkeep::finishBatch(PageStore& store) {
    const std::unique_ptr<Batch> batch = std::move(batch_);
    if (!batch)
        return;
    for (auto& [_, g] : batch->indexes) {
        std::sort(g.added.begin(), g.added.end(), [](const IndexEntry& a, const IndexEntry& b) {
            return compareEntries(a.key, a.row, b.key, b.row) < 0;
        });
        // Each row was checked against the tree as it came; two of the batch's own rows with one key meet here.
        const bool unique = g.index.unique() || g.index.primaryKey;
        const QByteArray empty = unique ? encodeKey(g.table, g.index, QList<Value>(g.table.columns.size())) : "";
        quint32 newKeys = 0;
        for (qsizetype i = 0; i < g.added.size(); ++i) {
            const IndexEntry& e = g.added[i];
            const bool repeated = i > 0 && g.added[i - 1].key == e.key;
            if (repeated && unique && e.key != empty)
                constraint(QStringLiteral("The change would give index %1 a value it already holds.")
                               .arg(nameOf(g.table, g.index)));
            const bool newKey = !repeated && !g.tree->containsKey(e.key);
            if (g.tree->insert(e.key, e.row) && newKey)
                ++newKeys;
        }
        g.tree->writeHeld();
        countNewKeys(store, g.table, g.index, newKeys);
    }
}

IndexTree& TreeIndexUpkeep::treeFor(PageStore& store, const TableDef& table, const IndexDef& index,
                                    std::optional<IndexTree>& single) {
    if (batch_)
        return *batch_->of(store, table, index).tree;
    single.emplace(treeOf(store, table, index));
    return *single;
}

void TreeIndexUpkeep::add(PageStore& store, const TableDef& table, const IndexDef& index, const QByteArray& key,
                          RowId row) {
    if (batch_) {
        batch_->of(store, table, index).added.append(IndexEntry{key, row, 0});
        return;
    }
    IndexTree tree = treeOf(store, table, index);
    const bool newKey = !tree.containsKey(key);
    if (tree.insert(key, row) && newKey)
        countNewKeys(store, table, index, 1);
}

std::optional<QString> TreeIndexUpkeep::whyNotKept(PageStore& store, const TableDef& table) {
    if (store.version() == Version::Jet3)
        return QStringLiteral("Table \"%1\" is in an Access 97 file, whose index keys this program does not write.")
            .arg(table.name);
    for (const IndexDef& index : table.indexes) {
        if (auto why = whyNotKeepable(table, index))
            return why;
        if (store.version() >= Version::Ace14)
            for (const IndexColumn& ic : index.columns)
                for (const ColumnDef& c : table.columns)
                    if (c.number == ic.columnNumber && (c.type == ColumnType::Text || c.type == ColumnType::Memo) &&
                        c.collation == 0)
                        return QStringLiteral("Column \"%1\" of table \"%2\" sorts its text in the General order "
                                              "of Access 2010 and later, whose index keys this program does not "
                                              "write.")
                            .arg(c.name, table.name);
    }
    return std::nullopt;
}

void TreeIndexUpkeep::check(PageStore& store, const TableDef& table, const QList<Value>& values,
                            std::optional<RowId> except) {
    if (auto why = whyNotKept(store, table))
        unsupported(*why);
    for (const IndexDef& index : table.indexes) {
        const bool required = index.primaryKey || (index.flags & 0x08);
        if (required && anyKeyColumnNull(table, index, values))
            constraint(QStringLiteral("Index %1 does not allow an empty value.").arg(nameOf(table, index)));
        if (!(index.unique() || index.primaryKey) || allKeyColumnsNull(table, index, values))
            continue; // several rows may leave a unique index empty
        const QByteArray key = encodeKey(table, index, values);
        std::optional<IndexTree> single;
        if (treeFor(store, table, index, single).containsKey(key, except))
            constraint(
                QStringLiteral("The change would give index %1 a value it already holds.").arg(nameOf(table, index)));
    }
}

void TreeIndexUpkeep::rowInserted(PageStore& store, const TableDef& table, RowId row, const QList<Value>& values) {
    check(store, table, values);
    for (const IndexDef& index : table.indexes)
        if (hasEntry(table, index, values))
            add(store, table, index, encodeKey(table, index, values), row);
}

void TreeIndexUpkeep::rowDeleted(PageStore& store, const TableDef& table, RowId row, const QList<Value>& values) {
    if (auto why = whyNotKept(store, table))
        unsupported(*why);
    for (const IndexDef& index : table.indexes) {
        std::optional<IndexTree> single;
        if (hasEntry(table, index, values))
            treeFor(store, table, index, single).remove(encodeKey(table, index, values), row);
    }
}

void TreeIndexUpkeep::rowUpdated(PageStore& store, const TableDef& table, RowId row, const QList<Value>& oldValues,
                                 const QList<Value>& newValues) {
    check(store, table, newValues, row);
    for (const IndexDef& index : table.indexes) {
        const bool hadEntry = hasEntry(table, index, oldValues), getsEntry = hasEntry(table, index, newValues);
        const QByteArray oldKey = hadEntry ? encodeKey(table, index, oldValues) : QByteArray();
        const QByteArray newKey = getsEntry ? encodeKey(table, index, newValues) : QByteArray();
        if (hadEntry == getsEntry && oldKey == newKey)
            continue;
        std::optional<IndexTree> single;
        if (hadEntry)
            treeFor(store, table, index, single).remove(oldKey, row);
        if (getsEntry)
            add(store, table, index, newKey, row);
    }
}

} // namespace jet
