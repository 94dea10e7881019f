#pragma once

// The editor program: makes the Qt application, finds the resource folder
// beside the executable (<executable's folder>/../Resources), sounds the beep
// through Qt, makes the main window controller with the real dialogs, shows
// the main window (and the quick guide over it on the first start), opens the
// file handed over as the program's one positional argument (a file manager's
// "Open with"), and runs the event loop. The program takes no options.
// Call from main() only.
class VelvantoApplication {
public:
    static int main(int argc, char** argv);
};
