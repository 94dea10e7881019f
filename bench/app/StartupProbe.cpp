#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>

#include <cstdio>

#include "app/MainController.h"
#include "app/QtDialogs.h"
#include "app/VelvantoApplication.h"
#include "widgets/RVAnimationAdditions.h"

// The editor's start-up as the program makes it, ending as soon as the main
// window is shown. With a theme path as argument it then opens the theme and
// prints the milliseconds until the information view is shown; "--no-fades"
// after it switches the view without its two 0.2-second fades.
//   editor_startup_probe RESOURCES [THEME [--no-fades]]
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        return 2;
    }
    VelvantoApplication::prepare(argv[1]);
    QtDialogs dialogs;
    MainController controller(dialogs);
    controller.edit_window->show();
    QApplication::processEvents();
    if (!controller.edit_window->isVisible()) {
        return 1;
    }
    if (argc > 3 && QByteArray(argv[3]) == "--no-fades") {
        RVAnimationAdditions::setDefaultDuration(0);
    }
    if (argc > 2) {
        QElapsedTimer timer;
        timer.start();
        bool opened = controller.openFile(QString::fromLocal8Bit(argv[2]));
        QApplication::processEvents();
        bool shown = opened && controller.shownView() == controller.view_infoTheme &&
                     controller.view_infoTheme->isVisible();
        std::printf("open_ms %.2f\n", timer.nsecsElapsed() / 1e6);
        return shown ? 0 : 1;
    }
    return 0;
}
