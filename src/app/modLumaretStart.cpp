#include "app/modLumaretStart.h"

#include "Version.h"
#include "access/AccessConversion.h"
#include "app/AccessStart.h"
#include "app/frmLumaret.h"
#include "catalogue/CatalogueLocation.h"
#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "dialogs/Resources.h"
#include "dialogs/WindowFont.h"
#include "dialogs/WindowPlacement.h"
#include "dialogs/frmMsgBox.h"

#include <QDir>
#include <QGuiApplication>

namespace modLumaretStart {

Placement besideProgram(const QString& programDirectory) {
    return {QDir(programDirectory).filePath(location::catalogueFileName), programDirectory, false};
}

frmLumaret* Main(const Placement& placement) {
    // The desktop pairs the windows with the menu entry by this id (packaging/, and its StartupWMClass on X11).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.lumaret.LumaretTool"));
    startLoadingFonts();
    customCursor(); // loads the pointer image before anything asks for it
    if (isAccess97File(placement.catalogue) && !accessStart::offerConversion(placement.catalogue))
        return nullptr;
    auto* window = new frmLumaret(placement);
    try {
        window->Form_Load();
    } catch (const std::exception& exception) {
        const Failure failure = failure::fromException(exception);
        delete window;
        ShowMessage(startupReport(QStringLiteral("LumaretTool cannot start."), failure), msgbox::OkOnly | msgbox::Stop,
                    QStringLiteral("LumaretTool"));
        return nullptr;
    }
    centreOnScreen(window);
    window->show();
    // A catalogue that can only be read says so once, here, rather than at every refused command.
    if (const QString why = window->db().readOnlyReason(); !why.isEmpty())
        ShowMessage(readOnlyNotice(placement.catalogue, why), msgbox::OkOnly | msgbox::Information,
                    QStringLiteral("LumaretTool"));
    return window;
}

QString readOnlyNotice(const QString& catalogue, const QString& why) {
    return QStringLiteral("%1 is shown, but it cannot be changed: %2 Every command that would change it is refused.")
        .arg(QDir::toNativeSeparators(catalogue), why);
}

QString versionedTitle() {
    return QStringLiteral("Lumaret Import/ Export Tool, v. %1.%2.%3")
        .arg(version::major)
        .arg(version::minor)
        .arg(version::revision);
}

} // namespace modLumaretStart
