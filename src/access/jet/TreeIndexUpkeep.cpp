#include "access/jet/TreeIndexUpkeep.h"

#include "access/jet/IndexKeys.h"
#include "access/jet/IndexTree.h"
#include "access/jet/JetError.h"
#include "access/jet/TableDefs.h"

#include <QtEndian>

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

// Adds the entry and counts a key the index did not hold before in the definition page (Access counts these up
// and never down). The definition page is read afresh: the row writer changes it too.
void addEntry(PageStore& store, const TableDef& table, const IndexDef& index, const QByteArray& key, RowId row) {
    IndexTree tree = treeOf(store, table, index);
    const bool newKey = !tree.containsKey(key);
    if (!tree.insert(key, row) || !newKey)
        return;
    QByteArray definition = store.read(table.definitionPage);
    const int at = tdef::IndexCounts + IndexCountsSize * index.number + UniqueCountOffset;
    if (at + 4 > definition.size())
        damaged(QStringLiteral("The definition of table \"%1\" is too short for its indexes.").arg(table.name));
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(definition.constData() + at) + 1, definition.data() + at);
    store.write(table.definitionPage, definition);
}

} // namespace

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
        if (treeOf(store, table, index).containsKey(encodeKey(table, index, values), except))
            constraint(
                QStringLiteral("The change would give index %1 a value it already holds.").arg(nameOf(table, index)));
    }
}

void TreeIndexUpkeep::rowInserted(PageStore& store, const TableDef& table, RowId row, const QList<Value>& values) {
    check(store, table, values);
    for (const IndexDef& index : table.indexes)
        if (hasEntry(table, index, values))
            addEntry(store, table, index, encodeKey(table, index, values), row);
}

void TreeIndexUpkeep::rowDeleted(PageStore& store, const TableDef& table, RowId row, const QList<Value>& values) {
    if (auto why = whyNotKept(store, table))
        unsupported(*why);
    for (const IndexDef& index : table.indexes)
        if (hasEntry(table, index, values))
            treeOf(store, table, index).remove(encodeKey(table, index, values), row);
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
        if (hadEntry)
            treeOf(store, table, index).remove(oldKey, row);
        if (getsEntry)
            addEntry(store, table, index, newKey, row);
    }
}

} // namespace jet
