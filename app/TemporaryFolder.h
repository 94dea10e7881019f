#pragma once

#include <QString>

// The editor's one folder for the temporary files it writes outside theme
// bundles (undo copies, the images gathered for the Dock screenshots):
// "tmp-<process id>" in "$XDG_CACHE_HOME/Velvanto" (else "~/.cache/Velvanto"),
// or, when that can't be made, in a folder of the user's own, "velvanto-<user
// id>" under $TMPDIR (else /tmp).
//
// Making one first sweeps the folders that processes no longer running left
// there (a killed editor), then makes this process's folder, readable by the
// user only. Dropping it removes the folder with everything in it; removals
// never follow a link, so a link inside takes only itself. The owner (the
// main window's controller) keeps it for the life of the editor and drops it
// last, after everything that holds a file in it. UI thread only.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // The folder; empty when none could be made.
    const QString& path() const { return path_; }

    // The folder that holds the folder of each process, made when missing;
    // empty when none can be made.
    static QString parentFolder();
    // Removes each "tmp-<process id>" of parent whose process runs no more.
    static void sweep(const QString& parent);

private:
    QString path_;
};
