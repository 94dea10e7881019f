#include "app/VelvantoApplication.h"

#include <QApplication>
#include <QMainWindow>

#include "app/ApplyController.h"
#include "app/MainController.h"
#include "app/QtDialogs.h"
#include "platform/Beep.h"
#include "platform/SystemPaths.h"

int VelvantoApplication::main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velvanto"));
    QApplication::setApplicationName(QStringLiteral("Velvanto"));
    QApplication::setDesktopFileName(QStringLiteral("velvanto"));
    SystemPaths::setResourceFolder(SystemPaths::executableFolder() / ".." / "Resources");
    Beep::setHook([] { QApplication::beep(); });

    QtDialogs dialogs;
    MainController controller(dialogs);
    controller.edit_window->show();
    if (controller.help_window->isVisible()) {
        controller.help_window->raise();
        controller.help_window->activateWindow();
    }
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        controller.openFile(arguments.at(1));
    }
    int status = QApplication::exec();
    controller.applyController().waitForEnd();
    return status;
}
