#include "editing/EditingSteps.h"

#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"

namespace editing {

QString askName(const QString& prompt, const QString& proposed) {
    constexpr qint16 informationPicture = 64;
    return AskText(prompt, informationPicture, QStringLiteral("Please enter a new name"), proposed);
}

QString storedName(QString typed) {
    return typed.replace(QLatin1Char('\''), QLatin1Char('`'));
}

bool confirmDelete(const QString& listedName) {
    constexpr qint16 yes = 6;
    constexpr qint16 yesNoWithStop = 20;
    const QString question = QStringLiteral("Are you sure you want to PERMANENTLY remove \r'") + listedName +
                             QStringLiteral("' from your database?");
    return ShowMessage(question, yesNoWithStop, QStringLiteral("Warning")) == yes;
}

} // namespace editing
