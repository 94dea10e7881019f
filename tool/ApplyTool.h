#pragma once

#include <string>
#include <vector>

class MiscKit;

// Installs a theme bundle's images into the Dock resources folder, then ends
// the Dock so that it starts again with them. Runs with administrator rights
// on bundles anyone may have made, so the install is a transaction: the whole
// theme goes in, or the Dock folder stays as it was and the Dock is not
// restarted, whatever the bundle holds and however the tool is started.
//
// - Started by pkexec or sudo, it reads the bundle with the asking user's
//   rights (UserRights) and uses root's only to write the Dock folder.
// - The bundle is opened once and read within bounds (ThemeSource); a key the
//   catalogue has no Dock file name for is skipped.
// - The Dock folder is reached without links (DockFolder), locked, so runs
//   take turns, and written all or nothing (InstallTransaction).
// - A closed standard error or a file-size limit can't end it half-way, and
//   SIGINT, SIGTERM and SIGHUP wait until the Dock folder is consistent.
//
// - Before it first changes an image, it keeps the Dock's own one
//   (OriginalImages), and refuses a theme whose originals it can't keep;
//   OriginalDockManifest::kRestoreArgument puts the kept images back and
//   removes the files themes added where they are still there, all or
//   nothing, then restarts the Dock.
//
// Exit status: 1 when every image of the theme is in place (or it has none),
// or the originals are back, and the Dock was restarted; -1 otherwise, with
// the Dock folder unchanged, but for a restore that had to leave a name that
// may still hold a theme's file: it puts back the rest and restarts the Dock.
class ApplyTool {
public:
    explicit ApplyTool(const MiscKit& catalogue);

    // arguments are the command line without the program name. Main thread only.
    int run(const std::vector<std::string>& arguments) const;

private:
    const MiscKit& catalogue_;
};
