#pragma once

#include <QString>
#include <memory>

struct sqlite3;

// An Access (Jet 4 or ACE) catalogue kept as what it is. Its three tables are read into a SQLite working copy when
// it opens, so that every statement of the program means on it what it means on a SQLite catalogue. The row
// changes a command commits there are carried into the Access file by the project's own page writer before the
// command counts as done; the file's journal makes that write whole or absent, also when the program is killed.
class AccessCatalogue {
public:
    // Opens the file (rolling back a write that a killed program left half done) and reads the catalogue tables'
    // definitions. Fails naming the damage, a missing table, or why the file cannot be read.
    explicit AccessCatalogue(const QString& path);
    ~AccessCatalogue();
    AccessCatalogue(const AccessCatalogue&) = delete;
    AccessCatalogue& operator=(const AccessCatalogue&) = delete;

    // Makes the three tables in the (empty) working copy and fills them with the file's live rows.
    void load(sqlite3* workingCopy);

    // Empty when every command may write; otherwise one sentence saying why the file is only read.
    QString readOnlyReason() const;

    // Holds the file's write lock (flock) while a command checks and writes it, so that two copies of the program
    // never write one file at once; waits up to waitMs for another copy's command to end, then fails as locked.
    void lockForWriting(int waitMs);
    void unlock();

    // True when another program has written the file since it was loaded or last written here.
    bool changedByAnotherProgram() const;
    // Reads the file again after another program changed it: the working copy's tables are made anew.
    void reload(sqlite3* workingCopy);

    // Carries one committed command's row changes (a changeset of the working copy) into the file. When it fails,
    // the file is as it was before, and the caller rolls the working copy back.
    void write(sqlite3* workingCopy, int changesetSize, void* changeset);

private:
    struct State;
    std::unique_ptr<State> state;
};
