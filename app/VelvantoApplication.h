#pragma once

#include <QCoreApplication>

#include <filesystem>

class MainController;
class QApplication;

// The editor program: makes the Qt application, finds the resource folder
// beside the executable (<executable's folder>/../Resources), sounds the beep
// through Qt, makes the main window controller with the real dialogs, shows
// the main window (and the quick guide over it on the first start), opens the
// file handed over as the program's one positional argument (a file manager's
// "Open with"), and runs the event loop. Its one option, --version, prints
// the version and ends before any window system is reached (so it works
// without a display). When an editor of the user runs already, the argument
// goes to it (SingleInstance), which comes to the front, and the new start ends.
class VelvantoApplication {
    Q_DECLARE_TR_FUNCTIONS(VelvantoApplication)

public:
    // The whole program; call from main() only.
    static int main(int argc, char** argv);

    // The steps of main, for programs that measure them. prepare names the
    // application, sets the resource folder, the beep and the style, and
    // installs the translations of the user's language from the resource
    // folder's translations/ (Translations); showWindows shows
    // the main window and, once it is painted, opens the file the arguments name.
    static void prepare(const std::filesystem::path& resourceFolder);
    static void showWindows(MainController& controller);
};
