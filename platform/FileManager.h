#pragma once

#include <fcntl.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// File operations with the semantics of the platform's file manager: a copy
// never overwrites (it fails when the destination exists), a delete removes a
// whole tree. Links are never followed when deleting or copying a tree: a link
// is copied as a link. Safe to call from any thread.
class FileManager {
public:
    struct ReadOptions {
        // Refuse a final path component that is a symbolic link.
        bool followLinks = true;
        // Refuse files larger than this; property lists and RTF documents are small.
        std::size_t maxBytes = 64u * 1024u * 1024u;
        // A relative path is looked up in this open folder.
        int folderFd = AT_FDCWD;
    };

    // The last component of path, trailing slashes left out ("a/b/" gives "b").
    static std::string lastComponent(const std::string& path);
    // True when anything exists at path, following links (a dangling link is nothing).
    static bool fileExists(const std::filesystem::path& path);
    static bool isDirectory(const std::filesystem::path& path);

    // Copies a file, a link or a whole folder. Fails, touching nothing, when
    // anything (even a dangling link) exists at destination or the source is missing.
    static bool copyPath(const std::filesystem::path& source,
                         const std::filesystem::path& destination);

    // Removes a file, a link (not its target) or a whole folder, as
    // FolderTree::remove does: links inside are removed as links and never
    // followed. False when nothing was there or it could not be removed
    // completely. Callers pass only what this program made.
    static bool removePath(const std::filesystem::path& path);

    // Opens a regular file for reading, relative to folderFd when path is
    // relative. The entry is looked at before it is opened, so a FIFO or a
    // device is never opened (no driver runs, nothing blocks), and the opened
    // file must be the one looked at. With followLinks false a final component
    // that is a link is refused. Returns a descriptor the caller closes (of a
    // regular file, so reads never wait), or -1 for anything but a readable
    // regular file of at most maxBytes, errno telling why: EISDIR for a
    // folder, EINVAL for a link (not followed), FIFO, device or socket, EFBIG
    // for a larger file.
    static int openRegularFile(const std::filesystem::path& path, bool followLinks,
                               int folderFd = AT_FDCWD, std::size_t maxBytes = SIZE_MAX);

    // Opens name of folderFd, which a listing of that folder says is a regular
    // file, without looking at it first (the listing did): O_NOFOLLOW and
    // O_NONBLOCK, so a link is never followed and an entry that became a FIFO
    // never blocks, then checked. Returns a descriptor the caller closes, or
    // -1 with errno EFBIG for a regular file of more than maxBytes, EINVAL for
    // anything but a regular file (a link too), else the open's errno.
    static int openListedFile(int folderFd, const std::string& name, std::size_t maxBytes);

    // Opens the folder relative ("a/b/c") below root (taken as given; "" is
    // "/"), each folder on the way without following a link; with create,
    // missing folders are made (0755). Returns a descriptor the caller closes,
    // or -1 when a folder is missing, not a folder, or a link.
    static int openFolderBelow(const std::string& root, const std::string& relative,
                               bool create = false);
    // The same below the open folder (which stays the caller's); errno tells
    // why when it fails (ENOTDIR or ELOOP: a file or a link on the way).
    static int openFolderBelow(int folder, const std::string& relative, bool create);

    // Copies from the current position of from to the end of to, in the
    // kernel where it can. False on any read or write error (a full disk, a
    // file-size limit), with errno telling why; EFBIG when from holds more
    // than maxBytes.
    static bool copyDescriptor(int from, int to, std::size_t maxBytes = SIZE_MAX);

    // Writes all of data to fd, going on after short writes and interruptions.
    static bool writeAll(int fd, const char* data, std::size_t size);

    // Reads a regular file whole. Never blocks on a FIFO or a device: anything
    // but a regular file gives nothing.
    static std::optional<std::string> readFile(const std::filesystem::path& path,
                                               const ReadOptions& options);
    static std::optional<std::string> readFile(const std::filesystem::path& path);
    // Reads from the descriptor's position to its end; nothing on a read
    // error or when there is more than maxBytes.
    static std::optional<std::string> readDescriptor(int fd, std::size_t maxBytes);

    // Makes a temporary file beside path with mode, has fill write it (fill
    // must not close the descriptor), flushes it to disk when sync, and
    // renames it over path; removes it when fill or any step fails. Readers
    // see either the old file or the whole new one. The temporary is named
    // ".<name of path>.XXXXXX", as earlier versions named theirs, and is held
    // locked (flock) from its making until it has its name or is gone; before
    // making it, such temporaries beside path that no writer holds locked (a
    // killed writer's) are removed, regular files only, never through a link.
    static bool writeThrough(const std::filesystem::path& path, mode_t mode, bool sync,
                             const std::function<bool(int fd)>& fill);
    // What writeNew's file may take the place of.
    enum class Existing { Kept, RegularFileReplaced };
    // As writeThrough, but the file takes path's name only when nothing has
    // it at that moment; else false with errno EEXIST and what is there
    // untouched. With RegularFileReplaced a regular file there is replaced
    // too, never a link, a folder or anything else (EEXIST): the new file
    // trades names with it in one step and, should what it got be no regular
    // file, trades back (where the file system can't trade, it looks first).
    static bool writeNew(const std::filesystem::path& path, mode_t mode, bool sync,
                         Existing existing, const std::function<bool(int fd)>& fill);
    // Writes bytes to a temporary file beside path and renames it over path,
    // so readers see either the old file or the whole new one. A file that was
    // there keeps its permission bits.
    static bool writeFileAtomically(const std::filesystem::path& path, const std::string& bytes);

    // Copies everything readable from the open descriptor to a temporary file
    // beside destination and renames it over destination (a link there is
    // replaced, not followed). The new file gets mode 0644. The descriptor's
    // position is not restored.
    static bool replaceFileFromDescriptor(int sourceFd, const std::filesystem::path& destination);
    // The same from the regular file at source (links followed). False, with
    // destination untouched, when source is not a readable regular file.
    static bool replaceFile(const std::filesystem::path& source,
                            const std::filesystem::path& destination);
};
