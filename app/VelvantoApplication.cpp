#include "app/VelvantoApplication.h"

#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QStyle>

#include "app/Editor.h"
#include "app/EditorStyle.h"
#include "app/MainController.h"
#include "app/QtDialogs.h"
#include "app/SingleInstance.h"
#include "platform/Beep.h"
#include "platform/SystemPaths.h"
#include "translations/Translations.h"

void VelvantoApplication::prepare(const std::filesystem::path& resourceFolder) {
    QApplication::setOrganizationName(QStringLiteral("Velvanto"));
    QApplication::setApplicationName(QStringLiteral("Velvanto"));
    QApplication::setDesktopFileName(QStringLiteral("velvanto"));
    SystemPaths::setResourceFolder(resourceFolder);
    Translations::install(resourceFolder);
    Beep::setHook([] { QApplication::beep(); });
    QApplication::setStyle(new EditorStyle(QApplication::style()->name()));
}

void VelvantoApplication::showWindows(MainController& controller) {
    controller.btn_showMainWindow();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        controller.whenPainted(
            [&controller, path = arguments.at(1)] { controller.openFile(path); });
    }
}

int VelvantoApplication::main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Velvanto %s\n", VELVANTO_VERSION);
        return 0;
    }
    QApplication application(argc, argv);
    prepare(SystemPaths::executableFolder() / ".." / "Resources");
    // A second start hands its theme to the editor that runs already.
    SingleInstance instance(SingleInstance::defaultSocketPath());
    const QStringList arguments = QApplication::arguments();
    switch (instance.start(arguments.size() > 1 ? arguments.at(1) : QString())) {
        case SingleInstance::Role::HandedOver:
            return 0;
        case SingleInstance::Role::NoAnswer:
            std::fprintf(stderr, "%s\n",
                         qPrintable(tr("Velvanto runs already but does not answer; try again "
                                       "later.")));
            return 1;
        case SingleInstance::Role::Running:
            break;
    }
    QtDialogs dialogs;
    Editor editor(dialogs);
    MainController& controller = editor.main();
    QObject::connect(&instance, &SingleInstance::activationRequested, &controller,
                     &MainController::openHandedOver);
    showWindows(controller);
    int status = QApplication::exec();
    editor.waitForWork();
    return status;
}
