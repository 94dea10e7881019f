#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

#include "cli/ThemeCommandLine.h"
#include "platform/SystemPaths.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    SystemPaths::setResourceFolder(SystemPaths::executableFolder() / ".." / "Resources");
    return ThemeCommandLine::run(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr,
                                 ThemeCommandLine::Terminal::ofStandardOutput());
}
