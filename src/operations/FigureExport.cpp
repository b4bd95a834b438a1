#include "operations/FigureExport.h"

#include "catalogue/Database.h"
#include "catalogue/Text.h"
#include "operations/PartTable.h"
#include "transfer/TransferFileAccess.h"
#include "transfer/TransferWriter.h"

namespace operations {
namespace {
// Where the part's name is, to name a part the file cannot carry; -1 when the table has no such column.
int partNameColumn(const Recordset& parts) {
    for (int i = 0; i < parts.FieldCount(); ++i)
        if (parts.FieldName(i).compare(QLatin1String("FigurePartName"), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// One value of the current row, read in the form the engine holds it; texts that need a closer look, and any
// value the file does not carry as it is, go the way of Fields.
void addValue(TransferWriter& writer, const Recordset& parts, int column) {
    const Recordset::FieldValue value = parts.RawField(column);
    switch (value.kind) {
    case Recordset::FieldKind::Null:
        writer.addNull();
        return;
    case Recordset::FieldKind::Whole:
        writer.addWhole(value.whole);
        return;
    case Recordset::FieldKind::Text:
        if (writer.addPlainUtf8(value.utf8))
            return;
        break;
    case Recordset::FieldKind::Bytes:
        writer.addBytes(value.utf8);
        return;
    default:
        break;
    }
    writer.addText(TransferWriter::valueText(parts.Fields(column)));
}
} // namespace

QByteArray figureTransferContent(Database& db, qint32 figureId, const QDate& date) {
    Recordset figure = db.OpenRecordset(statements::figureForExport(figureId));
    TransferWriter writer(textOrEmpty(figure.Fields(QStringLiteral("FigureName"))),
                          textOrEmpty(figure.Fields(QStringLiteral("FigureType"))), date);
    figure.Close();

    // The first two columns are the identifiers; every further one is carried, by position.
    Recordset parts = openFigureParts(db, figureId);
    requireIdentifiersFirst(parts.FieldName(0), parts.FieldName(1));
    const int nameColumn = partNameColumn(parts);
    // A name that is binary data would only show as noise: such a part goes by its number alone.
    writer.namePartsWith([&] {
        return nameColumn >= 0 && parts.RawField(nameColumn).kind != Recordset::FieldKind::Bytes
                   ? textOrEmpty(parts.Fields(nameColumn))
                   : QString();
    });
    while (!parts.Eof()) {
        writer.beginPart();
        for (int i = 2; i < parts.FieldCount(); ++i)
            addValue(writer, parts, i);
        writer.endPart();
        parts.MoveNext();
    }
    parts.Close();
    return writer.content();
}

void exportFigureFile(Database& db, qint32 figureId, const QString& path, const QDate& date) {
    saveWholeFile(path, figureTransferContent(db, figureId, date));
}

} // namespace operations
