#pragma once

#include "operations/FigureImport.h"

#include <QString>
#include <QStringList>

class Database;

// What lumaret-transfer does on an open catalogue, through the same operations as the main window's buttons.
// Each raises Failure and writes nothing when it fails. Categories and figures are named as the lists show
// them: without surrounding blanks, case aside.
namespace companion {

// One line per entry, its columns tab-separated with the name last (a name may hold a tab itself):
// categories as identifier, figures, name; a category's figures as identifier, parts, name.
QStringList listCategories(Database& db);
QStringList listFigures(Database& db, const QString& category);

// An existing file is replaced only with force, as no dialog is there to ask.
void exportFigure(Database& db, const QString& category, const QString& figure, const QString& file, bool force);

// One file per figure of the category in folder, named after the figure ("<name>.lrx", with " (<identifier>)"
// added where two names would share a file). Every file is made in full before any of them takes its name in
// the folder. Returns the paths written.
QStringList exportCategory(Database& db, const QString& category, const QString& folder, bool force);

operations::ImportedFigure importFigure(Database& db, const QString& file, const QString& category);

} // namespace companion
