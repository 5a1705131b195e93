// An empty Qt main window, started the way the program starts: the yardstick
// for the program's start-up time in bench/startup.sh.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("empty-window"));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
