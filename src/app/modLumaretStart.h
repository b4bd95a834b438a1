#pragma once

#include <QString>

class Database;
class frmLumaret;

// The program-wide handles: the open catalogue and the main window, from the main window's load to its unload.
namespace modLumaretStart {

// Starts the program: prepares the pointer image and shows the main window. Returns false, after telling the
// user why, when the catalogue cannot be opened; the main window is then never shown.
bool Main();

// The directory that holds the executable, data.mdb and the start of both file dialogs.
QString executableDirectory();
// For tests: use another directory in place of the executable's.
void setExecutableDirectory(const QString& directory);
QString cataloguePath();

// The open catalogue; without one, failure 91.
Database& db();
void openCatalogue();
void releaseCatalogue();
bool catalogueOpen();

frmLumaret* mainWindow();

// "Lumaret Import/ Export Tool, v. 1.0.0"
QString versionedTitle();

} // namespace modLumaretStart
