#pragma once

#include "catalogue/Recordset.h"

#include <QString>

class Database;

// The part table as export, import and the parts list all read it: the columns the engine stores, in table order,
// the two identifiers first and the part's data after them. A generated column is left out by all three alike, so
// that a value never lands in the column beside its own.
namespace operations {

// The figure's parts with the columns above, in the order the engine delivers them; the list shows them in the
// order the export writes them because both read them through this one statement. Fails with 3078 when the
// catalogue has no part table.
Recordset openFigureParts(Database& db, qint32 figureId);

// Refuses (3265, naming the order needed) a part table whose first two columns are not FigurePartID and
// FigureID: its data would be carried by the wrong positions, identifiers exported as data and data imported as
// identifiers.
void requireIdentifiersFirst(const QString& first, const QString& second);

} // namespace operations
