// The program's side of bench/run: one measurement per run, on a catalogue lying beside a program directory,
// driven through the main window as a user would, with the file dialog and the notices answered by their hooks.
// Prints the milliseconds the measured step took, or fails with a reason.
//
//   bench_lumaret import DIR FILE CATEGORY   click Import with FILE while CATEGORY is chosen, until the notice
//   bench_lumaret export DIR FIGURE FILE     choose FIGURE, then click Export to FILE, until the notice
//   bench_lumaret figure DIR FIGURE          choose FIGURE (its category chosen first, untimed)
//   bench_lumaret category DIR CATEGORY      choose CATEGORY (another one chosen first, untimed)
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "catalogue/Database.h"
#include "dialogs/EntryList.h"
#include "dialogs/FileDialog.h"
#include "dialogs/frmMsgBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSqlQuery>
#include <cstdio>

namespace {
int fail(const QString& why) {
    std::fprintf(stderr, "bench_lumaret: %s\n", qPrintable(why));
    return 1;
}

int indexOf(const EntryList& list, qint32 itemData) {
    for (int i = 0; i < list.ListCount(); ++i)
        if (list.entries().itemData(i) == itemData)
            return i;
    return -1;
}

// The category a figure is filed under, read beside the program so that choosing it stays untimed.
qint32 categoryOf(frmLumaret* window, qint32 figureId) {
    QSqlQuery query(window->db().connection());
    query.exec(QStringLiteral("SELECT CategoryID FROM tblFigure WHERE FigureID=%1").arg(figureId));
    return query.next() ? query.value(0).toInt() : -1;
}

template <class T> T* control(frmLumaret* window, const char* name) {
    return window->findChild<T*>(QLatin1String(name));
}

bool chooseCategory(frmLumaret* window, qint32 categoryId) {
    const int index = indexOf(*control<ComboBox>(window, "cboCategory"), categoryId);
    if (index < 0)
        return false;
    control<ComboBox>(window, "cboCategory")->selectEntry(index);
    return true;
}

double elapsed(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3)
        return fail(QStringLiteral("usage: import|export|figure|category DIR ..."));
    const QString what = args[0];
    frmLumaret* window = modLumaretStart::Main(modLumaretStart::besideProgram(args[1]));
    if (!window)
        return fail(QStringLiteral("the program did not start on %1").arg(args[1]));
    QElapsedTimer timer;
    double ms = -1;

    if (what == QLatin1String("import") && args.size() == 4) {
        if (!chooseCategory(window, args[3].toInt()))
            return fail(QStringLiteral("no category %1").arg(args[3]));
        FileDialog::setNextFileName(args[2]);
        frmMsgBox::setNextAnswer(msgbox::Ok);
        timer.start();
        control<QPushButton>(window, "cmdImport")->click();
        ms = elapsed(timer);
        const ShownMessage notice = frmMsgBox::takeShown().value(0);
        if (notice.caption != QLatin1String("Import Complete..."))
            return fail(QStringLiteral("import failed: %1").arg(notice.text));
        std::fprintf(stderr, "imported, %d parts listed\n", control<ListBox>(window, "lstFigureParts")->ListCount());
    } else if (what == QLatin1String("export") && args.size() == 4) {
        const qint32 figureId = args[2].toInt();
        if (!chooseCategory(window, categoryOf(window, figureId)))
            return fail(QStringLiteral("no figure %1").arg(figureId));
        control<ComboBox>(window, "cboFigure")->selectEntry(indexOf(*control<ComboBox>(window, "cboFigure"), figureId));
        FileDialog::setNextFileName(args[3]);
        frmMsgBox::setNextAnswer(msgbox::Ok);
        timer.start();
        control<QPushButton>(window, "cmdExport")->click();
        ms = elapsed(timer);
        const ShownMessage notice = frmMsgBox::takeShown().value(0);
        if (notice.caption != QLatin1String("Export Complete..."))
            return fail(QStringLiteral("export failed: %1").arg(notice.text));
    } else if (what == QLatin1String("figure")) {
        const qint32 figureId = args[2].toInt();
        if (!chooseCategory(window, categoryOf(window, figureId)))
            return fail(QStringLiteral("no figure %1").arg(figureId));
        const int index = indexOf(*control<ComboBox>(window, "cboFigure"), figureId);
        timer.start();
        control<ComboBox>(window, "cboFigure")->selectEntry(index);
        ms = elapsed(timer);
        std::fprintf(stderr, "%d parts listed\n", control<ListBox>(window, "lstFigureParts")->ListCount());
    } else if (what == QLatin1String("category")) {
        const qint32 categoryId = args[2].toInt();
        const int index = indexOf(*control<ComboBox>(window, "cboCategory"), categoryId);
        if (index < 0)
            return fail(QStringLiteral("no category %1").arg(categoryId));
        control<ComboBox>(window, "cboCategory")->selectEntry(index == 0 ? 1 : 0);
        timer.start();
        control<ComboBox>(window, "cboCategory")->selectEntry(index);
        ms = elapsed(timer);
        std::fprintf(stderr, "%d figures listed\n", control<ComboBox>(window, "cboFigure")->ListCount());
    } else {
        return fail(QStringLiteral("unknown measurement %1").arg(args.join(QLatin1Char(' '))));
    }
    window->close();
    std::printf("%.2f\n", ms);
    return 0;
}
