#pragma once

#include <QString>

class frmLumaret;

// Start-up: where the catalogue is, and the main window that then owns it.
namespace modLumaretStart {

// What a run works on: the catalogue file and the folder the file dialogs start in.
struct Placement {
    QString catalogue;
    QString transferFolder;
    // Whether the file dialogs then start where the last transfer file of the run was chosen.
    bool followChosenFiles = false;
    // Made empty at the user's word this run: its empty lists are what the user asked for, not a fault to report.
    bool madeEmpty = false;
};

// The portable layout: data.mdb beside the executable, and transfer files always chosen from the same folder.
Placement besideProgram(const QString& programDirectory);

// Starts the program: prepares the pointer image and shows the main window on the catalogue. Returns the window,
// or nullptr, after telling the user why, when the catalogue cannot be opened; the window is then never shown.
frmLumaret* Main(const Placement& placement);

// "Lumaret Import/ Export Tool, v. 1.0.0"
QString versionedTitle();
// What the user is told once when the catalogue opens read-only, and why.
QString readOnlyNotice(const QString& catalogue, const QString& why);

} // namespace modLumaretStart
