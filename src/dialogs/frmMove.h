#pragma once

#include <QDialog>
#include <functional>

class ComboBox;
class Database;
class QLabel;
class QPushButton;
class Shape;

// Moves one figure to a category chosen here. It knows the figure only by identifier and name; after the move
// it calls moved, so that whoever opened it can bring its own lists up to date, and closes.
class frmMove : public QDialog {
    Q_OBJECT

public:
    struct Figure {
        qint32 id = 0;
        QString name;
    };

    frmMove(QWidget* owner, Database& catalogue, Figure figure, std::function<void()> moved);

    static constexpr double clientWidth = 4335;
    static constexpr double clientHeight = 2025;

private:
    void Form_Load();
    void cmdGo_Click();

    Database& catalogue;
    const Figure figure;
    const std::function<void()> moved;

    QLabel* lblMain;
    QLabel* lblCategory;
    ComboBox* cboCategory;
    Shape* shpGo;
    Shape* shpExit;
    QPushButton* cmdGo;
    QPushButton* cmdCancel;
};
