#include "platform/BundleFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string_view>

#include "platform/FileManager.h"
#include "platform/FolderTree.h"
#include "platform/Renaming.h"

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;

// A new, empty temporary file for leaf in folder; its name goes to name.
Descriptor createTemporary(int folder, const std::string& leaf, std::string& name) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        name = std::string(BundleFolder::kTemporaryPrefix) + leaf.substr(0, 180) + "-" + suffix;
        int fd = ::openat(folder, name.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return Descriptor(fd);
        }
    }
    return Descriptor();
}

// Closes the temporary and gives it the name leaf, or removes it.
bool finish(int folder, Descriptor file, const std::string& temporary, const std::string& leaf,
            bool ok, bool replace) {
    ok = ::close(file.release()) == 0 && ok;
    if (ok) {
        ok = replace ? ::renameat(folder, temporary.c_str(), folder, leaf.c_str()) == 0
                     : Renaming::withoutReplacing(folder, temporary, folder, leaf);
    }
    int saved = errno;
    if (!ok) {
        ::unlinkat(folder, temporary.c_str(), 0);
    }
    errno = saved;
    return ok;
}

// Writes bytes to a new temporary for leaf in folder, with the permission
// bits of a regular file at leaf (else those the umask gives); its name goes
// to temporary. An invalid descriptor, and nothing left, when it failed.
Descriptor writeTemporary(int folder, const std::string& leaf, const std::string& bytes, bool sync,
                          std::string& temporary) {
    Descriptor file = createTemporary(folder, leaf, temporary);
    if (!file.valid()) {
        return file;
    }
    struct stat old {};
    mode_t mode = 0;
    if (::fstatat(folder, leaf.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 0777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(file.get(), mode) == 0 &&
        FileManager::writeAll(file.get(), bytes.data(), bytes.size()) &&
        (!sync || ::fsync(file.get()) == 0)) {
        return file;
    }
    int saved = errno;
    file = Descriptor();
    ::unlinkat(folder, temporary.c_str(), 0);
    errno = saved;
    return file;
}

// One file of writeFiles: where it goes, its temporary, and whether an old
// entry was kept aside (under the temporary's name) when it took its name.
struct Staged {
    Descriptor folder;
    std::string leaf;
    std::string temporary;
    bool placed = false;
    bool keptOld = false;
};

// Gives staged's temporary its name, keeping the old entry aside under the
// temporary's name: in one step where the file system can, else in two.
bool place(Staged& staged) {
    const int folder = staged.folder.get();
    if (Renaming::exchange(folder, staged.temporary, folder, staged.leaf)) {
        staged.keptOld = true;
    } else if (errno == ENOENT) {
        staged.keptOld = false;
        if (!Renaming::withoutReplacing(folder, staged.temporary, folder, staged.leaf)) {
            return false;
        }
    } else {
        std::string aside = staged.temporary + "~";
        if (errno != EOPNOTSUPP ||
            !Renaming::withoutReplacing(folder, staged.leaf, folder, aside)) {
            return false;
        }
        if (::renameat(folder, staged.temporary.c_str(), folder, staged.leaf.c_str()) != 0) {
            int saved = errno;
            ::renameat(folder, aside.c_str(), folder, staged.leaf.c_str());
            errno = saved;
            return false;
        }
        ::unlinkat(folder, staged.temporary.c_str(), 0);
        staged.temporary = aside;
        staged.keptOld = true;
    }
    staged.placed = true;
    return true;
}

// Puts back what staged replaced (or removes what it made) when it was placed.
void putBack(const Staged& staged) {
    const int folder = staged.folder.get();
    if (staged.placed && staged.keptOld) {
        ::renameat(folder, staged.temporary.c_str(), folder, staged.leaf.c_str());
    } else if (staged.placed) {
        ::unlinkat(folder, staged.leaf.c_str(), 0);
    }
}

bool isLegacyTemporary(std::string_view entry, const std::vector<std::string>& legacyNames) {
    for (const std::string& name : legacyNames) {
        if (entry.size() == name.size() + 8 && entry[0] == '.' &&
            entry.substr(1, name.size()) == name && entry[name.size() + 1] == '.') {
            return true;
        }
    }
    return false;
}

}  // namespace

