// The anchor for start-up: a bare Qt window of the main window's size, shown as soon as the application exists.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(483, 314);
    window.show();
    return app.exec();
}
