#pragma once

// Keeps every index of a table true as its rows change. The row writer calls it after each change of a row, with
// the row's values as the table holds them (TableDef::columns order); each call changes the index pages and the
// definition page's per-index counts through the page store, so that they commit or roll back with the row.

#include "access/jet/JetTypes.h"

#include <optional>

namespace jet {

class IndexUpkeep {
public:
    explicit IndexUpkeep(PageStore& store) : store_(store) {}
    virtual ~IndexUpkeep() = default;

    // Why the indexes of this table cannot be kept on writes (first reason found), or nothing when they can. The
    // caller refuses to write such a table.
    std::optional<QString> whyNotWritable(const TableDef& table) const;

    // Throws Error (Constraint, naming the index) when the row would break a unique index or put a null into a
    // primary key or a required index; except is the row itself when it is being updated. Writes nothing.
    void check(const TableDef& table, const QList<Value>& row, std::optional<RowId> except = std::nullopt) const;

    // Each checks first (throwing as check() does, before any page is written), then changes the indexes.
    virtual void rowInserted(const TableDef& table, RowId row, const QList<Value>& values);
    virtual void rowDeleted(const TableDef& table, RowId row, const QList<Value>& values);
    // Only the indexes whose key changed are touched.
    virtual void rowUpdated(const TableDef& table, RowId row, const QList<Value>& oldValues,
                            const QList<Value>& newValues);

private:
    void requireWritable(const TableDef& table) const;
    void addEntry(const TableDef& table, const IndexDef& index, const QByteArray& key, RowId row);
    bool hasEntry(const TableDef& table, const IndexDef& index, const QList<Value>& values) const;

    PageStore& store_;
};

} // namespace jet
