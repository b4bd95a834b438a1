// The editing commands: the identifiers given, the names stored, what the main window shows afterwards, and that
// a command the user declines changes nothing.
#include "app/frmLumaret.h"
#include "dialogs/EntryList.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMove.h"
#include "dialogs/frmMsgBox.h"
#include "support/ModalWindow.h"
#include "support/TestCatalogue.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {
// Figure 40000 stands for the large identifiers that imports give.
const QString editingRows =
    QStringLiteral("INSERT INTO tblCategory VALUES (1, 'Animals'), (2, 'Knights'), (7, 'Vehicles');"
                   "INSERT INTO tblFigure VALUES (1, 1, 'Horse', 'Quadruped'), (2, 1, 'Eagle', 'Bird'),"
                   "  (3, 2, 'Knight', 'Standing'), (40000, 2, 'Archer', 'Kneeling');"
                   "INSERT INTO tblFigurePart VALUES (1, 1, 'Body'), (2, 1, 'Mane'), (3, 2, 'Wings'), (4, 3, 'Sword'),"
                   "  (5, 40000, 'Bow')");

void addCategoryRow(const char* name, const QString& existing, const QString& typed, const QStringList& rowsAfter,
                    const QString& selected, const QString& report = {}) {
    QTest::newRow(name) << existing << typed << rowsAfter << selected << report;
}
void deleteRow(const char* name, const char* button, const QString& rows, const QStringList& removed,
               const QStringList& shown, const QString& report = {}) {
    QTest::newRow(name) << QString(button) << rows << removed << shown << report;
}
void declinedRow(const char* button, const char* answer, const QString& asked) {
    QTest::addRow("%s, %s", button, answer) << QString(button) << QString(answer) << asked;
}

// What the text input and message box were asked to show, one line each.
QStringList asked() {
    QStringList texts;
    for (const AskedText& a : frmInputBox::takeAsked())
        texts << QStringList{a.prompt, QString::number(qint16(a.style)), a.caption, a.proposed}.join('|');
    for (const ShownMessage& m : frmMsgBox::takeShown())
        texts << QStringList{m.text, QString::number(qint16(m.style)), m.caption}.join('|');
    return texts;
}
} // namespace

class EditingCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(endTest()); }

    void changesNothing_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("asked");
        const QString name = QStringLiteral("|64|Please enter a new name|");
        const QString question = QStringLiteral("Are you sure you want to PERMANENTLY remove \r'%1' from your "
                                                "database?|20|Warning");
        declinedRow("cmdAddCategory", "Cancel", "Enter a new category to add." + name);
        declinedRow("cmdEditCategory", "OK on an empty field",
                    "Enter a new name for this category." + name + "Animals");
        declinedRow("cmdEditFigure", "Cancel", "Enter a new name for this figure." + name + "Eagle");
        declinedRow("cmdDeleteCategory", "No", question.arg("Animals"));
        declinedRow("cmdDeleteFigure", "closed", question.arg("Eagle"));
        declinedRow("cmdMoveFigure", "Cancel", "Move figure 'Eagle' to...");
        declinedRow("cmdMoveFigure", "closed", "Move figure 'Eagle' to...");
        declinedRow("cmdMoveFigure", "Escape", "Move figure 'Eagle' to...");
    }

    void changesNothing() {
        QFETCH(QString, button);
        QFETCH(QString, answer);
        QFETCH(QString, asked);
        TestCatalogue catalogue(editingRows);
        START_PROGRAM(w, catalogue);
        const QStringList shownBefore =
            listed(*ui(w).cboCategory) + listed(*ui(w).cboFigure) + listed(*ui(w).lstFigureParts);
        // Rows another program adds meanwhile would show up in any list that is read again.
        catalogue.exec("INSERT INTO tblCategory VALUES (9, 'Aaa'); INSERT INTO tblFigure VALUES (99, 1, 'Aaa', '');"
                       "INSERT INTO tblFigurePart VALUES (99, 2, 'Aaa')");
        const QStringList before = everyRow(catalogue);

        QStringList seen;
        if (button == "cmdMoveFigure") {
            whenModalOpens<frmMove>([&](frmMove* move) {
                seen << named<QLabel>(move, "lblMain")->text();
                if (answer == "Cancel")
                    named<QPushButton>(move, "cmdCancel")->click();
                else if (answer == "Escape")
                    QTest::keyClick(move, Qt::Key_Escape);
                else
                    move->close();
            });
        } else if (button.startsWith("cmdDelete")) {
            frmMsgBox::setNextAnswer(answer == "No" ? msgbox::No : msgbox::Cancel);
        } else {
            frmInputBox::setNextText(answer == "Cancel" ? std::nullopt : std::optional<QString>(QString()));
        }
        w->findChild<QPushButton*>(button)->click();

        QCOMPARE(seen + ::asked(), QStringList{asked});
        QCOMPARE(everyRow(catalogue), before);
        QCOMPARE(listed(*ui(w).cboCategory) + listed(*ui(w).cboFigure) + listed(*ui(w).lstFigureParts), shownBefore);
    }

    void addCategory_data() {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("rowsAfter");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("report");
        addCategoryRow("empty table", "", "Animals", {"1|Animals"}, "Animals");
        addCategoryRow("the last 16-bit one", "(32766, 'A')", "Zoo", {"32766|A", "32767|Zoo"}, "Zoo");
        addCategoryRow("beyond 16 bits", "(32767, 'A')", "Zoo", {"32767|A"}, "A",
                       "An error, 6: 'Overflow' has occurred.");
        addCategoryRow("apostrophes", "(1, 'A')", "Knight's `own' set", {"1|A", "2|Knight`s `own` set"},
                       "Knight`s `own` set");
        addCategoryRow("blanks only: stored as typed, listed trimmed", "(1, 'Z')", "   ", {"1|Z", "2|   "}, "");
    }

    void addCategory() {
        QFETCH(QString, existing);
        QFETCH(QString, typed);
        QFETCH(QStringList, rowsAfter);
        QFETCH(QString, selected);
        QFETCH(QString, report);
        TestCatalogue catalogue(existing.isEmpty() ? QString() : "INSERT INTO tblCategory VALUES " + existing);
        if (existing.isEmpty())
            frmMsgBox::setNextAnswer(msgbox::Ok); // the empty-list notice at start
        START_PROGRAM(w, catalogue);
        frmMsgBox::takeShown();
        frmInputBox::setNextText(typed);
        if (!report.isEmpty())
            frmMsgBox::setNextAnswer(msgbox::Ok);
        ui(w).cmdAddCategory->click();

        QCOMPARE(catalogue.rows("SELECT * FROM tblCategory ORDER BY 1"), rowsAfter);
        QCOMPARE(ui(w).cboCategory->Text(), selected);
        QCOMPARE(frmMsgBox::takeShown().value(0).text, report);
    }

    void rename_data() {
        QTest::addColumn<bool>("figure");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("shown"); // the list renamed in, its selection, then the other list's
        QTest::newRow("category Animals") << false << "SELECT CategoryName FROM tblCategory WHERE CategoryID = 1"
                                          << QStringList{"Knights", "Vehicles", "Zoo`s", "Zoo`s", "Eagle"};
        // Archer, the first of Knights, bears an identifier beyond 16 bits, as imported figures do.
        QTest::newRow("figure Archer") << true << "SELECT FigureName FROM tblFigure WHERE FigureID = 40000"
                                       << QStringList{"Knight", "Zoo`s", "Zoo`s", "Bow"};
    }

    void rename() {
        QFETCH(bool, figure);
        QFETCH(QString, stored);
        QFETCH(QStringList, shown);
        TestCatalogue catalogue(editingRows);
        START_PROGRAM(w, catalogue);
        if (figure)
            ui(w).cboCategory->selectEntry(1);
        frmInputBox::setNextText(QStringLiteral("Zoo's"));
        (figure ? ui(w).cmdEditFigure : ui(w).cmdEditCategory)->click();

        QCOMPARE(catalogue.value(stored), QVariant("Zoo`s"));
        ComboBox& renamedIn = figure ? *ui(w).cboFigure : *ui(w).cboCategory;
        QCOMPARE(listed(renamedIn) << renamedIn.Text()
                                   << (figure ? listed(*ui(w).lstFigureParts).value(0) : ui(w).cboFigure->Text()),
                 shown);
    }

    // Yes to the question, and what follows.
    void deleteConfirmed_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QStringList>("removed"); // rows gone from the catalogue
        QTest::addColumn<QStringList>("shown");   // categories, figures and parts shown afterwards
        QTest::addColumn<QString>("report");      // what follows the question, with its caption
        const QStringList unchanged{"Animals", "Knights", "Vehicles", "Eagle", "Horse", "Wings"};
        deleteRow("category in use", "cmdDeleteCategory", editingRows, {}, unchanged,
                  "This category can not be deleted. It is is use by 2 figure(s). Please delete the figure(s) before "
                  "deleting this category.|Notice");
        deleteRow("the last category", "cmdDeleteCategory", "INSERT INTO tblCategory VALUES (5, 'Empty')", {"5|Empty"},
                  {},
                  "No information was loaded into the Category pull-down box. This could mean that a 'connection' "
                  "could not be established with the database. In order for this program (and the database) to work "
                  "properly, you must have Microsoft Access on this computer.|Warning");
        deleteRow("figure with its parts", "cmdDeleteFigure", editingRows, {"2|1|Eagle|Bird", "3|2|Wings"},
                  {"Animals", "Knights", "Vehicles", "Horse", "Body", "Mane"});
        // The parts go first; when the figure then cannot go, its parts must come back.
        deleteRow("figure refused after its parts", "cmdDeleteFigure",
                  editingRows + ";CREATE TRIGGER refuse BEFORE DELETE ON tblFigure BEGIN SELECT RAISE(ABORT, "
                                "'locked'); END",
                  {}, unchanged, "An error, 1811: 'locked' has occurred.|Notice");
    }

    void deleteConfirmed() {
        QFETCH(QString, button);
        QFETCH(QString, rows);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, shown);
        QFETCH(QString, report);
        TestCatalogue catalogue(rows);
        START_PROGRAM(w, catalogue);
        QStringList remaining = everyRow(catalogue);
        for (const QString& row : removed)
            remaining.removeOne(row);
        frmMsgBox::setNextAnswer(msgbox::Yes); // Animals and Eagle, the first ones
        if (!report.isEmpty())
            frmMsgBox::setNextAnswer(msgbox::Ok);
        w->findChild<QPushButton*>(button)->click();

        QCOMPARE(everyRow(catalogue), remaining);
        QCOMPARE(listed(*ui(w).cboCategory) + listed(*ui(w).cboFigure) + listed(*ui(w).lstFigureParts), shown);
        const ShownMessage followed = frmMsgBox::takeShown().value(1);
        QCOMPARE(report.isEmpty() ? QString() : followed.text + '|' + followed.caption, report);
    }

    void moveFigure() {
        TestCatalogue catalogue(editingRows);
        START_PROGRAM(w, catalogue);
        int preselected = -1;
        whenModalOpens<frmMove>([&](frmMove* move) {
            auto* category = named<ComboBox>(move, "cboCategory");
            preselected = category->ListIndex();
            category->selectEntry(1);
            named<QPushButton>(move, "cmdGo")->click();
        });
        ui(w).cmdMoveFigure->click(); // Eagle, from Animals to Knights

        QCOMPARE(preselected, 0);
        QCOMPARE(catalogue.value("SELECT CategoryID FROM tblFigure WHERE FigureID = 2"), QVariant(2));
        QCOMPARE(listed(*ui(w).cboFigure), QStringList{"Horse"});
        ui(w).cboCategory->selectEntry(1);
        QVERIFY(listed(*ui(w).cboFigure).contains("Eagle"));
    }

    // A command on a row another program removed meanwhile is refused, and the lists then show the catalogue as
    // it now is, keeping what is still there selected.
    void goneMeanwhile_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("shown"); // the report, then categories, figures and parts shown afterwards
        const QString gone = "An error, 3021: 'The %1 with identifier %2 is no longer in the catalogue; nothing was "
                             "changed.' has occurred.";
        const auto row = [&](const char* name, const char* button, const QString& table, int id, const char* shown) {
            QTest::newRow(name) << QString(button) << QString("DELETE FROM tbl%1 WHERE %1ID = %2").arg(table).arg(id)
                                << QStringList{gone.arg(table.toLower()).arg(id)} + QString(shown).split(',');
        };
        row("figure renamed", "cmdEditFigure", "Figure", 2, "Animals,Knights,Vehicles,Horse,Body,Mane");
        row("category renamed", "cmdEditCategory", "Category", 1, "Knights,Vehicles,Archer,Knight,Bow");
        row("figure moved into it", "cmdMoveFigure", "Category", 7, "Animals,Knights,Eagle,Horse,Wings");
    }

    void goneMeanwhile() {
        QFETCH(QString, button);
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, shown);
        TestCatalogue catalogue(editingRows);
        START_PROGRAM(w, catalogue);
        QStringList before = everyRow(catalogue);
        if (button == "cmdMoveFigure") {
            whenModalOpens<frmMove>([&](frmMove* move) {
                catalogue.exec(meanwhile); // while Vehicles is listed there
                before = everyRow(catalogue);
                named<ComboBox>(move, "cboCategory")->selectEntry(2);
                named<QPushButton>(move, "cmdGo")->click();
            });
        } else {
            catalogue.exec(meanwhile);
            before = everyRow(catalogue);
            frmInputBox::setNextText(QStringLiteral("New"));
        }
        frmMsgBox::setNextAnswer(msgbox::Ok);
        w->findChild<QPushButton*>(button)->click();
        QCOMPARE(shownTexts() + listed(*ui(w).cboCategory) + listed(*ui(w).cboFigure) + listed(*ui(w).lstFigureParts),
                 shown);
        QCOMPARE(everyRow(catalogue), before);
    }
};

QTEST_MAIN(EditingCommandsTest)
#include "tst_editingcommands.moc"
