#pragma once

#include <QRect>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;
class Shape;

// The pieces the dialogs are built from, placed in twips like the rest of their layouts.

// Every button's shadow lies this far to the right of and below the button.
constexpr double shadowOffset = 120;

// One of the dialog pictures ("talk", "hand", "alert") in its 495-twip square, named pctTalk, pctHand, pctAlert.
QLabel* makePicture(const QString& name, double left, double top, QWidget* parent);

// Names a control and puts it in its place (see twipsRect).
template <class Control> Control* placed(Control* control, const QString& name, const QRect& geometry) {
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

// A caption; shown as plain text, whatever characters it holds.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);

// Where a button stands, in twips.
struct ButtonPlace {
    double left, top, width, height;
};

// Every button of the program: its shadow (named shadowName) first, then the button above it, with the given
// tip. Each button has the same face, the default one included. The shadow is handed out for windows that move
// their buttons about.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const ButtonPlace& place,
                        const QString& shadowName, const QString& tip = {}, Shape** shadow = nullptr);

// A fixed-size dialog of the program: its name, client size in twips, font and icon, and the designed caption
// "(caption changes)" that every showing replaces.
void setUpDialog(QDialog* dialog, const QString& name, double width, double height);

// The message or prompt: wraps at its width, and text beyond its height is cut off.
QLabel* makeMessageLabel(double width, QWidget* parent);
