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

bool copyFolder(int from, int to, const std::string& relative, const FolderTree::Copying& how,
                int depth) {
    std::vector<FolderTree::Entry> entries;
    if (depth > FolderTree::kMaxDepth) {
        errno = ELOOP;
        return false;
    }
    if (!FolderTree::list(from, entries)) {
        return false;
    }
    for (const FolderTree::Entry& entry : entries) {
        const std::string path = relative.empty() ? entry.name : relative + "/" + entry.name;
        if (how.leaveOut && how.leaveOut(path)) {
            continue;
        }
        const unsigned char kind = FolderTree::kindOf(from, entry);
        if (kind == DT_UNKNOWN) {
            return false;
        }
        if (kind == DT_DIR) {
            Descriptor source(::openat(from, entry.name.c_str(), kFolderFlags));
            if (!source.valid() || ::mkdirat(to, entry.name.c_str(), 0755) != 0) {
                return false;
            }
            Descriptor target(::openat(to, entry.name.c_str(), kFolderFlags));
            if (!target.valid() || !copyFolder(source.get(), target.get(), path, how, depth + 1)) {
                return false;
            }
        } else if (kind == DT_REG) {
            if (!FolderTree::copyFile(from, entry.name, to, entry.name, how.maxFileBytes)) {
                return false;
            }
            if (how.files) {
                how.files->push_back(path);
            }
        } else if (how.skipped) {
            how.skipped->push_back(path);
        }
    }
    return true;
}

bool removeBelow(int folder, int depth) {
    std::vector<FolderTree::Entry> entries;
    if (depth > FolderTree::kMaxDepth) {
        errno = ELOOP;
        return false;
    }
    if (!FolderTree::list(folder, entries)) {
        return false;
    }
    bool whole = true;
    int firstError = 0;
    for (const FolderTree::Entry& entry : entries) {
        const unsigned char kind = FolderTree::kindOf(folder, entry);
        bool removed = kind != DT_UNKNOWN;
        if (removed && kind == DT_DIR) {
            Descriptor below(::openat(folder, entry.name.c_str(), kFolderFlags));
            removed = below.valid() && removeBelow(below.get(), depth + 1) &&
                      ::unlinkat(folder, entry.name.c_str(), AT_REMOVEDIR) == 0;
        } else if (removed) {
            // Should the entry become a folder meanwhile, unlinkat refuses it.
            removed = ::unlinkat(folder, entry.name.c_str(), 0) == 0;
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

bool FolderTree::list(int folder, std::vector<Entry>& entries) {
    DIR* listing = ::fdopendir(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    if (!listing) {
        return false;
    }
    ::rewinddir(listing);
    errno = 0;
    while (struct dirent* entry = ::readdir(listing)) {
        std::string_view name(entry->d_name);
        if (name != "." && name != "..") {
            entries.push_back({std::string(name), entry->d_type});
        }
    }
    const int saved = errno;
    ::closedir(listing);
    errno = saved;
    return saved == 0;
}

unsigned char FolderTree::kindOf(int folder, const Entry& entry) {
    if (entry.type != DT_UNKNOWN) {
        return entry.type;
    }
    struct stat info {};
    if (::fstatat(folder, entry.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return DT_UNKNOWN;
    }
    return S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_LNK;
}

std::vector<std::string> FolderTree::namesStartingWith(int folder, const std::string& prefix) {
    std::vector<Entry> entries;
    list(folder, entries);
    std::vector<std::string> names;
    for (Entry& entry : entries) {
        if (entry.name.starts_with(prefix)) {
            names.push_back(std::move(entry.name));
        }
    }
    return names;
}

bool FolderTree::copy(const std::string& source, int targetFolder, const std::string& name,
                      std::size_t maxFileBytes, std::vector<std::string>* skipped) {
    Copying how;
    how.maxFileBytes = maxFileBytes;
    how.skipped = skipped;
    return copy(source, targetFolder, name, how);
}

bool FolderTree::copy(const std::string& source, int targetFolder, const std::string& name,
                      const Copying& how) {
    Descriptor from(::open(source.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!from.valid() || ::mkdirat(targetFolder, name.c_str(), 0755) != 0) {
        return false;
    }
    Descriptor to(::openat(targetFolder, name.c_str(), kFolderFlags));
    return to.valid() && copyFolder(from.get(), to.get(), "", how, 0);
}

bool FolderTree::copyInto(const std::string& source, int targetFolder, const Copying& how) {
    Descriptor from(::open(source.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return from.valid() && copyFolder(from.get(), targetFolder, "", how, 0);
}

bool FolderTree::copyFile(int from, const std::string& name, int to, const std::string& target,
                          std::size_t maxFileBytes) {
    Descriptor source(FileManager::openListedFile(from, name, maxFileBytes));
    if (!source.valid()) {
        return false;
    }
    Descriptor copy(
        ::openat(to, target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644));
    if (!copy.valid()) {
        return false;
    }
    if (FileManager::copyDescriptor(source.get(), copy.get(), maxFileBytes) &&
        ::close(copy.release()) == 0) {
        return true;
    }
    const int saved = errno;
    ::unlinkat(to, target.c_str(), 0);
    errno = saved;
    return false;
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
