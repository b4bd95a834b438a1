// Renders the program's windows to PNG files, so that anyone can look at them without a display.
// Usage: screenshots <directory holding data.mdb> <output directory>
// Run with QT_QPA_PLATFORM=offscreen; with QT_SCALE_FACTOR=2 the files are named "@2x".
#include "app/AccessStart.h"
#include "app/StartPlacement.h"
#include "app/frmLumaret.h"
#include "app/modLumaretStart.h"
#include "catalogue/CatalogueLocation.h"
#include "dialogs/EntryList.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmMove.h"
#include "dialogs/frmMsgBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTextStream>
#include <functional>
#include <vector>

namespace {
// One window to look at: its file name and how to bring it up as the user would see it.
struct Shot {
    QString name;
    std::function<QWidget*()> open;
};

QWidget* messageBox(const QString& text, msgbox::Style style, const QString& caption) {
    auto* box = new frmMsgBox;
    box->prepare(text, style, caption);
    return box;
}

// Every window the program has. The main window stays open throughout, so windows that work on it can be added.
std::vector<Shot> shots(frmLumaret* main) {
    const QString cr = QStringLiteral("\r");
    const QString crlf = QStringLiteral("\r\n");
    return {
        {"main-window", [=] { return static_cast<QWidget*>(main); }},
        {"message-style-0",
         [=] {
             return messageBox("Figure 'Horse (imported)' has been imported into the 'Animals' catgeory." + crlf +
                                   "Note: there is a figure with this name already in the database. Please rename "
                                   "this figure as soon as possible.",
                               msgbox::OkOnly, "Import Complete...");
         }},
        {"message-style-0-long", [] { return messageBox(frmLumaret::emptyCategoryNotice, msgbox::OkOnly, "Warning"); }},
        {"message-style-20",
         [=] {
             return messageBox("Are you sure you want to PERMANENTLY remove " + cr + "'Horse' from your database?",
                               msgbox::YesNo | msgbox::Stop, "Warning");
         }},
        {"message-style-3",
         [=] {
             return messageBox("The figure 'Horse' already exists in 'Animals'." + crlf +
                                   "Replace it with the one from the file?",
                               msgbox::YesNoCancel, "Import");
         }},
        {"message-access-question",
         [] {
             const QString path = "/home/someone/Documents/Lumaret catalogues/the old office machine/data.mdb";
             return messageBox(accessStart::question(path), msgbox::YesNo | msgbox::Information, "LumaretTool");
         }},
        {"message-access-kept-name-taken",
         [] {
             return messageBox(accessStart::keptNameTakenNotice("/srv/lumaret/data.mdb"), msgbox::OkOnly | msgbox::Stop,
                               "LumaretTool");
         }},
        {"input-rename-category",
         [] {
             auto* box = new frmInputBox;
             box->prepare("Enter a new name for this category.", msgbox::Information, "Please enter a new name",
                          "Animals");
             return box;
         }},
        {"move-figure",
         [=] {
             const auto* figure = main->findChild<ComboBox*>(QStringLiteral("cboFigure"));
             return new frmMove(main, main->db(),
                                {figure->Text(), nullptr,
                                 [=](ComboBox* c) {
                                     fillCategories(main->db(), *c);
                                     c->selectEntry(0);
                                 },
                                 nullptr});
         }},
        {"message-create-catalogue",
         [] {
             return messageBox(modLumaretStart::createQuestion(location::userCatalogue()),
                               msgbox::YesNo | msgbox::Information, "LumaretTool");
         }},
    };
}

// The client area as the program draws it, under a plain title bar with the icon and caption, since the
// offscreen platform draws no window frame.
QImage framed(QWidget* window) {
    const QPixmap client = window->grab();
    const qreal ratio = client.devicePixelRatio();
    const int bar = 22;
    const QSize size = window->size() + QSize(2, bar + 1);
    QImage image(size * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(90, 90, 100));
    QPainter painter(&image);
    painter.drawPixmap(1, bar, client);
    window->windowIcon().paint(&painter, QRect(4, 3, 16, 16));
    painter.setPen(Qt::white);
    painter.drawText(QRect(26, 0, size.width() - 30, bar), Qt::AlignVCenter | Qt::AlignLeft, window->windowTitle());
    return image;
}
} // namespace

int main(int argc, char* argv[]) {
    location::identifyProgram();
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: screenshots <directory holding data.mdb> <output directory>\n";
        return 2;
    }
    const auto placement = modLumaretStart::besideProgram(QString::fromLocal8Bit(argv[1]));
    // Without a catalogue the program would wait for the user to read why; nobody is there to read it.
    if (!QFile::exists(placement.catalogue)) {
        err << "screenshots: no catalogue at " << placement.catalogue << "\n";
        return 1;
    }
    frmLumaret* main = modLumaretStart::Main(placement);
    if (!main)
        return 1;
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QString suffix = app.devicePixelRatio() > 1.5 ? QStringLiteral("@2x") : QString();
    for (const Shot& shot : shots(main)) {
        QWidget* window = shot.open();
        window->show();
        QApplication::processEvents();
        const QString file = out.filePath(shot.name + suffix + ".png");
        if (!framed(window).save(file)) {
            err << "screenshots: cannot write " << file << "\n";
            return 1;
        }
        QTextStream(stdout) << file << "\n";
        if (window != main)
            delete window;
    }
    main->close();
    return 0;
}
