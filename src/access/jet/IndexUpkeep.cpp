#include "access/jet/IndexUpkeep.h"

#include "access/jet/IndexKeys.h"
#include "access/jet/IndexTree.h"
#include "access/jet/JetError.h"

#include <QtEndian>

namespace jet {

namespace {

constexpr int IndexCountsAt = 63, IndexCountsSize = 12, UniqueCountOffset = 4;

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

} // namespace

std::optional<QString> IndexUpkeep::whyNotWritable(const TableDef& table) const {
    if (store_.version() == Version::Jet3)
        return QStringLiteral("Table \"%1\" is in an Access 97 file, whose index keys this program does not write.")
            .arg(table.name);
    for (const IndexDef& index : table.indexes) {
        if (auto why = whyNotKeepable(table, index))
            return why;
        if (store_.version() >= Version::Ace14)
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

void IndexUpkeep::requireWritable(const TableDef& table) const {
    if (auto why = whyNotWritable(table))
        unsupported(*why);
}

void IndexUpkeep::check(const TableDef& table, const QList<Value>& values, std::optional<RowId> except) const {
    requireWritable(table);
    for (const IndexDef& index : table.indexes) {
        const bool required = index.primaryKey || (index.flags & 0x08);
        if (required && anyKeyColumnNull(table, index, values))
            constraint(QStringLiteral("Index %1 does not allow an empty value.").arg(nameOf(table, index)));
        if (!(index.unique() || index.primaryKey) || allKeyColumnsNull(table, index, values))
            continue; // several rows may leave a unique index empty
        if (treeOf(store_, table, index).containsKey(encodeKey(table, index, values), except))
            constraint(
                QStringLiteral("The change would give index %1 a value it already holds.").arg(nameOf(table, index)));
    }
}

// Adds the entry and counts a key the index did not hold before in the definition page (Access counts these up
// and never down).
void IndexUpkeep::addEntry(const TableDef& table, const IndexDef& index, const QByteArray& key, RowId row) {
    IndexTree tree = treeOf(store_, table, index);
    const bool newKey = !tree.containsKey(key);
    if (!tree.insert(key, row) || !newKey)
        return;
    QByteArray definition = store_.read(table.definitionPage);
    const int at = IndexCountsAt + IndexCountsSize * index.number + UniqueCountOffset;
    if (at + 4 > definition.size())
        damaged(QStringLiteral("The definition of table \"%1\" is too short for its indexes.").arg(table.name));
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(definition.constData() + at) + 1, definition.data() + at);
    store_.write(table.definitionPage, definition);
}

bool IndexUpkeep::hasEntry(const TableDef& table, const IndexDef& index, const QList<Value>& values) const {
    return !(index.ignoreNulls() && allKeyColumnsNull(table, index, values));
}

void IndexUpkeep::rowInserted(const TableDef& table, RowId row, const QList<Value>& values) {
    check(table, values);
    for (const IndexDef& index : table.indexes)
        if (hasEntry(table, index, values))
            addEntry(table, index, encodeKey(table, index, values), row);
}

void IndexUpkeep::rowDeleted(const TableDef& table, RowId row, const QList<Value>& values) {
    requireWritable(table);
    for (const IndexDef& index : table.indexes)
        if (hasEntry(table, index, values))
            treeOf(store_, table, index).remove(encodeKey(table, index, values), row);
}

void IndexUpkeep::rowUpdated(const TableDef& table, RowId row, const QList<Value>& oldValues,
                             const QList<Value>& newValues) {
    check(table, newValues, row);
    for (const IndexDef& index : table.indexes) {
        const bool hadEntry = hasEntry(table, index, oldValues), getsEntry = hasEntry(table, index, newValues);
        const QByteArray oldKey = hadEntry ? encodeKey(table, index, oldValues) : QByteArray();
        const QByteArray newKey = getsEntry ? encodeKey(table, index, newValues) : QByteArray();
        if (hadEntry == getsEntry && oldKey == newKey)
            continue;
        if (hadEntry)
            treeOf(store_, table, index).remove(oldKey, row);
        if (getsEntry)
            addEntry(table, index, newKey, row);
    }
}

} // namespace jet
