#include "platform/FileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <random>

#include <sstream>
#include <system_error>
#include <vector>

#include "platform/Descriptor.h"
#include "platform/FolderTree.h"
#include "platform/Renaming.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTemporaryLetters = 6;  // ".<name>.XXXXXX", as mkstemp makes them

// Whether entry is named as a temporary written for the file leaf.
bool isTemporaryOf(const std::string& entry, const std::string& leaf) {
    return entry.size() == leaf.size() + 2 + kTemporaryLetters && entry[0] == '.' &&
           entry.compare(1, leaf.size(), leaf) == 0 && entry[leaf.size() + 1] == '.';
}

// Removes the temporaries for leaf in folder that no writer holds locked.
void sweepTemporaries(int folder, const std::string& leaf) {
    std::vector<FolderTree::Entry> entries;
    if (!FolderTree::list(folder, entries)) {
        return;
    }
    for (const FolderTree::Entry& entry : entries) {
        if (!isTemporaryOf(entry.name, leaf) || FolderTree::kindOf(folder, entry) != DT_REG) {
            continue;
        }
        const Descriptor file(FileManager::openListedFile(folder, entry.name, SIZE_MAX));
        struct stat held {};
        struct stat named {};
        // Still the file locked here: removing the name removes no one else's.
        if (file.valid() && ::flock(file.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstat(file.get(), &held) == 0 &&
            ::fstatat(folder, entry.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            ::unlinkat(folder, entry.name.c_str(), 0);
        }
    }
}

// Creates an empty temporary for leaf in folder, locked; its name to name.
Descriptor createTemporary(int folder, const std::string& leaf, std::string& name) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 64; ++attempt) {
        name = "." + leaf + ".";
        for (std::size_t i = 0; i < kTemporaryLetters; ++i) {
            name += kLetters[random() % (sizeof kLetters - 1)];
        }
        Descriptor file(::openat(folder, name.c_str(),
                                 O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!file.valid()) {
            if (errno == EEXIST) {
                continue;
            }
            return file;
        }
        struct stat info {};
        // A sweep may have taken it before the lock: then it has no name, and another is made.
        if (::flock(file.get(), LOCK_EX) == 0 && ::fstat(file.get(), &info) == 0 &&
            info.st_nlink > 0) {
            return file;
        }
    }
    errno = EEXIST;
    return Descriptor();
}

// Gives temporary (in folder) the name leaf, in place of what existing
// allows; with no existing, in place of anything.
bool takeName(int folder, const std::string& temporary, const std::string& leaf,
              std::optional<FileManager::Existing> existing) {
    if (!existing) {
        return ::renameat(folder, temporary.c_str(), folder, leaf.c_str()) == 0;
    }
    if (Renaming::withoutReplacing(folder, temporary, folder, leaf)) {
        return true;
    }
    if (errno != EEXIST || *existing == FileManager::Existing::Kept) {
        return false;
    }
    struct stat there {};
    if (!Renaming::exchange(folder, temporary, folder, leaf)) {
        if (errno != EOPNOTSUPP ||
            ::fstatat(folder, leaf.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0) {
            return false;
        }
        if (!S_ISREG(there.st_mode)) {
            errno = EEXIST;
            return false;
        }
        return ::renameat(folder, temporary.c_str(), folder, leaf.c_str()) == 0;
    }
    // The temporary's name now holds what was there: a regular file goes, anything else goes back.
    if (::fstatat(folder, temporary.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(there.st_mode)) {
        ::unlinkat(folder, temporary.c_str(), 0);
        return true;
    }
    Renaming::exchange(folder, temporary, folder, leaf);
    errno = EEXIST;
    return false;
}

// Writes path through a temporary: see writeThrough; existing as writeNew
// takes it, or nothing to rename over anything.
bool writeVia(const fs::path& path, mode_t mode, bool sync,
              std::optional<FileManager::Existing> existing,
              const std::function<bool(int fd)>& fill) {
    const fs::path parent = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    const std::string leaf = path.filename().string();
    const Descriptor folder(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (leaf.empty() || !folder.valid()) {
        errno = leaf.empty() ? EISDIR : errno;
        return false;
    }
    sweepTemporaries(folder.get(), leaf);
    std::string temporary;
    Descriptor file = createTemporary(folder.get(), leaf, temporary);
    if (!file.valid()) {
        return false;
    }
    // The lock stays with this copy until the temporary has its name.
    const Descriptor held(::fcntl(file.get(), F_DUPFD_CLOEXEC, 0));
    bool ok = held.valid() && ::fchmod(file.get(), mode) == 0 && fill(file.get());
    // Syncing guards against power loss too; the rename alone against a crash.
    ok = ok && (!sync || ::fsync(file.get()) == 0);
    ok = ::close(file.release()) == 0 && ok;
    if (ok && takeName(folder.get(), temporary, leaf, existing)) {
        return true;
    }
    const int error = errno;
    ::unlinkat(folder.get(), temporary.c_str(), 0);
    errno = error;
    return false;
}

}  // namespace

std::string FileManager::lastComponent(const std::string& path) {
    std::string name = path;
    while (name.size() > 1 && name.back() == '/') {
        name.pop_back();
    }
    const auto slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool FileManager::fileExists(const fs::path& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool FileManager::isDirectory(const fs::path& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileManager::copyPath(const fs::path& source, const fs::path& destination) {
    std::error_code error;
    if (source.empty() || destination.empty() ||
        fs::symlink_status(destination, error).type() != fs::file_type::not_found) {
        return false;
    }
    if (fs::symlink_status(source, error).type() == fs::file_type::not_found) {
        return false;
    }
    fs::copy(source, destination, fs::copy_options::recursive | fs::copy_options::copy_symlinks,
             error);
    return !error;
}

bool FileManager::removePath(const fs::path& path) {
    if (!path.has_filename()) {
        return false;
    }
    // Reached from its opened parent and removed without ever following a link below it.
    const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
    Descriptor folder(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.valid() && FolderTree::remove(folder.get(), path.filename().string());
}

int FileManager::openRegularFile(const fs::path& path, bool followLinks, int folderFd,
                                 std::size_t maxBytes) {
    struct stat seen {};
    if (path.empty() ||
        ::fstatat(folderFd, path.c_str(), &seen, followLinks ? 0 : AT_SYMLINK_NOFOLLOW) != 0) {
        errno = path.empty() ? ENOENT : errno;
        return -1;
    }
    if (!S_ISREG(seen.st_mode) || static_cast<std::uintmax_t>(seen.st_size) > maxBytes) {
        errno = S_ISDIR(seen.st_mode) ? EISDIR : !S_ISREG(seen.st_mode) ? EINVAL : EFBIG;
        return -1;
    }
    // Should the entry change in between, the flags keep the open from
    // blocking or following a link, and the check below refuses it.
    int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW);
    int fd = ::openat(folderFd, path.c_str(), flags);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    // The flag only kept the open from waiting: reads of a regular file never block.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_dev != seen.st_dev ||
        info.st_ino != seen.st_ino || static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        ::close(fd);
        errno = EINVAL;  // it changed between the look and the open
        return -1;
    }
    return fd;
}

int FileManager::openListedFile(int folderFd, const std::string& name, std::size_t maxBytes) {
    int fd =
        ::openat(folderFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        errno = errno == ELOOP ? EINVAL : errno;
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        const int error = !S_ISREG(info.st_mode) ? EINVAL : EFBIG;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

int FileManager::openFolderBelow(const std::string& root, const std::string& relative,
                                 bool create) {
    const Descriptor top(
        ::open(root.empty() ? "/" : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return top.valid() ? openFolderBelow(top.get(), relative, create) : -1;
}

int FileManager::openFolderBelow(int folder, const std::string& relative, bool create) {
    Descriptor at(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    std::istringstream parts(relative);
    for (std::string name; at.valid() && std::getline(parts, name, '/');) {
        if (create && ::mkdirat(at.get(), name.c_str(), 0755) != 0 && errno != EEXIST) {
            return -1;
        }
        at = Descriptor(
            ::openat(at.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    }
    return at.release();
}

bool FileManager::copyDescriptor(int from, int to, std::size_t maxBytes) {
    // The kernel copies without a buffer of ours, so it may take much at a time.
    constexpr std::size_t kInKernel = std::size_t(1) << 30;
    std::size_t copied = 0;
    bool inKernel = true;
    char chunk[65536];
    for (;;) {
        // One byte over the limit is enough to tell that the source is too large.
        std::size_t left = maxBytes - copied;
        std::size_t most = inKernel ? kInKernel : sizeof chunk;
        std::size_t want = left >= most ? most : left + 1;
        ssize_t got = -1;
        if (inKernel) {
            got = ::copy_file_range(from, nullptr, to, nullptr, want, 0);
            if (got < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                            errno == EOPNOTSUPP || errno == EBADF)) {
                inKernel = false;
                continue;
            }
        } else {
            got = ::read(from, chunk, want);
            if (got > 0 && !writeAll(to, chunk, static_cast<std::size_t>(got))) {
                return false;
            }
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        copied += static_cast<std::size_t>(got);
        if (copied > maxBytes) {
            errno = EFBIG;
            return false;
        }
    }
}

bool FileManager::writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::optional<std::string> FileManager::readFile(const fs::path& path, const ReadOptions& options) {
    int fd = openRegularFile(path, options.followLinks, options.folderFd, options.maxBytes);
    if (fd < 0) {
        return std::nullopt;
    }
    auto bytes = readDescriptor(fd, options.maxBytes);
    ::close(fd);
    return bytes;
}

std::optional<std::string> FileManager::readFile(const fs::path& path) {
    return readFile(path, ReadOptions{});
}

std::optional<std::string> FileManager::readDescriptor(int fd, std::size_t maxBytes) {
    std::string bytes;
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || static_cast<std::size_t>(got) > maxBytes - bytes.size()) {
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

bool FileManager::writeThrough(const fs::path& path, mode_t mode, bool sync,
                               const std::function<bool(int fd)>& fill) {
    return writeVia(path, mode, sync, std::nullopt, fill);
}

bool FileManager::writeNew(const fs::path& path, mode_t mode, bool sync, Existing existing,
                           const std::function<bool(int fd)>& fill) {
    return writeVia(path, mode, sync, existing, fill);
}

bool FileManager::writeFileAtomically(const fs::path& path, const std::string& bytes) {
    struct stat old {};
    mode_t mode = 0644;
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return writeThrough(path, mode, true,
                        [&bytes](int fd) { return writeAll(fd, bytes.data(), bytes.size()); });
}

bool FileManager::replaceFileFromDescriptor(int sourceFd, const fs::path& destination) {
    return writeThrough(destination, 0644, false,
                        [sourceFd](int fd) { return copyDescriptor(sourceFd, fd); });
}

bool FileManager::replaceFile(const fs::path& source, const fs::path& destination) {
    int fd = openRegularFile(source, true);
    if (fd < 0) {
        return false;
    }
    bool ok = replaceFileFromDescriptor(fd, destination);
    ::close(fd);
    return ok;
}
