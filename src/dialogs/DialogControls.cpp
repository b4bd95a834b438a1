#include "dialogs/DialogControls.h"

#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"

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
