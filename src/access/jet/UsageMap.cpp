#include "access/jet/UsageMap.h"

#include "access/jet/JetError.h"

#include <cstring>

namespace jet {

namespace {

constexpr quint8 inlineMap = 0x00, referenceMap = 0x01;
constexpr int inlineBits = 5; // after the type byte and the start page

struct MapRow {
    QByteArray page;
    RowLocation at;
};

MapRow mapRow(PageStore& store, quint32 pointer, const QString& what) {
    const RowPointer p = RowPointer::from(pointer);
    MapRow row{store.read(p.page), {}};
    if (u8(row.page, 0) != page::Data)
        damaged(
            QStringLiteral("The usage map of %1 points at page %2, which is not a data page.").arg(what).arg(p.page));
    row.at = rowBounds(row.page, p.page, p.row, store.pageSize(), QStringLiteral("the usage map of ") + what);
    if (row.at.end - row.at.start < inlineBits)
        damaged(QStringLiteral("The usage map of %1 (page %2) is too short.").arg(what).arg(p.page));
    return row;
}

int bitsPerMapPage(const PageStore& store) {
    return (store.pageSize() - 4) * 8;
}

void setBit(QByteArray& bytes, int at, int bit, bool on) {
    char& b = bytes[at + bit / 8];
    b = on ? char(b | (1 << (bit % 8))) : char(b & ~(1 << (bit % 8)));
}

// Pages set in an inline map, as numbers.
QList<quint32> inlinePages(const MapRow& row) {
    QList<quint32> pages;
    const quint32 start = u32(row.page, row.at.start + 1);
    for (int i = row.at.start + inlineBits; i < row.at.end; ++i)
        for (int bit = 0; bit < 8; ++bit)
            if (u8(row.page, i) & (1 << bit))
                pages << start + quint32((i - row.at.start - inlineBits) * 8 + bit);
    return pages;
}

void setReferencePage(PageStore& store, MapRow& row, quint32 mapPage, quint32 page, bool on) {
    const int perPage = bitsPerMapPage(store);
    const int slot = int(page / perPage);
    const int at = row.at.start + 1 + slot * 4;
    if (at + 4 > row.at.end)
        unsupported(QStringLiteral("Page %1 lies beyond what a usage map can hold.").arg(page));
    quint32 bitsPage = u32(row.page, at);
    QByteArray bits;
    if (bitsPage == 0) {
        if (!on)
            return;
        bitsPage = store.allocate();
        row.page = store.read(mapPage); // allocation may have touched the global map
        put32(row.page, at, bitsPage);
        store.write(mapPage, row.page);
        bits = QByteArray(store.pageSize(), 0);
        bits[0] = char(page::UsageMap);
        bits[1] = 0x01;
    } else {
        bits = store.read(bitsPage);
        if (u8(bits, 0) != page::UsageMap)
            damaged(QStringLiteral("Page %1 of a usage map is not a usage map page.").arg(bitsPage));
    }
    setBit(bits, 4, int(page % perPage), on);
    store.write(bitsPage, bits);
}

} // namespace

RowLocation rowBounds(const QByteArray& page, quint32 pageNumber, int slot, int pageSize, const QString& what) {
    const int rows = u16(page, 12);
    if (slot >= rows || 14 + rows * 2 > pageSize)
        damaged(QStringLiteral("%1: row %2 of page %3 does not exist (the page has %4 rows).")
                    .arg(what)
                    .arg(slot)
                    .arg(pageNumber)
                    .arg(rows));
    RowLocation at;
    at.page = pageNumber;
    const quint16 raw = u16(page, 14 + slot * 2);
    at.flags = raw & 0xC000;
    at.start = raw & 0x1FFF;
    at.end = slot == 0 ? pageSize : u16(page, 14 + (slot - 1) * 2) & 0x1FFF;
    if (at.flags & 0x8000)
        return at; // a deleted row's bounds are never used
    if (at.start < 14 + rows * 2 || at.end > pageSize || at.start > at.end)
        damaged(QStringLiteral("%1: row %2 of page %3 lies outside the page (offsets %4 to %5).")
                    .arg(what)
                    .arg(slot)
                    .arg(pageNumber)
                    .arg(at.start)
                    .arg(at.end));
    return at;
}

QList<quint32> mapPages(PageStore& store, quint32 mapPointer, const QString& what) {
    const MapRow row = mapRow(store, mapPointer, what);
    const quint8 type = u8(row.page, row.at.start);
    if (type == inlineMap)
        return inlinePages(row);
    if (type != referenceMap)
        damaged(QStringLiteral("The usage map of %1 has an unknown type %2.").arg(what).arg(type));
    QList<quint32> pages;
    const int perPage = bitsPerMapPage(store);
    for (int at = row.at.start + 1, slot = 0; at + 4 <= row.at.end; at += 4, ++slot) {
        const quint32 bitsPage = u32(row.page, at);
        if (bitsPage == 0)
            continue;
        const QByteArray bits = store.read(bitsPage);
        if (u8(bits, 0) != page::UsageMap)
            damaged(QStringLiteral("The usage map of %1 points at page %2, which is not a usage map page.")
                        .arg(what)
                        .arg(bitsPage));
        for (int i = 4; i < bits.size(); ++i)
            if (const quint8 b = u8(bits, i))
                for (int bit = 0; bit < 8; ++bit)
                    if (b & (1 << bit))
                        pages << quint32(slot * perPage + (i - 4) * 8 + bit);
    }
    return pages;
}

namespace {
QByteArray referenceBits(PageStore& store, quint32 bitsPage, const QString& what) {
    QByteArray bits = store.read(bitsPage);
    if (u8(bits, 0) != page::UsageMap)
        damaged(QStringLiteral("The usage map of %1 points at page %2, which is not a usage map page.")
                    .arg(what)
                    .arg(bitsPage));
    return bits;
}

// Calls visit for the set bits of bytes [from, to) from the last down, page numbers counted from `first`.
bool visitBitsDown(const QByteArray& bytes, int from, int to, quint32 first,
                   const std::function<bool(quint32)>& visit) {
    const char* data = bytes.constData();
    for (int i = to - 1; i >= from; --i) {
        // A map page is mostly empty past a table's pages: skip eight clear bytes at a time.
        while (i - 7 >= from) {
            quint64 word;
            std::memcpy(&word, data + i - 7, 8);
            if (word)
                break;
            i -= 8;
        }
        if (i < from)
            break;
        if (const quint8 b = quint8(data[i]))
            for (int bit = 7; bit >= 0; --bit)
                if ((b & (1 << bit)) && !visit(first + quint32((i - from) * 8 + bit)))
                    return false;
    }
    return true;
}
} // namespace

void visitMapPagesDown(PageStore& store, quint32 mapPointer, const QString& what,
                       const std::function<bool(quint32)>& visit) {
    const MapRow row = mapRow(store, mapPointer, what);
    const quint8 type = u8(row.page, row.at.start);
    if (type == inlineMap) {
        visitBitsDown(row.page, row.at.start + inlineBits, row.at.end, u32(row.page, row.at.start + 1), visit);
        return;
    }
    if (type != referenceMap)
        damaged(QStringLiteral("The usage map of %1 has an unknown type %2.").arg(what).arg(type));
    const int perPage = bitsPerMapPage(store);
    const int slotCount = (row.at.end - row.at.start - 1) / 4;
    for (int slot = slotCount - 1; slot >= 0; --slot) {
        const quint32 bitsPage = u32(row.page, row.at.start + 1 + slot * 4);
        if (bitsPage == 0)
            continue;
        const QByteArray bits = referenceBits(store, bitsPage, what);
        if (!visitBitsDown(bits, 4, int(bits.size()), quint32(slot * perPage), visit))
            return;
    }
}

bool mapHasPage(PageStore& store, quint32 mapPointer, quint32 page, const QString& what) {
    const MapRow row = mapRow(store, mapPointer, what);
    const quint8 type = u8(row.page, row.at.start);
    if (type == inlineMap) {
        const quint32 start = u32(row.page, row.at.start + 1);
        const qint64 bit = qint64(page) - start;
        return bit >= 0 && row.at.start + inlineBits + bit / 8 < row.at.end &&
               (u8(row.page, int(row.at.start + inlineBits + bit / 8)) & (1 << (bit % 8)));
    }
    if (type != referenceMap)
        damaged(QStringLiteral("The usage map of %1 has an unknown type %2.").arg(what).arg(type));
    const int perPage = bitsPerMapPage(store);
    const qint64 at = row.at.start + 1 + qint64(page / perPage) * 4;
    if (at + 4 > row.at.end)
        return false;
    const quint32 bitsPage = u32(row.page, int(at));
    if (bitsPage == 0)
        return false;
    const int bit = int(page % perPage);
    return u8(referenceBits(store, bitsPage, what), 4 + bit / 8) & (1 << (bit % 8));
}

void setMapPage(PageStore& store, quint32 mapPointer, quint32 page, bool on) {
    const quint32 mapPage = RowPointer::from(mapPointer).page;
    MapRow row = mapRow(store, mapPointer, QStringLiteral("a table"));
    if (u8(row.page, row.at.start) == referenceMap)
        return setReferencePage(store, row, mapPage, page, on);
    const int capacity = (row.at.end - row.at.start - inlineBits) * 8;
    quint32 start = u32(row.page, row.at.start + 1);
    if (page >= start && page < start + quint32(capacity)) {
        setBit(row.page, row.at.start + inlineBits, int(page - start), on);
        store.write(mapPage, row.page);
        return;
    }
    if (!on)
        return;
    QList<quint32> pages = inlinePages(row);
    pages << page;
    const auto [low, high] = std::minmax_element(pages.begin(), pages.end());
    std::fill(row.page.begin() + row.at.start + 1, row.page.begin() + row.at.end, 0);
    if (*high - *low + 1 < quint32(capacity)) {
        start = *low;
        put32(row.page, row.at.start + 1, start);
        for (quint32 p : pages)
            setBit(row.page, row.at.start + inlineBits, int(p - start), true);
        store.write(mapPage, row.page);
        return;
    }
    // The pages no longer fit in the row's bits: the row becomes a list of whole map pages.
    row.page[row.at.start] = char(referenceMap);
    store.write(mapPage, row.page);
    for (quint32 p : pages)
        setMapPage(store, mapPointer, p, true);
}

void markPageInUse(PageStore& store, quint32 page) {
    // The global map is inline; pages past its range count as free, so the map is moved forward to cover the new
    // page, the pages it newly covers (beyond the file's old end) marked free, and the new page taken.
    QByteArray bytes = store.read(1);
    if (u8(bytes, 0) != page::Data)
        damaged(QStringLiteral("Page 1, the file's map of free pages, is not a data page."));
    const RowLocation at = rowBounds(bytes, 1, 0, store.pageSize(), QStringLiteral("the file's map of free pages"));
    if (u8(bytes, at.start) != inlineMap || at.end - at.start <= inlineBits)
        return; // a reference map's pages beyond its range need no upkeep
    const int bitsAt = at.start + inlineBits;
    const int capacity = (at.end - bitsAt) * 8;
    const quint32 start = u32(bytes, at.start + 1);
    if (page >= start && page < start + quint32(capacity)) {
        setBit(bytes, bitsAt, int(page - start), false);
        store.write(1, bytes);
        return;
    }
    if (page < start)
        return;
    QList<quint32> free;
    for (quint32 p : inlinePages({bytes, at}))
        free << p;
    const quint32 oldEnd = start + quint32(capacity);
    const quint32 newStart = free.isEmpty() ? page : page - quint32(capacity / 2);
    std::fill(bytes.begin() + at.start + 1, bytes.begin() + at.end, 0);
    put32(bytes, at.start + 1, newStart);
    for (quint32 p : free)
        if (p >= newStart)
            setBit(bytes, bitsAt, int(p - newStart), true);
    for (quint32 p = std::max(oldEnd, newStart); p < newStart + quint32(capacity); ++p)
        setBit(bytes, bitsAt, int(p - newStart), true);
    setBit(bytes, bitsAt, int(page - newStart), false);
    store.write(1, bytes);
}

} // namespace jet
