#pragma once

#include <QString>

// Where a run's catalogue is, for the program and its command-line companions alike, and how an empty one is
// made. Nothing here asks the user: the callers decide whether a missing catalogue may be created.
namespace location {

inline const QString catalogueFileName = QStringLiteral("data.mdb");

// Names the running program, which also fixes the user data folder: programs that call this share it.
void identifyProgram();

// Where a catalogue of this user lives when it does not lie beside the program: data.mdb under
// ~/.local/share/LumaretTool (or $XDG_DATA_HOME/LumaretTool). Needs identifyProgram first.
QString userDataFolder();
QString userCatalogue();

enum class Source { Given, BesideProgram, UserData };

struct Found {
    QString path;
    Source source = Source::UserData;
    bool exists = false;
};

// The catalogue of a run, first that applies: the given path (kept even when missing, never exchanged for
// another); data.mdb beside the program when it exists (the portable layout); else the user's, which may not
// exist yet.
Found findCatalogue(const QString& given, const QString& programDirectory);

// A path as the user reads it: their home folder shown as "~".
QString shortPath(const QString& path);

// Makes an empty catalogue from the schema the program carries, making its folder first. Built under a
// temporary name and then renamed, so no half-made catalogue ever appears under path; an existing file is never
// replaced. Fails with 75 and the system's reason, or with the engine's failure.
void createEmptyCatalogue(const QString& path);

} // namespace location
