#include "tool/OriginalImages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "model/ThemeBundle.h"
#include "platform/FileManager.h"
#include "platform/FolderTree.h"
#include "platform/Log.h"
#include "platform/Renaming.h"
#include "platform/SystemPaths.h"
#include "tool/DockFolder.h"
#include "tool/FileFingerprint.h"

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

// The line for a refused apply: nothing in the Dock changed.
std::string notKeptBecause(const std::string& store, const std::string& why) {
    return "Cannot keep the Dock's original images in " + Log::escaped(store) + ": " + why +
           "; the Dock was left as it was";
}

bool contains(const std::vector<OriginalDockManifest::Fingerprint>& prints,
              const OriginalDockManifest::Fingerprint& print) {
    return std::find(prints.begin(), prints.end(), print) != prints.end();
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
                          const std::vector<InstallTransaction::Staged>& installs) {
    auto fail = [&](const std::string& why) {
        Log::write(notKeptBecause(path_, why));
        return false;
    };
    found_.clear();
    written_.clear();
    installing_.clear();
    Descriptor store = openStore();
    std::vector<OriginalDockManifest::Entry> entries;
    if (store.valid()) {
        std::optional<std::vector<OriginalDockManifest::Entry>> read =
            OriginalDockManifest::read(store.get());
        if (!read) {
            // Without a manifest nothing tells which images are the Dock's own.
            return fail("their manifest is missing or damaged");
        }
        entries = std::move(*read);
    } else if (errno != ENOENT) {
        return fail(errno == ELOOP || errno == ENOTDIR ? "it is not a plain folder"
                                                       : reason(errno));
    }
    found_ = entries;
    std::vector<std::string> fresh;
    bool recorded = false;  // a created name gets another theme's file
    for (const InstallTransaction::Staged& install : installs) {
        const std::string& name = install.dockFileName;
        if (!OriginalDockManifest::isKeepableName(name)) {
            return fail(Log::escaped(name) + " can't be named in their manifest");
        }
        if (!installing_.emplace(name, install.file).second) {
            continue;
        }
        auto known = std::find_if(entries.begin(), entries.end(),
                                  [&](const auto& kept) { return kept.name == name; });
        if (known == entries.end()) {
            fresh.push_back(name);
        } else if (known->kind == OriginalDockManifest::Kind::Created) {
            // A name with no record stays so until the file is in place: the
            // file there now may be an earlier theme's.
            if (!known->installed.empty() && !contains(known->installed, install.file)) {
                known->installed.push_back(install.file);
                recorded = true;
            }
        } else if (known->kind == OriginalDockManifest::Kind::Skipped) {
            // Its own entry was never kept: only a theme's plain file may go.
            struct stat info {};
            if (::fstatat(dock.fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                !S_ISREG(info.st_mode)) {
                return fail(Log::escaped(name) + " is not a plain file, so it can't be kept");
            }
        }
    }
    if (fresh.empty() && !recorded) {
        written_ = std::move(entries);  // settle() may still record a file
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
            whole =
                whole && keepOne(dock, name, installing_.at(name), folder.get(), name, kept, why);
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
        written_ = std::move(entries);
        return true;
    }
    // A later keep: each new image under a hidden name, then its own; the new
    // manifest last, so an image the manifest doesn't name is never used.
    for (const std::string& name : fresh) {
        const std::string hidden = kHiddenFilePrefix + hiddenName(name.c_str());
        OriginalDockManifest::Entry kept;
        if (!keepOne(dock, name, installing_.at(name), store.get(), hidden, kept, why)) {
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
    if (!replaceManifest(store.get(), entries)) {
        return fail(reason(errno));
    }
    written_ = std::move(entries);
    return true;
}

void OriginalImages::settle(bool committed) {
    std::vector<OriginalDockManifest::Entry> entries = written_;
    bool changed = false;
    for (OriginalDockManifest::Entry& entry : entries) {
        auto installed = installing_.find(entry.name);
        if (entry.kind != OriginalDockManifest::Kind::Created || installed == installing_.end()) {
            continue;
        }
        auto found = std::find_if(found_.begin(), found_.end(),
                                  [&](const auto& kept) { return kept.name == entry.name; });
        // Put back, the name holds what it held before, if anything.
        std::vector<OriginalDockManifest::Fingerprint> now =
            committed || found == found_.end()
                ? std::vector<OriginalDockManifest::Fingerprint>{installed->second}
                : found->installed;
        changed = changed || now != entry.installed;
        entry.installed = std::move(now);
    }
    Descriptor store = openStore();
    if (changed && store.valid()) {
        replaceManifest(store.get(), entries);
    }
}

std::optional<OriginalImages::Restore> OriginalImages::forRestore(const DockFolder& dock) const {
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
        if (kept.kind != OriginalDockManifest::Kind::Image) {
            if (isThemesFile(dock, kept, restore.whole)) {
                restore.created.push_back(kept.name);
            }
            continue;
        }
        Descriptor file(FileManager::openRegularFile(kept.name, false, store.get(),
                                                     ThemeSource::kMaxImageBytes));
        OriginalDockManifest::Fingerprint print;
        if (!file.valid() ||
            !FileFingerprint::take(file.get(), -1, ThemeSource::kMaxImageBytes, print) ||
            print != OriginalDockManifest::Fingerprint{kept.size, kept.sha256} ||
            ::lseek(file.get(), 0, SEEK_SET) != 0) {
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

bool OriginalImages::keepOne(const DockFolder& dock, const std::string& name,
                             const OriginalDockManifest::Fingerprint& installing, int folder,
                             const std::string& target, OriginalDockManifest::Entry& kept,
                             std::string& why) {
    kept.name = name;
    struct stat info {};
    if (::fstatat(dock.fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) {
            why = Log::escaped(name) + ": " + reason(errno);
            return false;
        }
        kept.kind = OriginalDockManifest::Kind::Created;
        kept.installed = {installing};
        return true;
    }
    if (!S_ISREG(info.st_mode)) {
        why = Log::escaped(name) + " is not a plain file, so it can't be kept";
        return false;
    }
    Descriptor image(
        FileManager::openRegularFile(name, false, dock.fd(), ThemeSource::kMaxImageBytes));
    if (!image.valid()) {
        why = Log::escaped(name) + " is not a plain file of at most 16 MiB";
        return false;
    }
    const bool linked = linkedAs(dock, name, image.get(), folder, target);
    Descriptor copy;
    if (!linked) {
        copy = Descriptor(::openat(folder, target.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    }
    OriginalDockManifest::Fingerprint print;
    if ((!linked && !copy.valid()) || !FileFingerprint::take(image.get(), linked ? -1 : copy.get(),
                                                             ThemeSource::kMaxImageBytes, print)) {
        why = Log::escaped(name) + ": " + reason(errno);
        return false;
    }
    kept.size = print.size;
    kept.sha256 = print.sha256;
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

bool OriginalImages::replaceManifest(
    int store, const std::vector<OriginalDockManifest::Entry>& entries) const {
    const std::string manifest = kHiddenFilePrefix + hiddenName("manifest");
    // One flush of the new images and manifest before the manifest names them.
    if (!writeManifest(store, manifest, entries) || ::syncfs(store) != 0 ||
        ::renameat(store, manifest.c_str(), store, SystemPaths::kOriginalDockManifest) != 0) {
        const int error = errno;
        ::unlinkat(store, manifest.c_str(), 0);
        errno = error;
        return false;
    }
    return true;
}

bool OriginalImages::isThemesFile(const DockFolder& dock,
                                  const OriginalDockManifest::Entry& created, bool& whole) const {
    auto left = [&](const std::string& why, bool mayBeThemes) {
        Log::write("Left " + Log::escaped(dock.pathOf(created.name)) + " as it is: " + why);
        whole = whole && !mayBeThemes;
        return false;
    };
    struct stat info {};
    if (::fstatat(dock.fd(), created.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? false : left(reason(errno), true);
    }
    // A theme's file is always a plain one.
    const bool plain = S_ISREG(info.st_mode);
    if (created.kind == OriginalDockManifest::Kind::Skipped) {
        return plain ? left("the Dock's own one was never kept", true) : false;
    }
    if (plain && created.installed.empty()) {
        return left("no record tells whether a theme put it there", true);
    }
    const bool sized =
        plain && std::any_of(created.installed.begin(), created.installed.end(), [&](auto& print) {
            return print.size == static_cast<std::uint64_t>(info.st_size);
        });
    if (!sized) {
        return left("it is not the file a theme put there", false);
    }
    Descriptor file(
        FileManager::openRegularFile(created.name, false, dock.fd(), ThemeSource::kMaxImageBytes));
    OriginalDockManifest::Fingerprint print;
    if (!file.valid() ||
        !FileFingerprint::take(file.get(), -1, ThemeSource::kMaxImageBytes, print)) {
        return left(reason(errno), true);
    }
    return contains(created.installed, print) ||
           left("it is not the file a theme put there", false);
}

std::string OriginalImages::hiddenName(const char* role) const {
    static unsigned serial = 0;
    return std::to_string(::getpid()) + "-" + std::to_string(serial++) + role;
}
