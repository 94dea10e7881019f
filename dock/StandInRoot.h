#pragma once

#include <filesystem>
#include <string>

class MiscKit;

// A stand-in system root for hosts without a Mac Dock: a plain folder tree
// that holds the Dock resources folder. Preparing fills that folder once from
// a theme and writes Dock preferences when there are none; whatever exists is
// left as it is, so preparing again is harmless and an applied theme stays.
// Any thread may call.
class StandInRoot {
public:
    // Makes root's Dock resources folder when it doesn't exist: every image
    // of theme under its key's Dock file name (catalogue's), assembled in a
    // temporary folder beside it and renamed into place, so the folder is
    // never half filled. Then writes the Dock preferences (3D, icons of 64
    // pixels) when that file doesn't exist. False, with a log line, when the
    // theme can't be read or a file can't be written.
    static bool prepare(const std::filesystem::path& root, const std::string& theme,
                        const MiscKit& catalogue);

private:
    static bool fillResources(const std::filesystem::path& folder, const std::string& theme,
                              const MiscKit& catalogue);
    static bool writePreferences();
};