std::shared_ptr<const BundleFolder> BundleFolder::open(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    Descriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        return nullptr;
    }
    return std::shared_ptr<const BundleFolder>(new BundleFolder(std::move(folder), path));
}

std::string BundleFolder::pathOf(const std::string& relative) const {
    return relative.empty() ? path_ : path_ + "/" + relative;
}

bool BundleFolder::isConfined(const std::string& relative) {
    if (relative.empty() || relative.front() == '/' || relative.find('\0') != std::string::npos) {
        return false;
    }
    std::string_view rest(relative);
    while (true) {
        std::size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        if (slash == std::string_view::npos) {
            return true;
        }
        rest.remove_prefix(slash + 1);
    }
}

BundleFolder::Entry BundleFolder::entryAt(const std::string& relative) const {
    std::string leaf;
    Descriptor parent = parentOf(relative, leaf);
    struct stat info {};
    if (!parent.valid() || ::fstatat(parent.get(), leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return Entry::None;
    }
    if (S_ISREG(info.st_mode)) {
        return Entry::Regular;
    }
    if (S_ISDIR(info.st_mode)) {
        return Entry::Folder;
    }
    return S_ISLNK(info.st_mode) ? Entry::Link : Entry::Other;
}

std::optional<std::size_t> BundleFolder::fileSize(const std::string& relative) const {
    std::string leaf;
    Descriptor parent = parentOf(relative, leaf);
    struct stat info {};
    if (!parent.valid() || ::fstatat(parent.get(), leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(info.st_size);
}

Descriptor BundleFolder::openRegularFile(const std::string& relative, std::size_t maxBytes) const {
    std::string leaf;
    Descriptor parent = parentOf(relative, leaf);
    if (!parent.valid()) {
        return Descriptor();
    }
    return Descriptor(FileManager::openRegularFile(leaf, false, parent.get(), maxBytes));
}

std::optional<std::string> BundleFolder::readFile(const std::string& relative,
                                                  std::size_t maxBytes) const {
    Descriptor file = openRegularFile(relative, maxBytes);
    return file.valid() ? FileManager::readDescriptor(file.get(), maxBytes) : std::nullopt;
}

bool BundleFolder::writeFile(const std::string& relative, const std::string& bytes,
                             bool sync) const {
    std::string leaf;
    Descriptor parent = parentOf(relative, leaf);
    std::string temporary;
    Descriptor file =
        parent.valid() ? writeTemporary(parent.get(), leaf, bytes, sync, temporary) : Descriptor();
    return file.valid() && finish(parent.get(), std::move(file), temporary, leaf, true, true);
}

bool BundleFolder::writeFiles(const std::vector<std::pair<std::string, std::string>>& files,
                              bool sync) const {
    std::vector<Staged> staged(files.size());
    // Every file is made whole beside its name first; the first failure removes them all.
    auto discard = [&staged] {
        int saved = errno;
        for (auto undone = staged.rbegin(); undone != staged.rend(); ++undone) {
            putBack(*undone);
            if (undone->folder.valid() && !undone->temporary.empty()) {
                ::unlinkat(undone->folder.get(), undone->temporary.c_str(), 0);
            }
        }
        errno = saved;
        return false;
    };
    for (std::size_t index = 0; index < files.size(); ++index) {
        Staged& file = staged[index];
        file.folder = parentOf(files[index].first, file.leaf);
        struct stat there {};
        if (file.folder.valid() &&
            ::fstatat(file.folder.get(), file.leaf.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISDIR(there.st_mode)) {
            errno = EISDIR;
            return discard();
        }
        Descriptor written = file.folder.valid()
                                 ? writeTemporary(file.folder.get(), file.leaf, files[index].second,
                                                  sync, file.temporary)
                                 : Descriptor();
        if (!written.valid() || ::close(written.release()) != 0) {
            return discard();
        }
    }
    for (Staged& file : staged) {
        if (!place(file)) {
            return discard();
        }
    }
    // Whole: what was kept aside goes.
    for (const Staged& file : staged) {
        if (file.keptOld) {
            ::unlinkat(file.folder.get(), file.temporary.c_str(), 0);
        }
    }
    return true;
}

bool BundleFolder::copyFrom(int sourceFd, const std::string& relative, std::size_t maxBytes,
                            bool replace) const {
    std::string leaf;
    Descriptor parent = parentOf(relative, leaf);
    if (!parent.valid()) {
        return false;  // errno of the walk: a missing folder is no file of that name
    }
    struct stat seen {};
    if (!replace && ::fstatat(parent.get(), leaf.c_str(), &seen, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    std::string temporary;
    Descriptor file = createTemporary(parent.get(), leaf, temporary);
    if (!file.valid()) {
        return false;
    }
    bool ok = ::fchmod(file.get(), 0644) == 0 &&
              FileManager::copyDescriptor(sourceFd, file.get(), maxBytes);
    return finish(parent.get(), std::move(file), temporary, leaf, ok, replace);
}

Descriptor BundleFolder::lock() const {
    Descriptor self(::openat(fd(), ".", kFolderFlags));
    constexpr int kStepMilliseconds = 10;
    for (int waited = 0; self.valid(); waited += kStepMilliseconds) {
        if (::flock(self.get(), LOCK_EX | LOCK_NB) == 0) {
            return self;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return Descriptor();
        }
        if (waited >= kLockWaitMilliseconds) {
            errno = EWOULDBLOCK;
            return Descriptor();
        }
        ::usleep(kStepMilliseconds * 1000);
    }
    return Descriptor();
}

bool BundleFolder::removeRegularFile(const std::string& relative) const {
    std::string leaf;
    Descriptor parent = parentOf(relative, leaf);
    struct stat info {};
    // Should the entry become a folder meanwhile, unlinkat without AT_REMOVEDIR refuses it.
    return parent.valid() &&
           ::fstatat(parent.get(), leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(info.st_mode) && ::unlinkat(parent.get(), leaf.c_str(), 0) == 0;
}

void BundleFolder::removeLeftovers(const std::string& relative,
                                   const std::vector<std::string>& legacyNames) const {
    Descriptor folder =
        relative.empty() ? Descriptor(::openat(fd(), ".", kFolderFlags)) : openSubfolder(relative);
    std::vector<FolderTree::Entry> entries;
    if (!folder.valid() || !FolderTree::list(folder.get(), entries)) {
        return;
    }
    for (const FolderTree::Entry& entry : entries) {
        struct stat info {};
        if ((entry.name.starts_with(kTemporaryPrefix) ||
             isLegacyTemporary(entry.name, legacyNames)) &&
            ::fstatat(folder.get(), entry.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            ::unlinkat(folder.get(), entry.name.c_str(), 0);
        }
    }
}

BundleFolder::BundleFolder(Descriptor folder, std::string path)
    : folder_(std::move(folder)), path_(std::move(path)) {}

Descriptor BundleFolder::parentOf(const std::string& relative, std::string& leaf) const {
    if (!isConfined(relative)) {
        errno = EINVAL;
        return Descriptor();
    }
    std::size_t slash = relative.rfind('/');
    leaf = slash == std::string::npos ? relative : relative.substr(slash + 1);
    if (slash == std::string::npos) {
        return Descriptor(::openat(fd(), ".", kFolderFlags));
    }
    return openSubfolder(relative.substr(0, slash));
}

Descriptor BundleFolder::openSubfolder(const std::string& relative) const {
    if (!isConfined(relative)) {
        return Descriptor();
    }
    Descriptor folder;
    int at = fd();
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t slash = relative.find('/', start);
        std::string part = relative.substr(start, slash - start);
        folder = Descriptor(::openat(at, part.c_str(), kFolderFlags));
        if (!folder.valid()) {
            return folder;
        }
        at = folder.get();
        if (slash == std::string::npos) {
            break;
        }
        start = slash + 1;
    }
    return folder;
}
