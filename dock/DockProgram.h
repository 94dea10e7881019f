#pragma once

#include <string>
#include <vector>

// The Dock program.
//   Dock                                          the Dock itself
//   Dock --render 3d|2d OUT.png [--resources DIR] a screenshot of it, headless
// The Dock reads, once at start, the images of the Dock resources folder and
// the Dock preferences ("no-glass" for the style, "tilesize" for the icon
// size), writes its manifest and shows itself, stack open, until it is
// ended. The render draws the same Dock from DIR (default: the Dock resources
// folder) and needs no display. Call from main() only: it makes the Qt
// application. Exit status: 0 done, 1 failed, 2 bad arguments.
class DockProgram {
public:
    static int main(int argc, char** argv);

    // The icon size of the Dock preferences' "tilesize", or 64 when absent or not a number.
    static int tileSizeFromPreferences();

private:
    static int render(int argc, char** argv, const std::vector<std::string>& arguments);
    static int show(int argc, char** argv);
};
