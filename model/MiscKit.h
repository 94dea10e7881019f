#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/DockStyle.h"
#include "platform/PlistValue.h"

// Recommended size of a Dock image, in pixels.
struct DockSize {
    float width = 0;
    float height = 0;
    bool operator==(const DockSize&) const = default;
};

// The Dock's replaceable images and control of the Dock itself: the 30 file
// keys, the catalogue "DatabaseInfo.plist" (file key to "Natural",
// "Description", "Original" and "Size"), the Dock style and its restart.
//
// One instance per process, made by sharedFiles() on first use and kept until
// the process ends; the process owns it. The catalogue is read once when the
// instance is made. Make it on the main thread before any worker starts;
// afterwards lookups may come from any thread. setCurrentDock and killdock
// belong to the main thread.
class MiscKit {
public:
    // The number of file keys.
    static constexpr int kFileKeyCount = 30;

    // The instance, made and loaded from the resource folder on the first call.
    static MiscKit& sharedFiles();
    // Makes and stores the instance; nullptr when one exists already (the
    // first stays in place). The returned instance belongs to the process.
    static MiscKit* init();

    // A catalogue loaded from databaseFile, apart from the shared instance;
    // tools and tests that need a catalogue of their own use it.
    explicit MiscKit(const std::filesystem::path& databaseFile);

    MiscKit(const MiscKit&) = delete;
    MiscKit& operator=(const MiscKit&) = delete;

    // The 30 file keys in their fixed order: the 16 of the 3D Dock, then the 14 of the 2D Dock.
    const std::vector<std::string>& fileKeys_List() const { return fileKeys_List_; }
    // The category a theme keeps key in; the one table of which keys are 2D.
    // Nothing for a name that is no file key. Needs no instance; any thread.
    static std::optional<DockCategory> categoryForKey(const std::string& key);
    // Every catalogue record, in the file's own order, without their keys.
    std::vector<PlistValue> dockFilesList() const;
    // Whether folder holds, as a regular file, any image the catalogue names.
    bool holdsDockImages(const std::string& folder) const;

    std::optional<std::string> getNaturalNameForKey(const std::string& key) const;
    std::optional<std::string> getDescriptionForKey(const std::string& key) const;
    // The Dock file name: the key's image file in the Dock resources folder.
    std::optional<std::string> getOriginalFileNameForKey(const std::string& key) const;
    // "WxH" read as width and height; 0 by 0 for an unknown key or a size without "x".
    DockSize getSizeForFileKey(const std::string& key) const;

    // 2D when the Dock preferences hold "no-glass" true, otherwise 3D.
    static DockStyle currentDockType();
    // Writes "no-glass" (removed for 3D, true for 2D) into the Dock
    // preferences, keeping their other keys, and restarts the Dock. When the
    // preferences can't be read, nothing is written; the Dock restarts anyway.
    static void setCurrentDock(DockStyle style);
    // Starts "killall Dock" and returns at once.
    static void killdock();

    // A new UUID in upper-case text form, 36 characters.
    static std::string UUIDString();

    // Parses a "Size" text; exposed for the catalogue's own checks.
    static DockSize parseSize(const std::string& text);

private:
    std::optional<std::string> recordString(const std::string& key, const char* field) const;

    std::vector<std::string> fileKeys_List_;
    PlistValue sizes_List_;
};
