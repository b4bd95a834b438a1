#include "operations/FigureImport.h"

#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "catalogue/Text.h"
#include "operations/CatalogueOperations.h"
#include "transfer/core/TransferFileAccess.h"
#include "transfer/core/TransferReader.h"

namespace operations {
namespace {
bool nameTaken(Database& db, qint32 categoryId, const QString& name) {
    Recordset count = db.OpenRecordset(statements::countSameName(categoryId, name));
    const bool taken = requireWhole(count.Fields(QStringLiteral("RecCount"))) > 0;
    count.Close();
    return taken;
}

Failure shortPartLine(const TransferPart& part, int dataColumns) {
    return {failure::SubscriptOutOfRange,
            QStringLiteral("Subscript out of range: line %1 of the file holds fewer values than a part has "
                           "columns (%2)")
                .arg(part.line)
                .arg(dataColumns)};
}

void addParts(Database& db, qint32 figureId, const QList<TransferPart>& parts) {
    qint64 nextPartId = nextIdentifier(db, statements::largestPartId());
    Recordset rows = db.OpenRecordset(statements::partRowsForAdding(), RecordsetType::Dynaset);
    const int columns = rows.FieldCount();
    for (const TransferPart& part : parts) {
        if (part.pieces.size() < columns - 2)
            throw shortPartLine(part, columns - 2);
        rows.AddNew();
        rows.setField(QStringLiteral("FigureID"), figureId);
        rows.setField(QStringLiteral("FigurePartID"), toInt32(nextPartId++));
        for (int i = 2; i < columns; ++i)
            rows.setField(i, part.pieces.at(i - 2));
        rows.Update();
    }
    rows.Close();
}
} // namespace

ImportedFigure addTransferFigure(Database& db, qint32 categoryId, const TransferFigure& figure) {
    ImportedFigure added;
    db.transaction([&] {
        added.nameClash = nameTaken(db, categoryId, figure.name);
        // Checked once: a second import of the same file gets the same suffixed name.
        added.name = added.nameClash ? figure.name + QStringLiteral(" (imported)") : figure.name;
        added.figureId = toInt32(nextIdentifier(db, statements::largestFigureId()));
        db.Execute(statements::addFigure(added.figureId, categoryId, added.name, figure.type));
        addParts(db, added.figureId, figure.parts);
    });
    return added;
}

ImportedFigure importTransferFile(Database& db, qint32 categoryId, const QString& path) {
    return addTransferFigure(db, categoryId, readTransferContent(readWholeFile(path)));
}

} // namespace operations
