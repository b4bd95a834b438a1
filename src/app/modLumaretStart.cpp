#include "app/modLumaretStart.h"

#include "Version.h"
#include "app/frmLumaret.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "dialogs/Resources.h"
#include "dialogs/WindowPlacement.h"
#include "dialogs/frmMsgBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <memory>

namespace modLumaretStart {
namespace {
std::unique_ptr<Database> openDatabase;
QPointer<frmLumaret> mainInstance;
QString directoryOverride;
} // namespace

bool Main() {
    customCursor(); // loads the pointer image before anything asks for it
    auto* window = new frmLumaret;
    mainInstance = window;
    try {
        window->Form_Load();
    } catch (const Failure& failure) {
        releaseCatalogue();
        delete window;
        ShowMessage(QStringLiteral("LumaretTool cannot start.\r\n\r\nError %1: %2")
                        .arg(failure.number)
                        .arg(failure.description),
                    16, QStringLiteral("LumaretTool"));
        return false;
    }
    centreOnScreen(window);
    window->show();
    return true;
}

QString executableDirectory() {
    return directoryOverride.isEmpty() ? QCoreApplication::applicationDirPath() : directoryOverride;
}

void setExecutableDirectory(const QString& directory) {
    directoryOverride = directory;
}

QString cataloguePath() {
    return QDir(executableDirectory()).filePath(QStringLiteral("data.mdb"));
}

Database& db() {
    if (!openDatabase)
        throw Failure(failure::ObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
    return *openDatabase;
}

void openCatalogue() {
    openDatabase = std::make_unique<Database>(cataloguePath());
}

void releaseCatalogue() {
    openDatabase.reset();
}

bool catalogueOpen() {
    return openDatabase != nullptr;
}

frmLumaret* mainWindow() {
    return mainInstance.data();
}

QString versionedTitle() {
    return QStringLiteral("Lumaret Import/ Export Tool, v. %1.%2.%3")
        .arg(version::major)
        .arg(version::minor)
        .arg(version::revision);
}

} // namespace modLumaretStart
