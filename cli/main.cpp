#include <QGuiApplication>

#include <iostream>
#include <string>
#include <vector>

#include "cli/ThemeCommandLine.h"
#include "platform/SystemPaths.h"
#include "translations/Translations.h"

int main(int argc, char** argv) {
    // Drawing a theme's micro preview needs Qt Gui; the command line needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The commands tell their own errors; Qt's notes on its set-up (a missing
    // XDG_RUNTIME_DIR, say) would only crowd them.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << message.toStdString() << '\n';
        }
    });
    QGuiApplication application(argc, argv);
    SystemPaths::setResourceFolder(SystemPaths::executableFolder() / ".." / "Resources");
    Translations::install(SystemPaths::resourceFolder());
    return ThemeCommandLine::run(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr,
                                 ThemeCommandLine::Terminal::ofStandardOutput());
}
