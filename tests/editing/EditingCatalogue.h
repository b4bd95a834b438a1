#pragma once

#include "app/EntryList.h"
#include "support/TestCatalogue.h"

#include <QStringList>

// The catalogue the editing tests work on. Figure 40000 stands for the large identifiers that imports give.
inline const QString editingRows =
    QStringLiteral("INSERT INTO tblCategory VALUES (1, 'Animals'), (2, 'Knights'), (7, 'Vehicles');"
                   "INSERT INTO tblFigure VALUES (1, 1, 'Horse', 'Quadruped'), (2, 1, 'Eagle', 'Bird'),"
                   "  (3, 2, 'Knight', 'Standing'), (40000, 2, 'Archer', 'Kneeling');"
                   "INSERT INTO tblFigurePart VALUES (1, 1, 'Body'), (2, 1, 'Mane'), (3, 2, 'Wings'), (4, 3, 'Sword'),"
                   "  (5, 40000, 'Bow')");
