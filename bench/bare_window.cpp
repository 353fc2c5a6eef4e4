// The yardstick for the program's start: a bare Qt window of a given size, shown and painted.
// Usage: bare_window WIDTH HEIGHT

#include <QApplication>
#include <QWidget>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(argc > 2 ? std::atoi(argv[1]) : 640, argc > 2 ? std::atoi(argv[2]) : 480);
    window.show();
    return QApplication::exec();
}
