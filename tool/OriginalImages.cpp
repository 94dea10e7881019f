#include "tool/OriginalImages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "model/ThemeBundle.h"
#include "platform/FileManager.h"
#include "platform/FolderTree.h"
#include "platform/Log.h"
#include "platform/Renaming.h"
#include "platform/Sha256.h"
#include "platform/SystemPaths.h"
#include "tool/DockFolder.h"

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;
constexpr const char* kHiddenStorePrefix = ".Original Dock-";
constexpr const char* kHiddenFilePrefix = ".keep-";

std::string storeName() {
    const std::string below = SystemPaths::kOriginalDockBelowRoot;
    return below.substr(below.rfind('/') + 1);
}

std::string reason(int error) {
    return std::strerror(error);
}

// Copies from into to (when to is valid) while hashing, up to maxBytes.
bool copyHashing(int from, int to, Sha256& hash, std::uint64_t& size) {
    char buffer[64 * 1024];
    size = 0;
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        size += static_cast<std::uint64_t>(got);
        if (size > ThemeSource::kMaxImageBytes) {
            errno = EFBIG;
            return false;
        }
        hash.add(buffer, static_cast<std::size_t>(got));
        if (to >= 0 && !FileManager::writeAll(to, buffer, static_cast<std::size_t>(got))) {
            return false;
        }
    }
}

}  // namespace

std::optional<OriginalImages> OriginalImages::open(const std::string& root, bool create) {
    const std::string below = SystemPaths::kOriginalDockBelowRoot;
    Descriptor folder(
        FileManager::openFolderBelow(root, below.substr(0, below.rfind('/')), create));
    if (!folder.valid()) {
        return std::nullopt;
    }
    std::string path = root;
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    OriginalImages images(std::move(folder), path + "/" + below);
    images.removeLeftovers();
    return images;
}

bool OriginalImages::keep(const DockFolder& dock,
                          const std::vector<std::string>& dockFileNames) const {
    auto fail = [&](const std::string& why) {
        Log::write("Cannot keep the Dock's original images in " + Log::escaped(path_) + ": " + why +
                   "; the Dock was left as it was");
        return false;
    };
    Descriptor store = openStore();
    std::vector<OriginalDockManifest::Entry> entries;
    if (store.valid()) {
        std::optional<std::vector<OriginalDockManifest::Entry>> read =
            OriginalDockManifest::read(store.get());
        if (!read) {
            // Damaged originals are never restored from; the theme still goes in.
            Log::write("The kept original images in " + Log::escaped(path_) +
                       " are unusable: their manifest is missing or damaged; none are added");
            return true;
        }
        entries = std::move(*read);
    } else if (errno != ENOENT) {
        return fail(errno == ELOOP || errno == ENOTDIR ? "it is not a plain folder"
                                                       : reason(errno));
    }
    std::set<std::string> known;
    for (const OriginalDockManifest::Entry& kept : entries) {
        known.insert(kept.name);
    }
    std::vector<std::string> fresh;
    for (const std::string& name : dockFileNames) {
        if (!known.contains(name) && OriginalDockManifest::isKeepableName(name)) {
            known.insert(name);
            fresh.push_back(name);
        }
    }
    if (fresh.empty()) {
        return true;
    }
    std::string why;
    if (!store.valid()) {
        // The first keep: the whole store under a hidden name, then renamed into place.
        const std::string hidden = hiddenName("");
        const std::string hiddenStore = kHiddenStorePrefix + hidden;
        if (::mkdirat(parent_.get(), hiddenStore.c_str(), 0755) != 0) {
            return fail(reason(errno));
        }
        Descriptor folder(::openat(parent_.get(), hiddenStore.c_str(), kFolderFlags));
        bool whole = folder.valid();
        for (const std::string& name : fresh) {
            OriginalDockManifest::Entry kept;
            whole = whole && keepOne(dock, name, folder.get(), name, kept, why);
            entries.push_back(kept);
        }
        // One flush of the whole copy, so it is on disk before the Dock changes.
        whole = whole && writeManifest(folder.get(), SystemPaths::kOriginalDockManifest, entries) &&
                ::syncfs(folder.get()) == 0 &&
                Renaming::withoutReplacing(parent_.get(), hiddenStore, parent_.get(), storeName());
        if (!whole) {
            const std::string problem = why.empty() ? reason(errno) : why;
            FolderTree::remove(parent_.get(), hiddenStore);
            return fail(problem);
        }
        return true;
    }
    // A later keep: each new image under a hidden name, then its own; the new
    // manifest last, so an image the manifest doesn't name is never used.
    for (const std::string& name : fresh) {
        const std::string hidden = kHiddenFilePrefix + hiddenName(name.c_str());
        OriginalDockManifest::Entry kept;
        if (!keepOne(dock, name, store.get(), hidden, kept, why)) {
            ::unlinkat(store.get(), hidden.c_str(), 0);
            return fail(why);
        }
        if (kept.kind == OriginalDockManifest::Kind::Image &&
            ::renameat(store.get(), hidden.c_str(), store.get(), name.c_str()) != 0) {
            const std::string problem = reason(errno);
            ::unlinkat(store.get(), hidden.c_str(), 0);
            return fail(problem);
        }
        entries.push_back(kept);
    }
    const std::string manifest = kHiddenFilePrefix + hiddenName("manifest");
    // One flush of the new images and manifest before the manifest names them.
    if (!writeManifest(store.get(), manifest, entries) || ::syncfs(store.get()) != 0 ||
        ::renameat(store.get(), manifest.c_str(), store.get(),
                   SystemPaths::kOriginalDockManifest) != 0) {
        const std::string problem = reason(errno);
        ::unlinkat(store.get(), manifest.c_str(), 0);
        return fail(problem);
    }
    return true;
}

