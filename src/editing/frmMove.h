#pragma once

#include <QDialog>

class ComboBox;
class QLabel;
class QPushButton;
class Shape;

// Moves the figure selected in the main window to a category chosen here. It reads the main window's
// selection itself and brings the main window's figure list up to date before it closes.
class frmMove : public QDialog {
    Q_OBJECT

public:
    explicit frmMove(QWidget* parent = nullptr);

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
};
