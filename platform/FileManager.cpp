#include "platform/FileManager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <sstream>
#include <system_error>
#include <vector>

#include "platform/Descriptor.h"
#include "platform/FolderTree.h"

namespace fs = std::filesystem;

namespace {

// Creates an empty temporary file in the folder of path. Returns its
// descriptor and fills tempPath, or -1.
int createTemporaryBeside(const fs::path& path, std::string& tempPath) {
    fs::path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd >= 0) {
        tempPath.assign(buffer.data());
    }
    return fd;
}

// Closes fd and renames the temporary file over path, or removes it on failure.
// Syncing guards against power loss too; the rename alone against a crash.
bool finishTemporary(int fd, const std::string& tempPath, const fs::path& path, bool ok,
                     bool sync) {
    ok = ok && (!sync || ::fsync(fd) == 0);
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(tempPath.c_str(), path.c_str()) == 0) {
        return true;
    }
    ::unlink(tempPath.c_str());
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
    std::string tempPath;
    int fd = createTemporaryBeside(path, tempPath);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fchmod(fd, mode) == 0 && fill(fd);
    return finishTemporary(fd, tempPath, path, ok, sync);
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
