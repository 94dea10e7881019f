#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

// The baseline of the editor's start-up: a bare Qt program that shows one
// main window with a menu bar and a label, so the toolkit loads its fonts as
// the editor must, and stays until it is stopped.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.menuBar()
        ->addMenu(QStringLiteral("File"))
        ->addAction(QStringLiteral("Quit"), &application, &QApplication::quit);
    window.setCentralWidget(new QLabel(QStringLiteral("A bare main window")));
    window.resize(900, 640);
    window.show();
    return QApplication::exec();
}
