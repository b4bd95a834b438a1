#pragma once

#include <QColor>
#include <QWidget>

// A drawn rectangle: the shadow under a button (filled, no outline) or a frame around a group (outline only).
// It takes no mouse movement, so the pointer treats it as window background.
class Shape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor FillColor READ fillColor WRITE setFillColor)
    Q_PROPERTY(QColor BorderColor READ borderColor WRITE setBorderColor)

public:
    enum class Kind { Shadow, Frame };

    Shape(Kind kind, QWidget* parent);

    Kind kind() const { return shapeKind; }
    QColor fillColor() const { return fill; }
    void setFillColor(const QColor& color);
    QColor borderColor() const { return border; }
    void setBorderColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind shapeKind;
    QColor fill{Qt::black};
    QColor border{Qt::black};
};
