#include <QApplication>
#include <QMainWindow>

// The baseline of the editor's start-up: a bare Qt program that shows one
// empty main window and ends as soon as it is shown.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.resize(900, 640);
    window.show();
    QApplication::processEvents();
    return window.isVisible() ? 0 : 1;
}
