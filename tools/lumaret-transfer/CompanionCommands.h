#pragma once

#include "operations/FigureImport.h"

#include <QString>
#include <QStringList>

class Database;

// What lumaret-transfer does on an open catalogue, through the same operations as the main window's buttons.
// Each raises Failure and writes nothing when it fails. Categories and figures are named as the lists show
// them: without surrounding blanks, case aside.
namespace companion {

// One line per entry, its columns tab-separated: categories as identifier, figures, name; a category's figures
// as identifier, parts, name. A name never breaks a line or a column, nor reaches a terminal raw: backslash, tab,
// line ends and other control characters are written escaped (\\, \t, \n, \r, \xHH).
QStringList listCategories(Database& db);
QStringList listFigures(Database& db, const QString& category);

// An existing file is replaced only with force, as no dialog is there to ask.
void exportFigure(Database& db, const QString& category, const QString& figure, const QString& file, bool force);
// The figure's transfer file as bytes, for standard output.
QByteArray figureContent(Database& db, const QString& category, const QString& figure);

struct ExportedCategory {
    QStringList written;    // paths
    QStringList notWritten; // one sentence per figure: its file and why
};

// One file per figure of the category in folder (made when missing), named after the figure ("<name>.lrx", with
// " (<identifier>)" added where two names would share a file). Every file is made in full, in a hidden folder
// beside them, before any of them takes its name in the folder; a run stopped by a signal removes that folder,
// and one left by a killed run is removed by the next. Without keepGoing the first failure stops the command
// with nothing written; with it, every figure that can be written is, and the others are listed.
ExportedCategory exportCategory(Database& db, const QString& category, const QString& folder, bool force,
                                bool keepGoing = false);

operations::ImportedFigure importFigure(Database& db, const QString& file, const QString& category);

} // namespace companion
