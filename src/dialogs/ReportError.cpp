#include "dialogs/ReportError.h"

#include "dialogs/frmMsgBox.h"

QString errorSentence(const Failure& failure) {
    return QStringLiteral("An error, ") + QString::number(failure.number) + QStringLiteral(": '") +
           failure.description + QStringLiteral("' has occurred.");
}

void ReportError(const Failure& failure) {
    ShowMessage(errorSentence(failure), msgbox::OkOnly, QStringLiteral("Notice"));
}
