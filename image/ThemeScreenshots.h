#pragma once

#include <string>

class DockTheme;

// Draws a theme's two Dock screenshots from its own images with the stand-in
// Dock's renderer ("Dock --render 3d|2d OUT --resources DIR", a child process
// drawing offscreen, so no display is needed) and stores them as the theme's
// "preview_3d.png" and "preview_2d.png". The theme's images are first copied,
// under their Dock file names, into a folder made for the run in a temporary
// folder the caller names (removed after), since a theme may name its images
// as it likes; only regular files of an image's size are copied, never
// through a link. Both screenshots are drawn there and then written into the
// bundle's folder together, all or none (BundleFolder::writeFiles, never
// through a link), so a failed run leaves the old ones.
//
// Stateless. render blocks until the Dock program has drawn both: the editor
// calls it on a worker thread (ScreenshotRenderer), the command line directly.
class ThemeScreenshots {
public:
    // The stand-in Dock program: "Dock" in the resource folder, else the build's.
    static std::string dockProgram();
    // Copies theme's images into folder under their Dock file names. A key
    // set in both categories gets its 3D image, as the apply tool installs it.
    // An image that is not a regular file of at most ThemeBundle::kMaxImageBytes
    // (a FIFO, a link, one behind a linked folder) is left out. Any thread may call.
    static void gatherImages(const DockTheme& theme, const std::string& folder);
    // Draws both screenshots of the bundle at bundle, its images gathered in
    // a new folder inside temporaryFolder. False, with why told (one line,
    // when why is given), when the theme does not open or a screenshot could
    // not be drawn or written. Any thread.
    static bool render(const std::string& bundle, const std::string& temporaryFolder,
                       std::string* why = nullptr);
};
