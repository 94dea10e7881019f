#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Descriptor.h"

// A folder that may come from a stranger (a theme bundle), opened once by its
// path. Every entry below it is named by a relative path of plain names
// ("Info.plist", "images/x.png") and reached from the opened folder without
// following a link at any level, so no link inside can lead a read, a write or
// a removal elsewhere. Only regular files are opened (looked at before and
// after opening, never blocking on a FIFO or a device) and only regular files
// are removed, one at a time, never a folder.
//
// Writes go to a temporary file, named with kTemporaryPrefix, in the folder of
// the target and are renamed into place; a failed write leaves nothing behind.
// Temporaries left by a killed process are swept by removeLeftovers().
//
// Holds the folder's descriptor until the last owner drops it. Any thread may
// call; the object is immutable.
class BundleFolder {
public:
    static constexpr const char* kTemporaryPrefix = ".velvanto-";

    enum class Entry { None, Regular, Folder, Link, Other };

    // Nothing when path is not a folder that can be opened. Links in path
    // itself are followed: the path is the caller's choice.
    static std::shared_ptr<const BundleFolder> open(const std::string& path);

    int fd() const { return folder_.get(); }
    const std::string& path() const { return path_; }
    // "<path>/<relative>", for log lines and display only.
    std::string pathOf(const std::string& relative) const;

    // A relative path of plain names: not empty, not absolute, no empty, "."
    // or ".." component, no NUL.
    static bool isConfined(const std::string& relative);

    // What is at relative, links not followed (a link is Link, not its target).
    // None when a folder on the way is missing, a link or not a folder.
    Entry entryAt(const std::string& relative) const;
    // The size of the regular file at relative; nothing for anything else.
    std::optional<std::size_t> fileSize(const std::string& relative) const;

    // A descriptor of the regular file at relative, of at most maxBytes; an
    // invalid one otherwise.
    Descriptor openRegularFile(const std::string& relative, std::size_t maxBytes) const;
    std::optional<std::string> readFile(const std::string& relative, std::size_t maxBytes) const;

    // Writes bytes to relative (a temporary renamed over it). With sync the
    // data reaches the disk before the rename. A regular file there keeps its
    // permission bits. A folder at relative is never replaced.
    bool writeFile(const std::string& relative, const std::string& bytes, bool sync) const;
    // Writes each (relative, bytes) pair whole, all or none: every temporary
    // is written (and with sync reaches the disk) before the first rename;
    // each file then takes its name in the order given, the one it replaces
    // kept aside under a temporary name; should a rename fail, the files
    // already renamed get their old contents back (or go, where there was
    // none) and false is returned with errno of the failure. A folder at any
    // of the names fails the whole write before anything is renamed. A kill
    // between two renames leaves the first files new and the rest old, and
    // temporaries that removeLeftovers() sweeps.
    bool writeFiles(const std::vector<std::pair<std::string, std::string>>& files, bool sync) const;
    // Copies the rest of sourceFd to relative, at most maxBytes (else false,
    // errno EFBIG). With replace false the copy fails when anything has the
    // name already, as the platform's copy does (errno EEXIST); a folder on
    // the way that is missing or a link fails with the walk's errno (ENOENT,
    // ENOTDIR, ELOOP). Nothing is left behind.
    bool copyFrom(int sourceFd, const std::string& relative, std::size_t maxBytes,
                  bool replace) const;

    // The bundle's advisory lock, an exclusive flock of the folder itself,
    // which every writer of the project (the editor, the command line, the
    // collection) holds around a read-modify-write of the bundle's files and
    // a sweep of its temporaries. Held while the returned descriptor is open;
    // each call opens the folder anew, so two holders in one process exclude
    // each other too. Waits at most kLockWaitMilliseconds for another holder;
    // an invalid descriptor, errno EWOULDBLOCK, when it is held still.
    static constexpr int kLockWaitMilliseconds = 5000;
    Descriptor lock() const;
    // What a writer tells when lock() gave up waiting.
    static constexpr const char* kLockHeldElsewhere =
        "another program is changing the theme; try again in a moment";

    // Removes the entry at relative only when it is a regular file.
    bool removeRegularFile(const std::string& relative) const;
    // Removes regular files of the folder at relative ("" for this folder)
    // whose names say a writer of ours left them: those beginning with
    // kTemporaryPrefix, and for each of legacyNames the ".<name>.XXXXXX" kind
    // that earlier versions wrote.
    void removeLeftovers(const std::string& relative,
                         const std::vector<std::string>& legacyNames = {}) const;

private:
    BundleFolder(Descriptor folder, std::string path);

    // Opens the folder holding the last component of relative (walking
    // without following links) and gives that last component.
    Descriptor parentOf(const std::string& relative, std::string& leaf) const;
    Descriptor openSubfolder(const std::string& relative) const;

    Descriptor folder_;
    std::string path_;
};
