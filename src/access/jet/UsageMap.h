#pragma once

// Usage maps: the bitmaps that say which pages a table owns, which of them have free space, and (page 1) which
// pages of the file are free. A map is a row on a data page: inline (a start page and the bits) or a reference map
// (pointers to whole pages of bits).

#include "access/jet/Bytes.h"
#include "access/jet/JetTypes.h"

#include <functional>

namespace jet {

// The bytes of the row a row pointer names, with the page it lives on; Damaged when the pointer is bad.
struct RowLocation {
    quint32 page = 0;
    int start = 0, end = 0; // [start, end) in the page
    quint16 flags = 0;      // 0x8000 deleted, 0x4000 moved elsewhere
};
// The slot's bounds in a data page already read. Damaged (naming `what`) when the slot or its bounds are bad.
RowLocation rowBounds(const QByteArray& page, quint32 pageNumber, int slot, int pageSize, const QString& what);

// Every page set in the map, ascending.
QList<quint32> mapPages(PageStore& store, quint32 mapPointer, const QString& what);
// The pages set in the map from the last down, while visit returns true: finding a table's last page reads no
// more of a large map than it must.
void visitMapPagesDown(PageStore& store, quint32 mapPointer, const QString& what,
                       const std::function<bool(quint32)>& visit);
// Whether the page is set in the map.
bool mapHasPage(PageStore& store, quint32 mapPointer, quint32 page, const QString& what);
// Sets or clears a page in a table's map: an inline map whose range cannot take the page moves its start, or
// becomes a reference map when the pages no longer fit in its bits.
void setMapPage(PageStore& store, quint32 mapPointer, quint32 page, bool on);
// The file's map of free pages (page 1): the page is taken.
void markPageInUse(PageStore& store, quint32 page);

} // namespace jet
