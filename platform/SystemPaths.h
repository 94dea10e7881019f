#pragma once

#include <filesystem>
#include <string>

// Where the system's things live. The system root is $VELVANTO_ROOT when set
// and not empty, else the root chosen at build time (on a Mac, "/").
// Paths are formed as text by plain concatenation, as the theme format does.
// Any thread may call; setResourceFolder belongs in start-up, before threads.
class SystemPaths {
public:
    // Where the Dock's resources folder lies below the system root.
    static constexpr const char* kDockResourcesBelowRoot =
        "System/Library/CoreServices/Dock.app/Contents/Resources";

    // Where the apply tool keeps the Dock's own images, below the system root.
    static constexpr const char* kOriginalDockBelowRoot =
        "Library/Application Support/Velvanto/Original Dock";
    // The name of the list of kept images in that folder.
    static constexpr const char* kOriginalDockManifest = "Manifest";

    static std::string systemRoot();
    // The Dock's resources folder under the system root.
    static std::string dockResourcesFolder();
    // The apply tool in the resource folder, and its exit status when it went through.
    static std::filesystem::path applyToolPath();
    static constexpr int kApplyToolSucceeded = 1;
    // The user's full name as the system keeps it, else the login name (else $USER).
    static std::string fullUserName();
    // The Dock's resources folder under root.
    static std::string dockResourcesFolder(std::string root);
    // The Dock's preferences file, "~/Library/Preferences/com.apple.dock.plist" expanded.
    static std::string dockPreferencesPath();
    // The program that ends the Dock: "/usr/bin/killall", unless
    // $VELVANTO_KILLALL names another (tests use a recorder). The environment
    // is the caller's own, so this grants nothing the caller couldn't do.
    static std::string killallPath();

    // A leading "~" (alone or before "/") becomes $HOME; other paths are returned as given.
    static std::string expandTilde(const std::string& path);

    // The folder holding the running executable.
    static std::filesystem::path executableFolder();
    // The process's resource folder: by default the executable's own folder (the
    // apply tool lies in the resources); the editor sets <exe>/../Resources.
    static std::filesystem::path resourceFolder();
    static void setResourceFolder(const std::filesystem::path& folder);
};
