#include "access/jet/IndexTree.h"

#include "access/jet/JetError.h"

#include <QHash>
#include <QSet>
#include <QtEndian>
#include <algorithm>

namespace jet {

namespace {
// Parsed leaves by store, index and page, with the bytes they were parsed from. The page code runs on the thread
// that holds the catalogue, one command at a time; the bound keeps a long run from holding every leaf it met.
struct LeafKey {
    const PageStore* store;
    quint32 definitionPage, page;
    bool operator==(const LeafKey&) const = default;
};
size_t qHash(const LeafKey& key, size_t seed = 0) {
    return qHashMulti(seed, quintptr(key.store), key.definitionPage, key.page);
}
struct ParsedLeaf {
    QByteArray bytes;
    IndexTree::Page page;
};
constexpr qsizetype maxParsedLeaves = 4096;
QHash<LeafKey, ParsedLeaf>& parsedLeaves() {
    thread_local QHash<LeafKey, ParsedLeaf> leaves;
    return leaves;
}
} // namespace

namespace {

constexpr quint8 NodePage = 0x03, LeafPage = 0x04;
constexpr int PrefixLengthAt = 24, MaskAt = 27, MaskSize = 453, EntriesAt = MaskAt + MaskSize;
constexpr int PrevAt = 12, NextAt = 16, TailAt = 20;
constexpr int MaxDepth = 32; // far beyond any real index; a deeper walk is a loop in a damaged file

quint32 le32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

QByteArray serialize(const IndexEntry& e, bool leaf) {
    QByteArray out = e.key;
    const quint32 page = e.row.page;
    out.append(char(page >> 16)).append(char(page >> 8)).append(char(page)).append(char(e.row.row));
    if (!leaf) {
        char child[4];
        qToBigEndian<quint32>(e.child, child);
        out.append(child, 4);
    }
    return out;
}

int entrySize(const IndexEntry& e, bool leaf) {
    return int(e.key.size()) + (leaf ? 4 : 8);
}

// The entries an intermediate page writes: all but the tail child, which the header names instead.
int storedCount(const QList<IndexEntry>& entries, bool leaf) {
    return leaf || entries.size() < 2 ? int(entries.size()) : int(entries.size()) - 1;
}

int commonPrefix(const QByteArray& a, const QByteArray& b) {
    const int n = int(std::min(a.size(), b.size()));
    int i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

} // namespace

int compareEntries(const QByteArray& keyA, RowId rowA, const QByteArray& keyB, RowId rowB) {
    const int n = int(std::min(keyA.size(), keyB.size()));
    const int c = n ? std::memcmp(keyA.constData(), keyB.constData(), size_t(n)) : 0;
    if (c)
        return c < 0 ? -1 : 1;
    if (keyA.size() != keyB.size())
        return keyA.size() < keyB.size() ? -1 : 1;
    if (rowA.page != rowB.page)
        return rowA.page < rowB.page ? -1 : 1;
    return rowA.row == rowB.row ? 0 : (rowA.row < rowB.row ? -1 : 1);
}

IndexTree::IndexTree(PageStore& store, quint32 rootPage, quint32 definitionPage, quint32 ownedPagesMap)
    : store_(store), root_(rootPage), definitionPage_(definitionPage), ownedMap_(ownedPagesMap) {}

IndexTree::Page IndexTree::parse(quint32 number) const {
    if (number == 0 || number >= store_.pageCount())
        damaged(QStringLiteral("An index of the table on page %1 points at page %2, which the file does not have.")
                    .arg(definitionPage_)
                    .arg(number));
    const QByteArray bytes = store_.read(number);
    const quint8 type = quint8(bytes.at(0));
    if ((type != NodePage && type != LeafPage) || le32(bytes, 4) != definitionPage_)
        damaged(
            QStringLiteral("Page %1 is not an index page of the table on page %2.").arg(number).arg(definitionPage_));
    // A leaf's entries follow from its bytes alone, so a leaf read before with the same bytes is taken as it was
    // parsed: an import adds its rows one by one to the same few leaves.
    const LeafKey cacheKey{&store_, definitionPage_, number};
    if (type == LeafPage)
        if (const auto cached = parsedLeaves().constFind(cacheKey);
            cached != parsedLeaves().constEnd() && cached->bytes == bytes)
            return cached->page;
    Page page;
    page.number = number;
    page.leaf = type == LeafPage;
    page.prev = le32(bytes, PrevAt);
    page.next = le32(bytes, NextAt);
    page.header = bytes.left(EntriesAt);
    readEntries(bytes, page, number);
    if (page.leaf) {
        if (parsedLeaves().size() >= maxParsedLeaves)
            parsedLeaves().clear();
        parsedLeaves().insert(cacheKey, {bytes, page});
    }
    return page;
}

void IndexTree::readEntries(const QByteArray& bytes, Page& page, quint32 number) const {
    const int prefixLength = qFromLittleEndian<quint16>(bytes.constData() + PrefixLengthAt);
    const int room = int(bytes.size()) - EntriesAt;
    const int trailer = page.leaf ? 4 : 8;
    QByteArray prefix;
    int start = 0;
    for (int bit = 0; bit < MaskSize * 8 && bit <= room; ++bit) {
        if (!(quint8(bytes.at(MaskAt + bit / 8)) & (1 << (bit % 8))))
            continue;
        QByteArray raw = bytes.mid(EntriesAt + start, bit - start);
        if (page.entries.isEmpty())
            prefix = raw.left(prefixLength);
        else
            raw.prepend(prefix);
        if (raw.size() < trailer || (page.entries.isEmpty() && raw.size() < prefixLength))
            damaged(QStringLiteral("Index page %1 holds an entry too short to name a row.").arg(number));
        IndexEntry e;
        const int keyLength = int(raw.size()) - trailer;
        e.key = raw.left(keyLength);
        const auto* p = reinterpret_cast<const uchar*>(raw.constData()) + keyLength;
        e.row = RowId{quint32(p[0]) << 16 | quint32(p[1]) << 8 | p[2], p[3]};
        if (!page.leaf)
            e.child = qFromBigEndian<quint32>(p + 4);
        if (!page.entries.isEmpty() &&
            compareEntries(page.entries.last().key, page.entries.last().row, e.key, e.row) >= 0)
            damaged(QStringLiteral("Index page %1 holds its entries out of order.").arg(number));
        page.entries.append(e);
        start = bit;
    }
    const quint32 tail = le32(bytes, TailAt);
    if (!page.leaf && tail) {
        IndexEntry last = lastEntryBelow(tail);
        last.child = tail;
        page.entries.append(last);
    }
}

IndexTree::Page& IndexTree::load(quint32 number) const {
    auto it = pages_.find(number);
    if (it == pages_.end())
        it = pages_.insert(number, parse(number));
    return *it;
}

IndexEntry IndexTree::lastEntryBelow(quint32 number, int depth) const {
    if (depth > MaxDepth)
        damaged(QStringLiteral("The index of the table on page %1 loops through page %2.")
                    .arg(definitionPage_)
                    .arg(number));
    const Page& page = load(number);
    if (page.entries.isEmpty())
        damaged(QStringLiteral("Index page %1 below another is empty.").arg(number));
    return page.entries.last();
}

QList<IndexTree::Step> IndexTree::descend(const QByteArray& key, RowId row) const {
    QList<Step> path;
    quint32 number = root_;
    for (int depth = 0;; ++depth) {
        if (depth > MaxDepth)
            damaged(QStringLiteral("The index of the table on page %1 is deeper than any index can be.")
                        .arg(definitionPage_));
        const Page& page = load(number);
        const auto& es = page.entries;
        const int i =
            int(std::partition_point(es.cbegin(), es.cend(),
                                     [&](const IndexEntry& e) { return compareEntries(e.key, e.row, key, row) < 0; }) -
                es.cbegin());
        if (page.leaf || es.isEmpty()) {
            path.append({number, i});
            return path;
        }
        const int child = std::min(i, int(es.size()) - 1);
        path.append({number, child});
        number = es[child].child;
    }
}

void IndexTree::walkPage(quint32 number, int depth, const std::function<void(const IndexEntry&)>& visit) const {
    if (depth > MaxDepth)
        damaged(QStringLiteral("The index of the table on page %1 loops.").arg(definitionPage_));
    const Page page = load(number);
    for (const IndexEntry& e : page.entries) {
        if (page.leaf)
            visit(e);
        else
            walkPage(e.child, depth + 1, visit);
    }
}

void IndexTree::walk(const std::function<void(const QByteArray& key, RowId row)>& visit) const {
    std::optional<IndexEntry> previous;
    walkPage(root_, 0, [&](const IndexEntry& e) {
        if (previous && compareEntries(previous->key, previous->row, e.key, e.row) >= 0)
            damaged(
                QStringLiteral("The index of the table on page %1 holds entries out of order.").arg(definitionPage_));
        previous = e;
        visit(e.key, e.row);
    });
}

QList<IndexEntry> IndexTree::entries() const {
    QList<IndexEntry> all;
    walk([&](const QByteArray& key, RowId row) { all.append({key, row, 0}); });
    return all;
}

bool IndexTree::containsKey(const QByteArray& key, std::optional<RowId> except) const {
    const QList<Step> path = descend(key, RowId{0, 0});
    const Page* page = &load(path.last().page);
    int i = path.last().child;
    for (int hops = 0; hops < 1000; ++hops) {
        for (; i < page->entries.size(); ++i) {
            const IndexEntry& e = page->entries[i];
            if (e.key != key)
                return false;
            if (!except || !(e.row == *except))
                return true;
        }
        if (!page->next)
            return false;
        page = &load(page->next);
        i = 0;
    }
    return false;
}

int IndexTree::compressedSize(const Page& page) const {
    const int n = storedCount(page.entries, page.leaf);
    if (n == 0)
        return 0;
    int total = 0;
    for (int i = 0; i < n; ++i)
        total += entrySize(page.entries[i], page.leaf);
    return total - commonPrefix(page.entries[0].key, page.entries[n - 1].key) * (n - 1);
}

void IndexTree::write(const Page& page) {
    const int pageSize = store_.pageSize();
    const int n = storedCount(page.entries, page.leaf);
    const int prefix = n ? commonPrefix(page.entries[0].key, page.entries[n - 1].key) : 0;
    QByteArray bytes(pageSize, '\0');
    if (!page.header.isEmpty())
        bytes.replace(0, 12, page.header.left(12)); // keeps the bytes this program does not interpret
    bytes[0] = char(page.leaf ? LeafPage : NodePage);
    bytes[1] = 0x01;
    qToLittleEndian<quint32>(definitionPage_, bytes.data() + 4);
    qToLittleEndian<quint32>(page.prev, bytes.data() + PrevAt);
    qToLittleEndian<quint32>(page.next, bytes.data() + NextAt);
    const quint32 tail = !page.leaf && page.entries.size() > 1 ? page.entries.last().child : 0;
    qToLittleEndian<quint32>(tail, bytes.data() + TailAt);
    qToLittleEndian<quint16>(quint16(prefix), bytes.data() + PrefixLengthAt);
    bytes[26] = 0;
    int at = 0;
    for (int i = 0; i < n; ++i) {
        const QByteArray raw = serialize(page.entries[i], page.leaf).mid(i == 0 ? 0 : prefix);
        if (EntriesAt + at + raw.size() > pageSize || at + raw.size() >= MaskSize * 8)
            damaged(QStringLiteral("Index page %1 would overflow.").arg(page.number)); // splits prevent this
        bytes.replace(EntriesAt + at, int(raw.size()), raw);
        at += int(raw.size());
        bytes[MaskAt + at / 8] = char(quint8(bytes[MaskAt + at / 8]) | (1 << (at % 8)));
    }
    qToLittleEndian<quint16>(quint16(pageSize - EntriesAt - at), bytes.data() + 2);
    store_.write(page.number, bytes);
    // The leaf just written is what parsing these bytes gives: the next row's insert finds it parsed.
    if (page.leaf && n == page.entries.size()) {
        Page written = page;
        written.header = bytes.left(EntriesAt);
        for (IndexEntry& entry : written.entries)
            entry.child = 0;
        if (parsedLeaves().size() >= maxParsedLeaves)
            parsedLeaves().clear();
        parsedLeaves().insert(LeafKey{&store_, definitionPage_, page.number}, {bytes, written});
    }
}

void IndexTree::check() const {
    const auto fault = [this](const QString& what) {
        damaged(QStringLiteral("The index of the table on page %1: %2").arg(definitionPage_).arg(what));
    };
    QMap<int, QList<quint32>> levels; // pages of each level in key order
    std::function<void(quint32, int, bool, bool)> visit = [&](quint32 number, int depth, bool first, bool last) {
        if (depth > MaxDepth)
            fault(QStringLiteral("it loops"));
        const Page& page = load(number);
        if (page.entries.isEmpty() && number != root_)
            fault(QStringLiteral("page %1 is empty").arg(number));
        if (!page.leaf && ((first && page.prev) || (last && page.next)))
            fault(QStringLiteral("page %1 is chained to a page of another parent").arg(number));
        levels[depth].append(number);
        if (page.leaf)
            return;
        for (int i = 0; i < page.entries.size(); ++i) {
            const IndexEntry& e = page.entries[i];
            const IndexEntry last = lastEntryBelow(e.child);
            if (last.key != e.key || !(last.row == e.row))
                fault(QStringLiteral("page %1 does not name the last entry of page %2").arg(number).arg(e.child));
            visit(e.child, depth + 1, i == 0, i == page.entries.size() - 1);
        }
    };
    visit(root_, 0, true, true);
    for (const QList<quint32>& level : std::as_const(levels)) {
        for (int i = 0; i < level.size(); ++i) {
            const Page& page = load(level[i]);
            const quint32 before = i ? level[i - 1] : 0, after = i + 1 < level.size() ? level[i + 1] : 0;
            if (page.leaf && (page.prev != before || page.next != after))
                fault(QStringLiteral("leaf page %1 is chained out of order").arg(level[i]));
            if (!page.leaf && ((page.prev && page.prev != before) || (page.next && page.next != after)))
                fault(QStringLiteral("page %1 is chained out of order").arg(level[i]));
        }
    }
    walk([](const QByteArray&, RowId) {});
}

} // namespace jet
