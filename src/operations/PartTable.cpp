#include "operations/PartTable.h"

#include "catalogue/Database.h"
#include "catalogue/EngineFailure.h"

#include <QStringList>

namespace operations {

Recordset openFigureParts(Database& db, qint32 figureId) {
    // The same list of columns that a RowAdder writes: generated ones are not among them.
    Recordset info = db.OpenRecordset(statements::tableColumns(statements::partTable()));
    QStringList columns;
    for (; !info.Eof(); info.MoveNext())
        columns << info.Fields(1).toString();
    info.Close();
    if (columns.isEmpty())
        throw noSuchTable(statements::partTable());
    return db.OpenRecordset(statements::figureParts(figureId, columns));
}

void requireIdentifiersFirst(const QString& first, const QString& second) {
    if (first.compare(QLatin1String("FigurePartID"), Qt::CaseInsensitive) == 0 &&
        second.compare(QLatin1String("FigureID"), Qt::CaseInsensitive) == 0)
        return;
    throw Failure(failure::ItemNotFound,
                  QStringLiteral("The part table must begin with the columns FigurePartID and FigureID, in this "
                                 "order; it begins with '%1', '%2'.")
                      .arg(first, second));
}

} // namespace operations
