// The empty main window with one line of text: beside the empty window in
// bench/startup.sh it shows what the first text costs any program (loading
// the font configuration and the first font) before its own work.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("text-window"));
    window.setCentralWidget(new QLabel(QStringLiteral("Остреванка 2.1")));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
