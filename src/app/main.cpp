#include "app/modLumaretStart.h"
#include "dialogs/WindowFont.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    startReadingFontConfiguration();
    QApplication app(argc, argv);
    if (!modLumaretStart::Main(modLumaretStart::besideProgram(QCoreApplication::applicationDirPath())))
        return 1;
    return app.exec();
}
