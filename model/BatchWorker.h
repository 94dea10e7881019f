#pragma once

#include <cstddef>
#include <string>

// The batch converter's work on one folder, without Qt and without a
// window: convert() makes one theme bundle, "<destination>/<folder's
// name>.docktheme", from the theme template, fills it with the folder's
// images (those named as the Dock names them), writes the folder's name into
// its Info.plist as the theme's name and the user's as its author (as New
// does), gives it an empty description, and labels the row with its outcome.
// A folder that holds no image named as the Dock names them (empty, or
// nothing usable) makes no bundle: its row is an "ERROR!" that says so.
// The editor's batch window runs it row after row off the UI thread; the
// command line in a loop. Any thread may call; the catalogue must have been
// made before.
//
// What reaches the disk: only a bundle inside destination; the source folder
// is only read. Each bundle is made by BundleBuilder::make (whole in a hidden
// locked folder, then named, never over an entry of that name): an "ERROR!"
// row or a killed run leaves nothing under a final name; removeLeftovers, at
// the start of a run, removes the hidden folders a killed run left (not
// through links).
class BatchWorker {
public:
    static constexpr const char* kOk = "OK!";
    static constexpr const char* kError = "ERROR!";
    static constexpr const char* kNested =
        "Source path contains subfolders. Contained file will be not used. Move to parent "
        "necessary";

    static constexpr const char* kNoImages =
        "The folder holds no image named as the Dock names its images (such as "
        "separator.png), so no theme was made.";

    struct Step {
        std::size_t row = 0;
        std::string status;
        // Why an "ERROR!" row failed, a sentence for the user; empty otherwise.
        std::string reason;
        // The bundle made ("<destination>/<folder's name>.docktheme"); empty for "ERROR!".
        std::string bundle;
        // The folder gave no image: kNoImages is the reason.
        bool tookNoImage = false;
    };

    // Converts one folder into a bundle in destination: the row's status and,
    // for "ERROR!", the reason.
    static Step convert(const std::string& folder, const std::string& destination);
    // Removes the hidden folders of rows that a killed run left in destination.
    static void removeLeftovers(const std::string& destination);
    // Whether destination is the source folder or lies inside it, both taken
    // with their links, "." and ".." resolved: a run there would list its own
    // bundles as rows and nest them. False when either path does not resolve.
    static bool insideSource(const std::string& source, const std::string& destination);
    // "OK!", or the nested-folder warning when folder holds a folder.
    static std::string _canCreateProblems(const std::string& folder);
};
