#include "dialogs/ReportError.h"

#include "dialogs/frmMsgBox.h"

void ReportError(const Failure& failure) {
    ShowMessage(errorSentence(failure), msgbox::OkOnly, QStringLiteral("Notice"));
}
