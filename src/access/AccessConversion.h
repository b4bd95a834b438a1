#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

// Turning an Access catalogue (Jet 3 or Jet 4 .mdb; .accdb as far as libmdb reads it) into a new SQLite file.

struct ConversionProgress {
    int tablesDone = 0;
    int tableCount = 0;
    QString table;       // the table being copied, or the last one once tablesDone == tableCount
    qint64 rowsDone = 0; // rows of that table copied so far
};

struct ConversionSummary {
    QList<QPair<QString, qint64>> tables; // name, rows; in the order the Access file lists them
};

// True when the file starts as a Jet or ACE database does ("Standard Jet DB" / "Standard ACE DB" at byte 4).
bool isAccessFile(const QString& path);
// True for an Access 97 (Jet 3) file, the one kind the program converts rather than keeps as it is.
bool isAccess97File(const QString& path);

// Copies every user table of source into a new SQLite file at target, in one transaction: same tables, same columns
// in the same order, each value as Access holds it. Text, memo and date/time become TEXT (dates as YYYY-MM-DD
// HH:MM:SS, or YYYY-MM-DD at midnight); whole numbers and yes/no (1 or 0) INTEGER; single and double REAL; OLE and
// binary BLOB. Null stays null and a zero-length text stays an empty text, as Access keeps them apart.
// Currency and decimal go in as their exact decimal text ("12.3400"); their NUMERIC column makes SQLite keep it as
// an INTEGER when whole and a REAL otherwise, so they sort and add up as numbers. A REAL holds 15 significant digits:
// every currency amount below 100,000,000,000 keeps all four decimals; a larger one becomes the nearest REAL.
//
// With requireCatalogue, the source must hold tblCategory, tblFigure and tblFigurePart with the columns the program
// needs, or nothing is written. Source is only read. Target must not exist; on any failure (a Failure is thrown)
// no file is left at target. progress, if given, hears of each table's start and end and of every few thousand
// rows in between.
ConversionSummary convertAccessFile(const QString& source, const QString& target, bool requireCatalogue,
                                    const std::function<void(const ConversionProgress&)>& progress = {});
