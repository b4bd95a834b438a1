#include "app/modLumaretStart.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (!modLumaretStart::Main(modLumaretStart::besideProgram(QCoreApplication::applicationDirPath())))
        return 1;
    return app.exec();
}
