#pragma once

#include <optional>
#include <string>

#include "model/ThemeArchive.h"
#include "platform/Descriptor.h"

// One theme archive imported into a folder: unpacked (ThemeArchive::extract,
// which checks it) into a hidden folder of its own there
// ("<folder>/.velvanto-import-XXXXXX", held locked while this object lives,
// so a sweep of another run leaves it), and the theme given its name in
// folder only when whole, never over an entry of that name. The theme
// collection and velvanto-theme import both import through it; the
// collection may put the theme in place of an entry itself (ThemeCollection).
//
// Owns the hidden folder: dropping the object, or discard(), removes it with
// what is left in it (a refused or cancelled archive, or an entry a
// replacement put there), links inside removed as links. A kill leaves the
// folder for removeLeftovers. Threads: unpack may run on a worker while the
// owner waits for it; every other call is for one thread at a time.
class ArchiveImport {
public:
    // The hidden folders archives are unpacked in.
    static constexpr const char* kPrefix = ".velvanto-import-";

    // Makes the hidden folder in folder; valid() tells whether it could, errno why not.
    explicit ArchiveImport(std::string folder);
    ~ArchiveImport();
    ArchiveImport(const ArchiveImport&) = delete;
    ArchiveImport& operator=(const ArchiveImport&) = delete;

    bool valid() const { return hidden_.valid(); }
    // The hidden folder, opened, and its name in folder.
    int hiddenFd() const { return hidden_.get(); }
    const std::string& hiddenName() const { return hiddenName_; }

    // Unpacks the archive at archivePath into the hidden folder: the theme's
    // folder name there, or nothing with why (ThemeArchive::kCancelled once
    // cancelled says so).
    std::optional<std::string> unpack(const std::string& archivePath,
                                      const ThemeCheck::Decoder& decoder, std::string* why,
                                      const ThemeArchive::Cancelled& cancelled = {}) const;
    // Gives the unpacked theme name its name in folder when nothing there has
    // it; false, errno telling why (EEXIST: taken), when it could not.
    bool place(const std::string& name) const;
    // Removes the hidden folder now (see above); idempotent.
    void discard();

    // Removes the hidden folders a killed import left in folder.
    static void removeLeftovers(const std::string& folder);

private:
    const std::string folder_;
    Descriptor into_;
    std::string hiddenName_;
    Descriptor hidden_;
};
