#include "operations/FigureImport.h"

#include "catalogue/ColumnConversion.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "catalogue/Text.h"
#include "operations/CatalogueOperations.h"
#include "operations/PartTable.h"
#include "transfer/TransferFileAccess.h"
#include "transfer/TransferReader.h"
#include "transfer/Windows1252.h"

#include <functional>
#include <string>

namespace operations {
namespace {
bool nameTaken(Database& db, qint32 categoryId, const QString& name) {
    Recordset count = db.OpenRecordset(statements::countSameName(categoryId, name));
    const bool taken = requireWhole(count.Fields(QStringLiteral("RecCount"))) > 0;
    count.Close();
    return taken;
}

Failure shortPartLine(qint64 line, int dataColumns) {
    return {failure::SubscriptOutOfRange,
            QStringLiteral("Subscript out of range: line %1 of the file holds fewer values than a part has "
                           "columns (%2)")
                .arg(line)
                .arg(dataColumns)};
}

// Adds the parts of one figure, one row each, through the one prepared insert of the part table.
class PartRows {
public:
    PartRows(Database& db, qint32 figureId)
        : figureId(figureId),
          nextPartId(nextIdentifier(db, statements::largestPartId(), QStringLiteral("FigurePartID"))),
          rows(db.OpenRowAdder(statements::partTable())), columns(rows.FieldCount()) {
        requireIdentifiersFirst(rows.FieldName(0), rows.FieldName(1));
    }

    // The pieces of the part line `line`: data column k takes piece k, and pieces beyond the columns are left
    // over.
    void add(qint64 line, const TransferPieces& pieces) {
        if (pieces.size() < columns - 2)
            throw shortPartLine(line, columns - 2);
        rows.AddNew();
        rows.SetWholeField(0, toInt32(nextPartId++));
        rows.SetWholeField(1, figureId);
        for (int i = 2; i < columns; ++i)
            rows.SetTextField(i, windows1252::toUtf8(pieces[i - 2], scratch));
        try {
            rows.Update();
        } catch (const RefusedValue& refused) {
            throw refused.atLine(line);
        }
    }

    void close() { rows.Close(); }

private:
    qint32 figureId;
    qint64 nextPartId;
    RowAdder rows;
    int columns;
    std::string scratch;
};

// The figure row and then its parts, which addParts hands to the PartRows, all in one transaction.
ImportedFigure addFigure(Database& db, qint32 categoryId, const QString& name, const QString& type,
                         const std::function<void(PartRows&)>& addParts) {
    ImportedFigure added;
    db.transaction([&] {
        requireCategory(db, categoryId);
        added.nameClash = nameTaken(db, categoryId, name);
        // Checked once: a second import of the same file gets the same suffixed name.
        added.name = added.nameClash ? name + QStringLiteral(" (imported)") : name;
        added.figureId = toInt32(nextIdentifier(db, statements::largestFigureId(), QStringLiteral("FigureID")));
        db.Execute(statements::addFigure(added.figureId, categoryId, added.name, type));
        PartRows parts(db, added.figureId);
        addParts(parts);
        parts.close();
    });
    return added;
}
} // namespace

// The file is read as the rows are written: a failure on its last line rolls back everything before it, and
// no more than one buffer of the file is ever held.
ImportedFigure importTransferFile(Database& db, qint32 categoryId, const QString& path) {
    TransferFile file(path);
    TransferLines& lines = file.lines();
    const TransferHeading heading = readTransferHeading(lines);
    return addFigure(db, categoryId, heading.name, heading.type, [&](PartRows& parts) {
        TransferPieces pieces;
        while (nextTransferPart(lines, pieces))
            parts.add(lines.lineNumber(), pieces);
    });
}

} // namespace operations
