#include "app/StartPlacement.h"

#include "catalogue/CatalogueLocation.h"
#include "catalogue/Failure.h"
#include "dialogs/frmMsgBox.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace modLumaretStart {
namespace {
// Where the file dialogs start outside the portable layout; a home without a documents folder gets none made.
QString documentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}
} // namespace

// Names only the folder the catalogue would be made in, written from the home folder on: the program's own folder
// is looked in too, but an installed program's user can put nothing there.
QString createQuestion(const QString& path) {
    return QStringLiteral("No catalogue was found in %1.\r\nCreate an empty one there?")
        .arg(location::shortPath(QFileInfo(path).absolutePath()));
}

std::optional<Placement> findPlacement(const QString& given, const QString& programDirectory) {
    const location::Found found = location::findCatalogue(given, programDirectory);
    if (found.source == location::Source::BesideProgram)
        return besideProgram(programDirectory);
    // A catalogue named on the command line is opened or refused as it is, never made.
    if (!found.exists && found.source == location::Source::UserData) {
        if (ShowMessage(createQuestion(found.path), msgbox::YesNo | msgbox::Information,
                        QStringLiteral("LumaretTool")) != msgbox::Yes)
            return std::nullopt;
        try {
            location::createEmptyCatalogue(found.path);
        } catch (const std::exception& exception) {
            const Failure failure = failure::fromException(exception);
            ShowMessage(startupReport(QStringLiteral("The catalogue could not be created."), failure),
                        msgbox::OkOnly | msgbox::Stop, QStringLiteral("LumaretTool"));
            return std::nullopt;
        }
        return Placement{found.path, documentsFolder(), true, true};
    }
    return Placement{found.path, documentsFolder(), true};
}

} // namespace modLumaretStart
