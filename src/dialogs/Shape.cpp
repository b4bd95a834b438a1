#include "dialogs/Shape.h"

#include <QPainter>

Shape::Shape(Kind kind, QWidget* parent) : QWidget(parent), shapeKind(kind) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setFillColor(const QColor& color) {
    fill = color;
    update();
}

void Shape::setBorderColor(const QColor& color) {
    border = color;
    update();
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (shapeKind == Kind::Shadow) {
        painter.fillRect(rect(), fill);
        return;
    }
    painter.setPen(QPen(border, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
