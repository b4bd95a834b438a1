// Changing an index tree: adding and removing entries, splitting full pages and detaching empty ones.

#include "access/jet/IndexTree.h"

#include "access/jet/JetError.h"
#include "access/jet/UsageMap.h"

#include <QtEndian>
#include <algorithm>

namespace jet {

namespace {

constexpr int EntriesAt = 27 + 453;

} // namespace

void IndexTree::flush() {
    QList<quint32> numbers(dirty_.cbegin(), dirty_.cend());
    std::sort(numbers.begin(), numbers.end());
    for (quint32 number : std::as_const(numbers))
        if (const auto it = pages_.constFind(number); it != pages_.constEnd())
            write(*it);
    dirty_.clear();
}

// The bound on parsed pages a held tree keeps: past it they are written and parsed again when next met, so that a
// batch over a whole large index does not hold all of it parsed. Sorted batches meet their pages in order, so
// little is parsed twice.
constexpr qsizetype maxHeldPages = 2048;

void IndexTree::finishChange() {
    splitOverfull();
    if (!holding_)
        flush();
}

void IndexTree::writeHeld() {
    flush();
    holding_ = false;
}

void IndexTree::boundHeld() {
    if (holding_ && pages_.size() > maxHeldPages) {
        flush();
        pages_.clear();
    }
}

bool IndexTree::insert(const QByteArray& key, RowId row) {
    boundHeld();
    QList<Step> path = descend(key, row);
    Page& leaf = load(path.last().page);
    const int at = path.last().child;
    if (at < leaf.entries.size() && compareEntries(leaf.entries[at].key, leaf.entries[at].row, key, row) == 0)
        return false;
    leaf.entries.insert(at, IndexEntry{key, row, 0});
    touch(leaf.number);
    if (at == leaf.entries.size() - 1)
        refreshParents(path, int(path.size()) - 1);
    finishChange();
    return true;
}

bool IndexTree::remove(const QByteArray& key, RowId row) {
    boundHeld();
    QList<Step> path = descend(key, row);
    const Page* leaf = &load(path.last().page);
    int at = path.last().child;
    if (at >= leaf->entries.size() || compareEntries(leaf->entries[at].key, leaf->entries[at].row, key, row) != 0) {
        // the caller's values may not be those the key was made from: find the row by its place instead
        const auto found = pathOfRow(row);
        if (!found)
            return false;
        path = *found;
        leaf = &load(path.last().page);
        at = path.last().child;
    }
    Page& page = load(path.last().page);
    const bool wasLast = at == page.entries.size() - 1;
    page.entries.removeAt(at);
    touch(page.number);
    if (page.entries.isEmpty())
        detachEmpty(path);
    else if (wasLast)
        refreshParents(path, int(path.size()) - 1);
    finishChange();
    return true;
}

std::optional<QList<IndexTree::Step>> IndexTree::pathOfRow(RowId row) const {
    std::optional<IndexEntry> hit;
    walkPage(root_, 0, [&](const IndexEntry& e) {
        if (!hit && e.row == row)
            hit = e;
    });
    if (!hit)
        return std::nullopt;
    return descend(hit->key, hit->row);
}

// A page's last entry changed: its parent's entry for it follows, and so on up while that was the parent's last.
void IndexTree::refreshParents(const QList<Step>& path, int level) {
    for (int k = level - 1; k >= 0; --k) {
        Page& parent = load(path[k].page);
        const int i = path[k].child;
        const IndexEntry last = load(path[k + 1].page).entries.last();
        IndexEntry& entry = parent.entries[i];
        if (entry.key == last.key && entry.row == last.row)
            return;
        entry.key = last.key;
        entry.row = last.row;
        touch(parent.number);
        if (i != parent.entries.size() - 1)
            return;
    }
}

// Every page changed since the last check that no longer fits is split (a full root first moves down a level),
// until all fit: a split adds an entry to the parent, and a replaced last entry may be longer than the one before.
void IndexTree::splitOverfull() {
    const int room = std::min(store_.pageSize() - EntriesAt, 453 * 8);
    while (!unchecked_.isEmpty()) {
        const quint32 number = unchecked_.takeLast();
        const auto it = pages_.constFind(number);
        if (it == pages_.constEnd() || compressedSize(*it) <= room)
            continue;
        if (number == root_) {
            nestRoot();
            continue;
        }
        const IndexEntry last = it->entries.last();
        const QList<Step> path = descend(last.key, last.row);
        int level = 1;
        while (level < path.size() && path[level].page != number)
            ++level;
        if (level == path.size())
            damaged(QStringLiteral("Index page %1 cannot be reached from its root.").arg(number));
        split(path[level - 1].page, number);
    }
}

// The root page stays where the table definition names it: when it is full, its entries move into a new page
// that becomes its only child, and that page is split instead.
void IndexTree::nestRoot() {
    const quint32 below = newPage(load(root_).leaf);
    Page& root = load(root_);
    Page& child = load(below);
    child.entries = root.entries;
    root.leaf = false;
    root.entries = {IndexEntry{child.entries.last().key, child.entries.last().row, below}};
    touch(root_);
}

// Splits a child of parent: a new page takes the first half of its entries and stands before it.
void IndexTree::split(quint32 parentNumber, quint32 number) {
    const quint32 fresh = newPage(load(number).leaf);
    Page& page = load(number);
    Page& head = load(fresh);
    const int n = int(page.leaf || page.entries.size() < 2 ? page.entries.size() : page.entries.size() - 1);
    if (n < 2)
        damaged(QStringLiteral("Index page %1 holds an entry too big for any page.").arg(number));
    head.entries = page.entries.mid(0, (n + 1) / 2);
    page.entries.remove(0, (n + 1) / 2);
    head.prev = page.prev;
    head.next = number;
    if (page.prev) {
        load(page.prev).next = fresh;
        touch(page.prev);
    }
    page.prev = fresh;
    touch(number);
    if (!head.leaf) {
        // chains of intermediate pages do not cross from one parent to another
        Page& last = load(head.entries.last().child);
        if (!last.leaf && last.next) {
            load(last.next).prev = 0;
            touch(last.next);
            last.next = 0;
            touch(last.number);
        }
    }
    Page& parent = load(parentNumber);
    int at = 0;
    while (at < parent.entries.size() && parent.entries[at].child != number)
        ++at;
    parent.entries.insert(at, IndexEntry{head.entries.last().key, head.entries.last().row, fresh});
    touch(parentNumber);
}

// The page at the end of path is empty: it leaves its parent and its chain, and so on up while parents empty too.
// An empty root stays, as an empty leaf.
void IndexTree::detachEmpty(const QList<Step>& path) {
    bool lastChildGone = false;
    for (int k = int(path.size()) - 1; k >= 0; --k) {
        Page& page = load(path[k].page);
        if (!page.entries.isEmpty()) {
            if (lastChildGone)
                refreshParents(path, k);
            return;
        }
        if (k == 0) {
            page.leaf = true;
            touch(page.number);
            return;
        }
        Page& parent = load(path[k - 1].page);
        int at = 0;
        while (at < parent.entries.size() && parent.entries[at].child != page.number)
            ++at;
        parent.entries.removeAt(at);
        lastChildGone = at == parent.entries.size();
        touch(parent.number);
        if (page.prev) {
            load(page.prev).next = page.next;
            touch(page.prev);
        }
        if (page.next) {
            load(page.next).prev = page.prev;
            touch(page.next);
        }
        release(page.number);
    }
}

quint32 IndexTree::newPage(bool leaf) {
    const quint32 number = store_.allocate();
    Page page;
    page.number = number;
    page.leaf = leaf;
    pages_.insert(number, page);
    touch(number);
    if (ownedMap_)
        setMapPage(store_, ownedMap_, number, true);
    return number;
}

// An emptied page leaves the index: its header is wiped, its bit in the index's usage map cleared, and the file's
// map of free pages gets it back where that map reaches it.
void IndexTree::release(quint32 number) {
    pages_.remove(number);
    dirty_.remove(number);
    unchecked_.removeAll(number);
    store_.write(number, QByteArray(store_.pageSize(), '\0'));
    if (ownedMap_)
        setMapPage(store_, ownedMap_, number, false);
    QByteArray global = store_.read(1);
    const RowLocation at = rowBounds(global, 1, 0, store_.pageSize(), QStringLiteral("the file's map of free pages"));
    if (at.end - at.start <= 5 || global.at(at.start) != 0)
        return;
    const qint64 bit = qint64(number) - qFromLittleEndian<quint32>(global.constData() + at.start + 1);
    if (bit < 0 || at.start + 5 + bit / 8 >= at.end)
        return;
    global[int(at.start + 5 + bit / 8)] = char(quint8(global[int(at.start + 5 + bit / 8)]) | (1 << (bit % 8)));
    store_.write(1, global);
}

} // namespace jet
