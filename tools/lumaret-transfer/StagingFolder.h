#pragma once

#include <QString>
#include <QTemporaryDir>
#include <optional>

// The hidden folder inside a target folder where export-all makes its files before they take their names, so
// that a failure half-way leaves the folder as it was. Its name carries the process id: a folder whose process
// is gone was left by a killed run and is removed when the next one starts. While it exists, an interrupt,
// hang-up or terminate signal only takes note; stopIfAsked() then removes the folder and lets the signal end
// the program, and so does the destructor for one that arrives later.
class StagingFolder {
public:
    explicit StagingFolder(const QString& folder); // fails with 75 when the folder cannot be made
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    QString path() const { return dir->path(); }
    QString filePath(const QString& name) const { return dir->filePath(name); }
    void stopIfAsked();

private:
    std::optional<QTemporaryDir> dir; // made once the signals are noted, so none can leave it behind
};
