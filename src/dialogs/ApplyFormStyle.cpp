#include "dialogs/ApplyFormStyle.h"

#include <QWidget>

void ApplyFormStyle(QWidget* frm) {
    if (!frm)
        return;
    QPalette palette = frm->palette();
    palette.setColor(QPalette::Window, QColor(253, 245, 230));
    frm->setPalette(palette);
    frm->setAutoFillBackground(true);
}
