#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

class Database;

namespace operations {

// The transfer file of one figure: its name and type, then its parts in the order the catalogue delivers them.
// Only reads the catalogue. Fails as the writer does for a figure the file cannot carry.
QByteArray figureTransferContent(Database& db, qint32 figureId, const QDate& date = QDate::currentDate());

// Writes the figure's transfer file. Everything is read and checked before the file is touched, and the file is
// replaced only once it is written whole: a failure leaves no file behind and an existing one as it was.
void exportFigureFile(Database& db, qint32 figureId, const QString& path, const QDate& date = QDate::currentDate());

} // namespace operations