std::optional<OriginalImages::Restore> OriginalImages::forRestore() const {
    Descriptor store = openStore();
    if (!store.valid()) {
        Log::write(errno == ENOENT ? "No original Dock images are kept yet"
                                   : "Cannot open the kept original images in " +
                                         Log::escaped(path_) + ": " + reason(errno));
        return std::nullopt;
    }
    std::optional<std::vector<OriginalDockManifest::Entry>> entries =
        OriginalDockManifest::read(store.get());
    if (!entries) {
        Log::write("The kept original images in " + Log::escaped(path_) +
                   " are unusable: their manifest is missing or damaged");
        return std::nullopt;
    }
    Restore restore;
    for (const OriginalDockManifest::Entry& kept : *entries) {
        if (kept.kind == OriginalDockManifest::Kind::Created) {
            restore.created.push_back(kept.name);
        }
        if (kept.kind != OriginalDockManifest::Kind::Image) {
            continue;
        }
        Descriptor file(FileManager::openRegularFile(kept.name, false, store.get(),
                                                     ThemeSource::kMaxImageBytes));
        Sha256 hash;
        std::uint64_t size = 0;
        if (!file.valid() || !copyHashing(file.get(), -1, hash, size) || size != kept.size ||
            hash.hex() != kept.sha256 || ::lseek(file.get(), 0, SEEK_SET) != 0) {
            Log::write("The kept original " + Log::escaped(path_ + "/" + kept.name) +
                       " does not match its manifest; nothing was restored");
            return std::nullopt;
        }
        restore.images.push_back(InstallStep{path_ + "/" + kept.name, kept.name, std::move(file)});
    }
    return restore;
}

OriginalImages::OriginalImages(Descriptor parent, std::string path)
    : parent_(std::move(parent)), path_(std::move(path)) {}

void OriginalImages::removeLeftovers() const {
    for (const std::string& name :
         FolderTree::namesStartingWith(parent_.get(), kHiddenStorePrefix)) {
        FolderTree::remove(parent_.get(), name);
    }
    Descriptor store = openStore();
    if (store.valid()) {
        for (const std::string& name :
             FolderTree::namesStartingWith(store.get(), kHiddenFilePrefix)) {
            ::unlinkat(store.get(), name.c_str(), 0);
        }
    }
}

Descriptor OriginalImages::openStore() const {
    return Descriptor(::openat(parent_.get(), storeName().c_str(), kFolderFlags));
}

bool OriginalImages::keepOne(const DockFolder& dock, const std::string& name, int folder,
                             const std::string& target, OriginalDockManifest::Entry& kept,
                             std::string& why) {
    kept.name = name;
    struct stat info {};
    if (::fstatat(dock.fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) {
            why = name + ": " + reason(errno);
            return false;
        }
        kept.kind = OriginalDockManifest::Kind::Created;
        return true;
    }
    if (!S_ISREG(info.st_mode)) {
        Log::write("The Dock's " + Log::escaped(name) + " is not a plain file; it is not kept");
        kept.kind = OriginalDockManifest::Kind::Skipped;
        return true;
    }
    Descriptor image(
        FileManager::openRegularFile(name, false, dock.fd(), ThemeSource::kMaxImageBytes));
    if (!image.valid()) {
        why = name + " is not a plain file of at most 16 MiB";
        return false;
    }
    Sha256 hash;
    if (linkedAs(dock, name, image.get(), folder, target)) {
        if (!copyHashing(image.get(), -1, hash, kept.size)) {
            why = name + ": " + reason(errno);
            return false;
        }
        kept.sha256 = hash.hex();
        return true;
    }
    Descriptor copy(::openat(folder, target.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!copy.valid() || !copyHashing(image.get(), copy.get(), hash, kept.size)) {
        why = name + ": " + reason(errno);
        return false;
    }
    kept.sha256 = hash.hex();
    return true;
}

bool OriginalImages::linkedAs(const DockFolder& dock, const std::string& name, int image,
                              int folder, const std::string& target) {
    // Only an image no other name shares: nothing else could change it in place.
    struct stat opened {};
    if (::fstat(image, &opened) != 0 || opened.st_nlink != 1 ||
        ::linkat(dock.fd(), name.c_str(), folder, target.c_str(), 0) != 0) {
        return false;  // another file system, say: then it is copied
    }
    struct stat linked {};
    if (::fstatat(folder, target.c_str(), &linked, AT_SYMLINK_NOFOLLOW) == 0 &&
        linked.st_dev == opened.st_dev && linked.st_ino == opened.st_ino) {
        return true;
    }
    ::unlinkat(folder, target.c_str(), 0);  // the name changed hands meanwhile
    return false;
}

bool OriginalImages::writeManifest(int folder, const std::string& target,
                                   const std::vector<OriginalDockManifest::Entry>& entries) {
    const std::string text = OriginalDockManifest::format(entries);
    Descriptor file(::openat(folder, target.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    return file.valid() && FileManager::writeAll(file.get(), text.data(), text.size());
}

std::string OriginalImages::hiddenName(const char* role) const {
    static unsigned serial = 0;
    return std::to_string(::getpid()) + "-" + std::to_string(serial++) + role;
}
