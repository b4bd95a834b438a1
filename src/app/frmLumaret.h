#pragma once

#include "app/modLumaretStart.h"
#include "catalogue/Failure.h"

#include <QString>
#include <QWidget>
#include <memory>

class ComboBox;
class Database;
class ListBox;
class QLabel;
class QPushButton;
class Shape;

// The main window: choose a category and a figure, see its parts, and run the commands on them. Its behaviour
// lies in this folder: frmLumaret.cpp (building and closing), frmLumaretBrowse.cpp (the lists),
// CategoryCommands.cpp, FigureCommands.cpp and frmLumaretTransfer.cpp (the buttons). Everything else reaches its
// controls by their object names, as a user finds them by their captions.
class frmLumaret : public QWidget {
    Q_OBJECT

public:
    // The window works on the placement's catalogue, and its file dialogs start in its transfer folder.
    explicit frmLumaret(const modLumaretStart::Placement& placement);
    ~frmLumaret() override;

    // Opens the catalogue and fills the lists. Start-up failures (no catalogue, wrong file) pass through.
    void Form_Load();

    // The open catalogue, from the window's load to its unload; without one, failure 91.
    Database& db();

    static const QString designedCaption;
    static const QString emptyCategoryNotice;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Browsing.
    void LoadCategories(ComboBox* combo);
    void LoadFigures();
    void cboCategory_Click();
    void cboFigure_Click();
    // Run after a command's failure: when it was refused for a row another program removed or doubled meanwhile,
    // the lists are read again, keeping the category and figure selected where they are still there.
    void RefreshAfter(const Failure& failure);
    auto refreshAfterFailure() {
        return [this](const Failure& failure) { RefreshAfter(failure); };
    }

    // Commands of the buttons.
    void cmdAddCategory_Click();
    void cmdEditCategory_Click();
    void cmdDeleteCategory_Click();
    void cmdEditFigure_Click();
    void cmdDeleteFigure_Click();
    void cmdMoveFigure_Click();
    void cmdImport_Click();
    void ImportFile(const QString& path);
    void cmdExport_Click();
    void cmdCancel_Click();

    void createControls();
    void connectCommands();
    // The file dialogs start next time where this transfer file was chosen, when the placement says so.
    void noteChosenFile(const QString& path);

    QString cataloguePath;
    QString transferFolder;
    bool followChosenFiles;
    bool quietWhenEmpty;
    std::unique_ptr<Database> catalogue;

    QString strTitle;
    bool blnLoading = false;

    QLabel* lblChoose;
    QLabel* lblCategory;
    ComboBox* cboCategory;
    QPushButton* cmdAddCategory;
    QPushButton* cmdEditCategory;
    QPushButton* cmdDeleteCategory;
    QLabel* lblFigure;
    ComboBox* cboFigure;
    QPushButton* cmdAddFigure;
    QPushButton* cmdEditFigure;
    QPushButton* cmdDeleteFigure;
    QPushButton* cmdMoveFigure;
    QLabel* lbMaterials;
    ListBox* lstFigureParts;
    QLabel* lblFigureType;
    QPushButton* cmdImport;
    QPushButton* cmdExport;
    QPushButton* cmdCancel;
    Shape* Shape3;
    Shape* shpOtherFigure;
};
