#include "platform/FolderTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/Descriptor.h"
#include "platform/FileManager.h"

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;

// The names in an opened folder but "." and ".."; false when it can't be read.
bool namesIn(int folder, std::vector<std::string>& names) {
    DIR* entries = ::fdopendir(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    if (!entries) {
        return false;
    }
    ::rewinddir(entries);
    errno = 0;
    while (struct dirent* entry = ::readdir(entries)) {
        std::string_view name(entry->d_name);
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    const int saved = errno;
    ::closedir(entries);
    errno = saved;
    return saved == 0;
}

bool copyFolder(int from, int to, const std::string& relative, std::size_t maxFileBytes,
                std::vector<std::string>* skipped, int depth) {
    std::vector<std::string> names;
    if (depth > FolderTree::kMaxDepth) {
        errno = ELOOP;
        return false;
    }
    if (!namesIn(from, names)) {
        return false;
    }
    for (const std::string& name : names) {
        const std::string path = relative.empty() ? name : relative + "/" + name;
        struct stat info {};
        if (::fstatat(from, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return false;
        }
        if (S_ISDIR(info.st_mode)) {
            Descriptor source(::openat(from, name.c_str(), kFolderFlags));
            if (!source.valid() || ::mkdirat(to, name.c_str(), 0755) != 0) {
                return false;
            }
            Descriptor target(::openat(to, name.c_str(), kFolderFlags));
            if (!target.valid() ||
                !copyFolder(source.get(), target.get(), path, maxFileBytes, skipped, depth + 1)) {
                return false;
            }
        } else if (S_ISREG(info.st_mode)) {
            if (static_cast<std::size_t>(info.st_size) > maxFileBytes) {
                errno = EFBIG;
                return false;
            }
            Descriptor source(FileManager::openRegularFile(name, false, from, maxFileBytes));
            Descriptor target(::openat(to, name.c_str(),
                                       O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644));
            if (!source.valid() || !target.valid() ||
                !FileManager::copyDescriptor(source.get(), target.get(), maxFileBytes) ||
                ::close(target.release()) != 0) {
                return false;
            }
        } else if (skipped) {
            skipped->push_back(path);
        }
    }
    return true;
}

bool removeBelow(int folder, int depth) {
    std::vector<std::string> names;
    if (depth > FolderTree::kMaxDepth) {
        errno = ELOOP;
        return false;
    }
    if (!namesIn(folder, names)) {
        return false;
    }
    bool whole = true;
    int firstError = 0;
    for (const std::string& name : names) {
        struct stat info {};
        bool removed = ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
        if (removed && S_ISDIR(info.st_mode)) {
            Descriptor below(::openat(folder, name.c_str(), kFolderFlags));
            removed = below.valid() && removeBelow(below.get(), depth + 1) &&
                      ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0;
        } else if (removed) {
            // Should the entry become a folder meanwhile, unlinkat refuses it.
            removed = ::unlinkat(folder, name.c_str(), 0) == 0;
        }
        if (!removed && whole) {
            whole = false;
            firstError = errno;
        }
    }
    errno = firstError;
    return whole;
}

}  // namespace

bool FolderTree::copy(const std::string& source, int targetFolder, const std::string& name,
                      std::size_t maxFileBytes, std::vector<std::string>* skipped) {
    Descriptor from(::open(source.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!from.valid() || ::mkdirat(targetFolder, name.c_str(), 0755) != 0) {
        return false;
    }
    Descriptor to(::openat(targetFolder, name.c_str(), kFolderFlags));
    return to.valid() && copyFolder(from.get(), to.get(), "", maxFileBytes, skipped, 0);
}

bool FolderTree::remove(int folder, const std::string& name) {
    struct stat info {};
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        errno = EINVAL;
        return false;
    }
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        return ::unlinkat(folder, name.c_str(), 0) == 0;
    }
    Descriptor below(::openat(folder, name.c_str(), kFolderFlags));
    return below.valid() && removeBelow(below.get(), 0) &&
           ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0;
}
