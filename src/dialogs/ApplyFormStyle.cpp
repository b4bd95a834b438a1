#include "dialogs/ApplyFormStyle.h"

#include "dialogs/Shape.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QColor backgroundColour(253, 245, 230);
const QColor textColour(51, 0, 0);
const QColor shapeColour(128, 128, 255);
const QColor faceColour(245, 245, 245);

void setRoles(QWidget* control, std::initializer_list<QPalette::ColorRole> roles, const QColor& colour,
              std::initializer_list<QPalette::ColorGroup> groups = {QPalette::All}) {
    QPalette palette = control->palette();
    for (const QPalette::ColorGroup group : groups)
        for (const QPalette::ColorRole role : roles)
            palette.setColor(group, role, colour);
    control->setPalette(palette);
}

// A window or control is transparent unless asked to fill, so the colour alone would not show.
void setBackground(QWidget* control) {
    setRoles(control, {QPalette::Window}, backgroundColour);
    control->setAutoFillBackground(true);
}

// Disabled controls keep the style's greyed text, so that they still look disabled.
void setText(QWidget* control) {
    setRoles(control, {QPalette::WindowText}, textColour, {QPalette::Active, QPalette::Inactive});
}

// Our own controls name their colours as properties; one without the named property is passed over.
void setColourProperty(QWidget* control, const char* name, const QColor& colour) {
    if (control->metaObject()->indexOfProperty(name) >= 0)
        control->setProperty(name, colour);
}

// A picture is a label that shows an image; it keeps its own colours.
bool isLabel(const QWidget* control) {
    const auto* label = qobject_cast<const QLabel*>(control);
    return label && label->pixmap().isNull();
}

// Lists, labels and many other controls derive from QFrame; only a plain QFrame is a frame or a line here.
bool isPlainFrame(const QWidget* control) {
    return control->metaObject() == &QFrame::staticMetaObject;
}

bool isLine(const QWidget* control) {
    if (!isPlainFrame(control))
        return false;
    const QFrame::Shape shape = static_cast<const QFrame*>(control)->frameShape();
    return shape == QFrame::HLine || shape == QFrame::VLine;
}

bool isFrame(const QWidget* control) {
    return qobject_cast<const QGroupBox*>(control) || (isPlainFrame(control) && !isLine(control));
}

// Every rule whose kind matches applies, each colour on its own, so one that cannot be set costs only itself.
void styleControl(QWidget* control) {
    if (isLabel(control)) {
        setText(control);
        setBackground(control);
    }
    if (qobject_cast<QPushButton*>(control))
        setRoles(control, {QPalette::Button}, faceColour);
    if (qobject_cast<QCheckBox*>(control)) {
        setBackground(control);
        setText(control);
    }
    if (qobject_cast<QRadioButton*>(control)) {
        setBackground(control);
        setText(control);
    }
    if (qobject_cast<Shape*>(control)) {
        setColourProperty(control, "FillColor", shapeColour);
        setColourProperty(control, "BorderColor", textColour);
    }
    if (isFrame(control)) {
        setBackground(control);
        setText(control);
    }
    // A sunken or raised line draws with the light and dark roles, a plain one with the text role.
    if (isLine(control))
        setRoles(control, {QPalette::WindowText, QPalette::Light, QPalette::Dark}, textColour);
}
} // namespace

void ApplyFormStyle(QWidget* frm) {
    if (!frm)
        return;
    setBackground(frm);
    // The controls are taken once, in the order they were made; windows owned by this one are not its controls.
    const QList<QWidget*> controls = frm->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls)
        if (!control->isWindow())
            styleControl(control);
}
