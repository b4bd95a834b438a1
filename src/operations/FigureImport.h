#pragma once

#include <QString>

class Database;

namespace operations {

struct ImportedFigure {
    qint32 figureId = 0;
    QString name; // as stored, with " (imported)" when the name was taken
    bool nameClash = false;
};

// Reads the transfer file and adds its figure and all its parts to the category in one transaction: everything
// is written or, on any failure, nothing. The new identifiers are read inside it too, so that another copy of
// the program adding rows at the same moment cannot be handed the same ones.
ImportedFigure importTransferFile(Database& db, qint32 categoryId, const QString& path);

} // namespace operations
