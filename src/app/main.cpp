// Gustrom: mine ventilation network program.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Gustrom");
    QMainWindow window;
    window.setWindowTitle("Gustrom");
    window.resize(1024, 768);
    window.show();
    return QApplication::exec();
}
