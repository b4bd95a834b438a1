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

// Short enough to be read whole in the message box: its paths are written from the home folder on.
QString createQuestion(const QString& programDirectory, const QString& path) {
    const QString folder = location::shortPath(QFileInfo(path).absolutePath());
    return QStringLiteral("No catalogue was found in\r\n%1 or %2.\r\nCreate an empty one in\r\n%2?")
        .arg(location::shortPath(programDirectory), folder);
}

std::optional<Placement> findPlacement(const QString& given, const QString& programDirectory) {
    const location::Found found = location::findCatalogue(given, programDirectory);
    if (found.source == location::Source::BesideProgram)
        return besideProgram(programDirectory);
    // A catalogue named on the command line is opened or refused as it is, never made.
    if (!found.exists && found.source == location::Source::UserData) {
        if (ShowMessage(createQuestion(programDirectory, found.path), msgbox::YesNo | msgbox::Information,
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
    }
    return Placement{found.path, documentsFolder(), true};
}

} // namespace modLumaretStart
