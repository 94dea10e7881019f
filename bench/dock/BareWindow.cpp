#include <QApplication>
#include <QFile>
#include <QWidget>

// The baseline of the Dock's figures: a bare Qt window that, like the Dock,
// notes in a file that it is shown, then waits to be ended.
// bare_window MARKER
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(800, 100);
    window.show();
    QFile marker(argc > 1 ? argv[1] : "/dev/null");
    marker.open(QIODevice::WriteOnly);
    marker.write("shown\n");
    marker.close();
    return application.exec();
}
