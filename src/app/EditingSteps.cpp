#include "app/EditingSteps.h"

#include "dialogs/frmInputBox.h"
#include "dialogs/frmMsgBox.h"

namespace editing {

QString askName(const QString& prompt, const QString& proposed) {
    return AskText(prompt, msgbox::Information, QStringLiteral("Please enter a new name"), proposed);
}

QString storedName(QString typed) {
    return typed.replace(QLatin1Char('\''), QLatin1Char('`'));
}

bool confirmDelete(const QString& listedName) {
    const QString question = QStringLiteral("Are you sure you want to PERMANENTLY remove \r'") + listedName +
                             QStringLiteral("' from your database?");
    return ShowMessage(question, msgbox::YesNo | msgbox::Stop, QStringLiteral("Warning")) == msgbox::Yes;
}

} // namespace editing
