#include "dialogs/DialogControls.h"

#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/WindowFont.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

QLabel* makePicture(const QString& name, double left, double top, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName("pct" + name.left(1).toUpper() + name.mid(1));
    label->setPixmap(picture(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(twipsRect(left, top, 495, 495));
    return label;
}

Shape* makeShadow(const QString& name, double left, double top, double width, double height, QWidget* parent) {
    auto* shape = new Shape(Shape::Kind::Shadow, parent);
    shape->setObjectName(name);
    shape->setGeometry(twipsRect(left + shadowOffset, top + shadowOffset, width, height));
    return shape;
}

QPushButton* makeButton(const QString& name, const QString& caption, double left, double top, double width,
                        double height, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(twipsRect(left, top, width, height));
    return button;
}

void setUpDialog(QDialog* dialog, const QString& name, double width, double height) {
    dialog->setObjectName(name);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    dialog->setFixedSize(px(width), px(height));
    dialog->setFont(windowFont());
    dialog->setWindowTitle(QStringLiteral("(caption changes)"));
    dialog->setWindowIcon(programIcon());
}

QLabel* makeMessageLabel(double width, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("Label1"), parent);
    label->setObjectName(QStringLiteral("lblMsgText"));
    label->setGeometry(twipsRect(960, 240, width, 855));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}
