#pragma once

#include <QDialog>

class ComboBox;
class frmLumaret;
class QLabel;
class QPushButton;
class Shape;

// Moves the figure selected in its owner, the main window, to a category chosen here. It reads the owner's
// selection itself and brings the owner's figure list up to date before it closes.
class frmMove : public QDialog {
    Q_OBJECT

public:
    explicit frmMove(frmLumaret& owner);

    static constexpr double clientWidth = 4335;
    static constexpr double clientHeight = 2025;

    QLabel* lblMain;
    QLabel* lblCategory;
    ComboBox* cboCategory;
    Shape* shpGo;
    Shape* shpExit;
    QPushButton* cmdGo;
    QPushButton* cmdCancel;

private:
    void Form_Load();
    void cmdGo_Click();

    frmLumaret& owner;
};
