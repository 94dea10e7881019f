#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Whole folder trees that may hold a stranger's links, FIFOs and devices:
// copied as regular files and folders only, and removed without ever leaving
// the tree through a link. Every entry below the top is reached relative to its
// opened parent with O_NOFOLLOW, so no link inside leads a read, a write or a
// removal elsewhere, and no FIFO or device is ever opened.
//
// Stateless; any thread may call. Descriptors are closed before returning.
class FolderTree {
public:
    // How deep a tree may go before a copy or a removal gives up (ELOOP).
    static constexpr int kMaxDepth = 32;

    // Makes name in targetFolder (a descriptor; fails with EEXIST when
    // anything has that name) a copy of the folder at source. source is the
    // caller's choice: links in it are followed. Below it, regular files (of
    // at most maxFileBytes each, else EFBIG) and folders are copied; links,
    // FIFOs, devices and sockets are not, and their paths relative to source go
    // to skipped. False on any failure, with errno telling why; what was made
    // so far stays under name for the caller to remove.
    static bool copy(const std::string& source, int targetFolder, const std::string& name,
                     std::size_t maxFileBytes, std::vector<std::string>* skipped = nullptr);

    // Removes the entry name of folder: a link (not its target), a file, or a
    // folder with everything below it, links inside removed as links. False
    // when something could not be removed (errno tells why); ENOENT when
    // nothing had the name.
    static bool remove(int folder, const std::string& name);
};
