#pragma once

#include "access/jet/JetTypes.h"

#include <QHash>
#include <QList>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_value;

// A row's primary key as the writer looks rows up by it. A key of one whole-number column (every catalogue table
// has one) is the number itself; any other key is bytes that whole numbers and texts give alike from the file and
// from the working copy.
struct RowKey {
    qint64 number = 0;
    QByteArray bytes; // empty exactly for a one-number key
    bool operator==(const RowKey&) const = default;
};

// The key of a working-copy row (a changeset's values, in column order).
RowKey keyOf(sqlite3_value* const* values, const QList<int>& keyColumns);

// Where each row of a table lives in the file, by its key. The rows read at opening are only listed then (most
// catalogues are never written in a session, and a list costs far less to fill than a hash); the list is sorted
// when the writer first looks a row up, and the rows a write adds, moves or removes are kept beside it.
class RowPositions {
public:
    void addLoaded(const RowKey& key, jet::RowId id);
    const jet::RowId* find(const RowKey& key);
    void insert(const RowKey& key, jet::RowId id);
    void remove(const RowKey& key);

private:
    std::vector<std::pair<qint64, jet::RowId>> loaded;
    bool sorted = true;
    QHash<qint64, std::optional<jet::RowId>> changed; // nothing: removed
    QHash<QByteArray, jet::RowId> others;
};

// Makes the table in the (empty) working copy with the key and indexes a catalogue converted from the file has,
// plus the file's unique indexes, and fills it with the file's live rows, noting where each lives. `ownedRows`
// names the column a list looks rows up by (figures by category, parts by figure); negative for none.
void loadTable(sqlite3* db, jet::PageStore& store, const jet::TableDef& table, const QList<int>& keyColumns,
               int ownedRows, RowPositions& positions);
