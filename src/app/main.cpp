#include "app/CommandLine.h"
#include "app/StartPlacement.h"
#include "catalogue/CatalogueLocation.h"
#include "dialogs/WindowFont.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    location::identifyProgram();
    commandLine::answerTextRequests(argc, argv);
    startReadingFontConfiguration();
    QApplication app(argc, argv);
    const std::optional<QString> given = commandLine::catalogueArgument(app);
    if (!given)
        return 2;
    const std::optional<modLumaretStart::Placement> placement =
        modLumaretStart::findPlacement(*given, QCoreApplication::applicationDirPath());
    if (!placement || !modLumaretStart::Main(*placement))
        return 1;
    return app.exec();
}
