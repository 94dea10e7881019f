#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Whole folder trees that may hold a stranger's links, FIFOs and devices:
// copied as regular files and folders only, and removed without ever leaving
// the tree through a link. Every entry below the top is reached relative to its
// opened parent with O_NOFOLLOW, so no link inside leads a read, a write or a
// removal elsewhere, and no FIFO or device is ever opened. A copy takes each
// entry's kind from the folder's listing and opens each file once, looked at
// only after it is open (FileManager::openListedFile).
//
// Stateless; any thread may call. Descriptors are closed before returning.
class FolderTree {
public:
    // How deep a tree may go before a copy or a removal gives up (ELOOP).
    static constexpr int kMaxDepth = 32;

    // An entry of a folder listing and its kind as the listing tells it (a
    // d_type; DT_UNKNOWN where the file system doesn't say).
    struct Entry {
        std::string name;
        unsigned char type;
    };
    // Appends the entries of the opened folder but "." and ".." to entries;
    // false (errno tells why) when it can't be read. The folder's descriptor
    // stays the caller's.
    static bool list(int folder, std::vector<Entry>& entries);
    // The kind of a listed entry of the opened folder: the listing's, else a
    // look that follows no link (DT_DIR, DT_REG, else DT_LNK); DT_UNKNOWN when
    // even that fails (errno tells why).
    static unsigned char kindOf(int folder, const Entry& entry);
    // The names in the opened folder that begin with prefix (none when it
    // can't be read).
    static std::vector<std::string> namesStartingWith(int folder, const std::string& prefix);

    // How a copy goes, and what it tells.
    struct Copying {
        // Each regular file of at most this, else the copy fails with EFBIG.
        std::size_t maxFileBytes = SIZE_MAX;
        // Paths relative to the source that the caller leaves out (not
        // looked at, not opened).
        std::function<bool(const std::string& relative)> leaveOut;
        // Gets the relative paths of links, FIFOs, devices and sockets, not copied.
        std::vector<std::string>* skipped = nullptr;
        // Gets the relative path of every regular file copied.
        std::vector<std::string>* files = nullptr;
    };

    // Makes name in targetFolder (a descriptor; fails with EEXIST when
    // anything has that name) a copy of the folder at source. source is the
    // caller's choice: links in it are followed. Below it, regular files (of
    // at most maxFileBytes each, else EFBIG) and folders are copied; links,
    // FIFOs, devices and sockets are not, and their paths relative to source go
    // to skipped. False on any failure, with errno telling why; what was made
    // so far stays under name for the caller to remove.
    static bool copy(const std::string& source, int targetFolder, const std::string& name,
                     std::size_t maxFileBytes, std::vector<std::string>* skipped = nullptr);
    static bool copy(const std::string& source, int targetFolder, const std::string& name,
                     const Copying& how);
    // The same into the folder targetFolder itself, which exists; an entry
    // of the source whose name is taken there fails the copy with EEXIST.
    static bool copyInto(const std::string& source, int targetFolder, const Copying& how);
    // Copies the regular file name of folder from, which a listing of from says
    // is one, to a new file target of folder to (0644 and the umask; EEXIST
    // when anything has that name). False with errno as openListedFile and the
    // copy tell; a copy that failed is removed.
    static bool copyFile(int from, const std::string& name, int to, const std::string& target,
                         std::size_t maxFileBytes);

    // Removes the entry name of folder: a link (not its target), a file, or a
    // folder with everything below it, links inside removed as links. False
    // when something could not be removed (errno tells why); ENOENT when
    // nothing had the name.
    static bool remove(int folder, const std::string& name);
};
