#pragma once

#include <unistd.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/OriginalDockManifest.h"
#include "tool/ThemeSource.h"

class DockFolder;

// Installs a theme's images into the Dock folder as one transaction: either
// every image is in place, or the folder holds what it held before.
//
// stage() copies every image to a temporary file in the folder; it changes no
// Dock image, and any failure there (no space, a file-size limit, no rights, a
// folder in the way) ends it. commit() then puts each copy in place of its
// Dock image in one step, trading names with the old image (or, where the
// file system can't, giving the old image a second name first), so the Dock
// never finds an image missing or half-written and every old image stays
// until all are in place. Should one fail (an immutable image, say), the
// images already replaced are put back. Names to remove are taken aside the
// same way in commit() and go for good only once every step is through.
// Dropping the transaction removes
// every temporary file and old image that is left. The caller holds the
// folder's lock and the signals for the transaction's whole life. One thread.
class InstallTransaction {
public:
    // removals: Dock file names to remove (a missing one is no failure).
    InstallTransaction(const DockFolder& folder, const std::vector<InstallStep>& steps,
                       const std::vector<std::string>& removals = {});
    ~InstallTransaction();
    InstallTransaction(const InstallTransaction&) = delete;
    InstallTransaction& operator=(const InstallTransaction&) = delete;

    // True when every image is staged. Otherwise logs why and changes nothing.
    bool stage();

    // A staged copy: the Dock file name it goes to and what it holds.
    struct Staged {
        std::string dockFileName;
        OriginalDockManifest::Fingerprint file;
    };
    // Every image's staged copy, in the steps' order. After stage() succeeded.
    std::vector<Staged> staged() const;

    // True when every image is in place; logs each image's lines as it goes.
    // On false the Dock images are as they were before. Call after stage().
    bool commit();

private:
    struct Entry {
        const InstallStep* step = nullptr;  // null for a removal
        std::string name;                   // the Dock file name
        std::string temporary;              // the staged copy, until it is in place
        bool replaces = false;              // a Dock image was there when staged
        std::optional<std::string> old;     // the name the replaced image now has
        bool installed = false;
        OriginalDockManifest::Fingerprint staged;  // what the staged copy holds
    };

    bool stageEntry(Entry& entry, std::string& problem);
    // Puts one staged copy in place, keeping the old image under entry.old.
    bool install(Entry& entry);
    void putBack();
    std::string newTemporaryName(const char* role);

    const DockFolder& folder_;
    std::vector<Entry> entries_;
    int pid_ = ::getpid();
    unsigned serial_ = 0;
    bool committed_ = false;
};
