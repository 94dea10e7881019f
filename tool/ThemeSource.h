#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/ThemeBundle.h"
#include "platform/Descriptor.h"

class MiscKit;

// One image to install: the theme's file, already open, and the Dock file
// name it goes to.
struct InstallStep {
    std::string sourcePath;    // for the log only; the file is never opened by path again
    std::string dockFileName;  // a plain file name
    Descriptor file;
};

// Reads a theme bundle for installing. The bundle folder is opened by its
// path once; Info.plist, the images folder and every image are opened
// relative to it, never through a link, and each image is looked at before it
// is opened and checked again once open. Everything is bounded: Info.plist
// and its table, and the size of each image. Runs with whatever rights the
// caller holds at the time (the asking user's, see UserRights).
class ThemeSource {
public:
    static constexpr std::size_t kMaxInfoBytes = ThemeBundle::kMaxInfoBytes;
    static constexpr std::size_t kMaxTableEntries = ThemeBundle::kMaxTableEntries;
    static constexpr std::size_t kMaxImageBytes = ThemeBundle::kMaxImageBytes;

    enum class Outcome {
        Ready,          // steps holds every image to install (perhaps none)
        NoBundle,       // nothing usable at the path: missing, or not a folder
        Defective,      // Info.plist missing, unreadable, too large, or its table malformed
        UnusableImage,  // an image named by a key to install is missing, not a plain regular file,
                        // or too large
    };
    struct Plan {
        Outcome outcome = Outcome::NoBundle;
        // In the table's order, 2D keys first. One step per Dock file name: a
        // later key for the same name replaces the earlier one's image.
        std::vector<InstallStep> steps;
    };

    // Keys the catalogue has no Dock file name for are skipped, with a log
    // line, before anything of theirs is opened.
    // followLink: whether a link in the bundle folder's own place is followed.
    static Plan open(const std::string& bundle, const MiscKit& catalogue, bool followLink = true);
};
