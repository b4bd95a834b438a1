#pragma once

// The pages of one index: a tree whose leaves (page type 0x04) hold every entry, key and row, in key order then row
// order, and whose intermediate pages (0x03) hold one entry per child page: the child's last entry and the child's
// page number. The last child of an intermediate page with more than one child is not written as an entry but named
// in the page header (the "tail"). Pages of one level are chained by previous/next pointers: leaves across the whole
// level, intermediate pages only among the children of one parent.
//
// A page holds a mask whose set bits mark where each entry ends, and writes the bytes that its first and last entry
// keys share only once (the prefix). Changes keep all of this as Access keeps it: a page that grows past its room
// is split in two halves, the new page taking the first half and standing before the old one; a full root is first
// moved down into a new page; an emptied page leaves its parent and its chain.

#include "access/jet/JetTypes.h"

#include <QMap>
#include <QSet>
#include <functional>
#include <optional>

namespace jet {

struct IndexEntry {
    QByteArray key;
    RowId row;
    quint32 child = 0; // intermediate entries: the page below
};
// Order of entries: key bytes (shorter first when one is the start of the other), then page, then row.
int compareEntries(const QByteArray& keyA, RowId rowA, const QByteArray& keyB, RowId rowB);

class IndexTree {
public:
    // rootPage and definitionPage as the table definition names them; ownedPagesMap is the index's usage map
    // (a row pointer, 0 when none), which learns of every page the tree adds.
    IndexTree(PageStore& store, quint32 rootPage, quint32 definitionPage, quint32 ownedPagesMap = 0);

    // Every entry in order. Throws Error (Damaged) for a page that is not an index page of this table, entries out
    // of order, or a loop.
    void walk(const std::function<void(const QByteArray& key, RowId row)>& visit) const;
    QList<IndexEntry> entries() const;

    // Whether an entry with these key bytes exists for a row other than except.
    bool containsKey(const QByteArray& key, std::optional<RowId> except = std::nullopt) const;

    // Adds the entry; false when it was already there. Pages are written through the store at once, unless
    // writes are held.
    bool insert(const QByteArray& key, RowId row);
    // Removes the entry; false when the index did not hold it.
    bool remove(const QByteArray& key, RowId row);

    // While held, changed pages stay parsed in memory and reach the store at writeHeld(), each once however many
    // entries it took: a batch of sorted inserts rewrites every leaf it touches once. The tree must then be the
    // only writer of its pages until writeHeld().
    void holdWrites() { holding_ = true; }
    void writeHeld();

    // Structural check for tests: chains, parent entries, tails, order. Throws Error (Damaged) naming the fault.
    void check() const;

    // One page as parsed (public for the parse cache of leaves).
    struct Page {
        quint32 number = 0;
        bool leaf = true;
        quint32 prev = 0, next = 0;
        QList<IndexEntry> entries; // intermediate pages: one per child, the tail child last
        QByteArray header;         // the page's first bytes as read, kept where they are not recomputed
    };

private:
    struct Step {
        quint32 page;
        int child;
    };

    Page& load(quint32 number) const;
    Page parse(quint32 number) const;
    void readEntries(const QByteArray& bytes, Page& page, quint32 number) const;
    IndexEntry lastEntryBelow(quint32 number, int depth = 0) const;
    QList<Step> descend(const QByteArray& key, RowId row) const;
    void walkPage(quint32 number, int depth, const std::function<void(const IndexEntry&)>& visit) const;
    int compressedSize(const Page& page) const;
    void write(const Page& page);

    // Editing (IndexTreeEdit.cpp): pages change in memory, are marked, and are written once at the end.
    void touch(quint32 number) {
        dirty_.insert(number);
        unchecked_.append(number);
    }
    void finishChange();
    void boundHeld();
    void flush();
    void refreshParents(const QList<Step>& path, int level);
    void splitOverfull();
    void nestRoot();
    void split(quint32 parentNumber, quint32 number);
    void detachEmpty(const QList<Step>& path);
    std::optional<QList<Step>> pathOfRow(RowId row) const;
    quint32 newPage(bool leaf);
    void release(quint32 number);

    PageStore& store_;
    quint32 root_, definitionPage_, ownedMap_;
    mutable QMap<quint32, Page> pages_;
    QSet<quint32> dirty_;      // changed, not yet written
    QList<quint32> unchecked_; // changed since the last check for pages that overflow (repeats allowed)
    bool holding_ = false;
};

} // namespace jet
