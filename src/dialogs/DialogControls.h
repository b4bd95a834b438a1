#pragma once

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

// The shadow of a button that will stand at left, top. Make it before the button, so that the button covers it.
Shape* makeShadow(const QString& name, double left, double top, double width, double height, QWidget* parent);

QPushButton* makeButton(const QString& name, const QString& caption, double left, double top, double width,
                        double height, QWidget* parent);

// A fixed-size dialog of the program: its name, client size in twips, font and icon, and the designed caption
// "(caption changes)" that every showing replaces.
void setUpDialog(QDialog* dialog, const QString& name, double width, double height);

// The message or prompt: wraps at its width, and text beyond its height is cut off.
QLabel* makeMessageLabel(double width, QWidget* parent);
