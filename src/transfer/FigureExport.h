#pragma once

#include <QByteArray>
#include <QDate>

class Database;

// The transfer file of one figure: its name and type, then its parts in the order the catalogue delivers them.
// Only reads the catalogue. Fails as the writer does for a figure the file cannot carry.
QByteArray figureTransferContent(Database& db, qint32 figureId, const QDate& date = QDate::currentDate());
