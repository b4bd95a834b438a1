#pragma once

#include "catalogue/Failure.h"

#include <QDialog>
#include <functional>

class ComboBox;
class Database;
class QLabel;
class QPushButton;
class Shape;

// Moves one figure to a category chosen here. It knows nothing of the window that opens it beyond what that
// window hands it: the figure's name, its identifier (asked for when OK is pressed, so that a missing selection
// fails there, with nothing changed), the fill of the category list (the owner's, with its notice for an empty
// catalogue), what to do after the move, and what to do when the move was refused because the figure or the
// category picked is gone (the dialog closes then: what it lists is out of date).
class frmMove : public QDialog {
    Q_OBJECT

public:
    struct Owner {
        QString figureName;
        std::function<qint32()> figureId;
        std::function<void(ComboBox*)> loadCategories;
        std::function<void()> moved;
        std::function<void(const Failure&)> outOfDate;
    };

    frmMove(QWidget* parent, Database& catalogue, Owner owner);

    static constexpr double clientWidth = 4335;
    static constexpr double clientHeight = 2025;

private:
    void Form_Load();
    void cmdGo_Click();

    Database& catalogue;
    const Owner owner;

    QLabel* lblMain;
    QLabel* lblCategory;
    ComboBox* cboCategory;
    Shape* shpGo;
    Shape* shpExit;
    QPushButton* cmdGo;
    QPushButton* cmdCancel;
};
