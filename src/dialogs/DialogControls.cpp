#include "dialogs/DialogControls.h"

#include "dialogs/Resources.h"
#include "dialogs/Shape.h"
#include "dialogs/Twips.h"
#include "dialogs/WindowFont.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>

QLabel* makePicture(const QString& name, double left, double top, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName("pct" + name.left(1).toUpper() + name.mid(1));
    label->setPixmap(picture(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(twipsRect(left, top, 495, 495));
    return label;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry) {
    auto* label = placed(new QLabel(caption, parent), name, geometry);
    label->setTextFormat(Qt::PlainText);
    return label;
}

namespace {
// The style paints a default button in a tint of its own; here it keeps the common face, and the default still
// answers Enter.
class Button : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void initStyleOption(QStyleOptionButton* option) const override {
        QPushButton::initStyleOption(option);
        option->features &= ~QStyleOptionButton::DefaultButton;
    }
    // Return and Enter press the button that has the focus, as Space does, in the main window as in the dialogs,
    // and never the window's default button in its place.
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (!event->isAutoRepeat())
                click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};
} // namespace

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const ButtonPlace& place,
                        const QString& shadowName, const QString& tip, Shape** shadow) {
    auto* shape = new Shape(Shape::Kind::Shadow, parent);
    shape->setObjectName(shadowName);
    shape->setGeometry(twipsRect(place.left + shadowOffset, place.top + shadowOffset, place.width, place.height));
    if (shadow)
        *shadow = shape;
    auto* button = new Button(caption, parent);
    button->setObjectName(name);
    button->setGeometry(twipsRect(place.left, place.top, place.width, place.height));
    button->setToolTip(tip);
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
