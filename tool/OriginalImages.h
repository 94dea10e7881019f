#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/OriginalDockManifest.h"
#include "platform/Descriptor.h"
#include "tool/InstallTransaction.h"
#include "tool/ThemeSource.h"

class DockFolder;

// The Dock's own images, kept once before a theme first changes them, so that
// the Dock can be put back exactly as it came. They live in a folder outside
// the Dock application, made with the tool's rights (root's on a real
// system): SystemPaths::kOriginalDockBelowRoot, with a manifest
// (OriginalDockManifest) of what each Dock file name held.
//
// An image is kept by a second name (a hard link) where it can be, else by a
// copy; either way its size and hash are in the manifest. An entry that is
// not a plain file (a link, a FIFO) can't be kept, so no theme goes over it.
// For a name no Dock image had, the manifest records the theme's file put
// there, so that a restore removes that file and nothing that took its place.
//
// The first image ever seen under a name is its original: later runs add only
// names no earlier run touched. The first keep builds the whole folder under a
// hidden name, flushes it to disk in one go and renames it into place; a later
// one adds its images first, flushes, and then renames a new manifest over
// the old one. So a kill at any moment
// leaves the originals whole or not kept at all; a hidden leftover is removed
// by the next run. Every folder on the way is reached without following a
// link, and only regular files are read. A manifest that can't be read whole,
// or a kept image that doesn't match it, is reported and never restored from.
//
// Callers hold the Dock folder's lock (DockFolder::lock) throughout, so runs
// never meet here. One thread.
class OriginalImages {
public:
    // The folder above the kept images, made (with the folders on the way to
    // it) when create is true. Nothing when it is missing, or a link is on the way.
    static std::optional<OriginalImages> open(const std::string& root, bool create);

    // Before anything in the Dock folder changes: keeps the Dock folder's
    // image of every name in installs that no earlier run kept, and records
    // the staged file of each name a theme created beside the file recorded
    // for it so far, so that the manifest names whatever a kill leaves there.
    // True when every one is kept (or there was nothing to keep); false, with
    // a log line and nothing of this run's left, when the apply must not go
    // on: the manifest is damaged, an entry to keep is not a plain file, or a
    // write fails.
    bool keep(const DockFolder& dock, const std::vector<InstallTransaction::Staged>& installs);
    // After the transaction keep() was for: the manifest then records for each
    // name a theme created only the file that is there now (the new one when
    // committed). A failed write leaves keep()'s, which names it too.
    void settle(bool committed);

    struct Restore {
        std::vector<InstallStep> images;   // each kept image, verified, open for installing
        std::vector<std::string> created;  // names that still hold the theme's file, to remove
        // False when a name that may hold a theme's image is left as it is.
        bool whole = true;
    };
    // What putting the Dock back takes; each name left as it is gets a log
    // line. Nothing, with a log line that says why, when no originals are
    // kept, the manifest is damaged, or a kept image does not match its size
    // and hash.
    std::optional<Restore> forRestore(const DockFolder& dock) const;

private:
    OriginalImages(Descriptor parent, std::string path);
    // Removes what a killed run left: a hidden store and hidden files in the store.
    void removeLeftovers() const;
    // The kept folder, opened without following a link; invalid when there is none.
    Descriptor openStore() const;
    // Copies the Dock image name into folder as target, or notes that there is
    // none and installing goes there. False, with why, when it can't be kept.
    static bool keepOne(const DockFolder& dock, const std::string& name,
                        const OriginalDockManifest::Fingerprint& installing, int folder,
                        const std::string& target, OriginalDockManifest::Entry& kept,
                        std::string& why);
    // Gives the Dock's image name (open as image) a second name, target, in
    // folder: the transaction only ever renames Dock images, never writes into
    // them, so the kept one needs no copy of its bytes. False when it can't.
    static bool linkedAs(const DockFolder& dock, const std::string& name, int image, int folder,
                         const std::string& target);
    static bool writeManifest(int folder, const std::string& target,
                              const std::vector<OriginalDockManifest::Entry>& entries);
    // Puts a manifest of entries in place of the store's: written under a
    // hidden name, flushed with everything in the store, then renamed.
    bool replaceManifest(int store, const std::vector<OriginalDockManifest::Entry>& entries) const;
    // Whether what the Dock holds at created's name goes: the theme's file is
    // there. Logs why when it is left; whole becomes false when it may be a
    // theme's file all the same.
    bool isThemesFile(const DockFolder& dock, const OriginalDockManifest::Entry& created,
                      bool& whole) const;
    std::string hiddenName(const char* role) const;

    Descriptor parent_;  // the folder that holds the store
    std::string path_;   // the store's path, for log lines
    // Of the last keep(): the manifest it found, the one it wrote (empty when
    // it wrote none), and the staged file of each name it recorded.
    std::vector<OriginalDockManifest::Entry> found_;
    std::vector<OriginalDockManifest::Entry> written_;
    std::map<std::string, OriginalDockManifest::Fingerprint> installing_;
};
