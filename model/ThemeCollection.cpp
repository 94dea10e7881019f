#include "model/ThemeCollection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string_view>

#include "model/ArchiveImport.h"
#include "model/DockTheme.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/FolderTree.h"
#include "platform/Log.h"
#include "platform/PropertyList.h"
#include "platform/Renaming.h"
#include "platform/WorkFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".docktheme";
constexpr const char* kMicroPreview = "preview_micro.png";
// Hidden folders of the collection: a copy being made, an old theme put aside.
constexpr const char* kIncoming = ".velvanto-incoming-";
constexpr const char* kReplaced = ".velvanto-replaced-";
// What earlier versions left: ".<name>.incoming" and ".<name>.replaced".
constexpr std::string_view kLegacyIncoming = ".incoming";
constexpr std::string_view kLegacyReplaced = ".replaced";
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

std::string reasonOf(int error) {
    return std::strerror(error);
}

bool present(int folder, const std::string& name) {
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// The names in an opened folder, "." and ".." aside.
std::vector<std::string> namesIn(int folder) {
    std::vector<FolderTree::Entry> entries;
    std::vector<std::string> names;
    if (folder >= 0 && FolderTree::list(folder, entries)) {
        for (FolderTree::Entry& entry : entries) {
            names.push_back(std::move(entry.name));
        }
    }
    return names;
}

// Gives the entry name of holder its own name in the collection when that is
// free (a theme put aside), then removes holder with what is left in it.
void putBackAndRemove(int collection, const std::string& holder, const std::string& name) {
    Descriptor folder(::openat(collection, holder.c_str(), kFolderFlags | O_NOFOLLOW));
    if (folder.valid() && present(folder.get(), name) && !present(collection, name) &&
        Renaming::withoutReplacing(folder.get(), name, collection, name)) {
        Log::write("Put back " + Log::escaped(name) + " from " + Log::escaped(holder));
    }
    Log::write("Removing the leftover " + Log::escaped(holder));
    FolderTree::remove(collection, holder);
}

// Whether the copy name of incoming is a whole theme, judged from what the
// copy wrote (files) and its Info.plist: no second walk over it. Why not, or nothing.
std::optional<std::string> wholeCopy(int incoming, const std::string& name, const std::string& path,
                                     const std::vector<std::string>& files) {
    Descriptor copy(::openat(incoming, name.c_str(), kFolderFlags | O_NOFOLLOW));
    std::optional<PlistValue> info =
        copy.valid() ? ThemeBundle::readInfo(copy.get()) : std::nullopt;
    if (!info) {
        return std::string("it has no readable Info.plist");
    }
    const std::set<std::string> copied(files.begin(), files.end());
    std::string whyNot;
    auto entryAt = [&copied](const std::string& relative) {
        return copied.count(relative) ? BundleFolder::Entry::Regular : BundleFolder::Entry::None;
    };
    if (!ThemeBundle::check(path, entryAt, *info, &whyNot)) {
        return whyNot;
    }
    return std::nullopt;
}

}  // namespace

ThemeCollection::ThemeCollection(std::string folder) : folder_(std::move(folder)) {}

std::string ThemeCollection::pathOf(const std::string& name) const {
    return folder_ + "/" + name;
}

void ThemeCollection::make() const {
    std::error_code error;
    if (!present(AT_FDCWD, folder_)) {
        fs::create_directories(folder_, error);
    }
}

ThemeCollection::Listing ThemeCollection::list() const {
    Listing listing;
    std::error_code error;
    fs::directory_iterator entry(folder_, error);
    listing.readable = !error;
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path bundle = entry->path();
        if (bundle.extension() != kExtension || !FileManager::isDirectory(bundle)) {
            continue;
        }
        giveMicroPreview(bundle.filename().string());
        listing.bundles.push_back(bundle.string());
    }
    // By name, as the Mac's file system lists a folder.
    std::sort(listing.bundles.begin(), listing.bundles.end(),
              [](const std::string& a, const std::string& b) { return a + '/' < b + '/'; });
    return listing;
}

bool ThemeCollection::has(const std::string& name) const {
    return present(AT_FDCWD, pathOf(name));
}

std::optional<std::string> ThemeCollection::add(const std::string& source, const std::string& name,
                                                bool replace) const {
    Descriptor collection(::open(folder_.c_str(), kFolderFlags));
    if (!collection.valid()) {
        return "the collection folder " + folder_ + " can't be read (" + reasonOf(errno) + ")";
    }
    std::string incomingName;
    Descriptor incoming = WorkFolder::make(folder_, kIncoming, incomingName);
    if (!incoming.valid()) {
        return "the collection folder " + folder_ + " can't be written (" + reasonOf(errno) + ")";
    }
    std::optional<std::string> why;
    std::vector<std::string> skipped;
    std::vector<std::string> files;
    std::optional<std::string> whyNot;
    FolderTree::Copying how;
    how.maxFileBytes = ThemeBundle::kMaxImageBytes;
    how.skipped = &skipped;
    how.files = &files;
    if (!FolderTree::copy(source, incoming.get(), name, how)) {
        why = "its files could not be copied (" + reasonOf(errno) + ")";
    } else if ((whyNot =
                    wholeCopy(incoming.get(), name, pathOf(incomingName) + "/" + name, files))) {
        why = "the copy is not a whole theme (" + *whyNot + ")";
    } else {
        why = placeIncoming(collection.get(), incoming.get(), name, replace);
    }
    for (const std::string& left : skipped) {
        Log::write("Not copied, not a regular file or folder: " +
                   Log::escaped(source + "/" + left));
    }
    // What a failure left, or the old entry after a replacement.
    FolderTree::remove(collection.get(), incomingName);
    return why;
}

std::optional<std::string> ThemeCollection::placeImported(
    ArchiveImport& import, const std::string& name, bool replace,
    const std::function<void(const std::string& oldEntry)>& replaced) const {
    Descriptor collection(::open(folder_.c_str(), kFolderFlags));
    std::optional<std::string> why =
        collection.valid() && import.valid()
            ? placeIncoming(collection.get(), import.hiddenFd(), name, replace)
            : "the collection folder can't be read (" + reasonOf(errno) + ")";
    if (!why && replaced && present(import.hiddenFd(), name)) {
        replaced(pathOf(import.hiddenName()) + "/" + name);
    }
    // What a failure left, or the old entry after a replacement.
    import.discard();
    return why;
}

void ThemeCollection::recoverLeftovers() const {
    // What a killed run left; a copy still being made holds its folder locked.
    WorkFolder::removeLeftovers(folder_, kIncoming);
    ArchiveImport::removeLeftovers(folder_);
    Descriptor collection(::open(folder_.c_str(), kFolderFlags));
    for (const std::string& name : namesIn(collection.get())) {
        std::string_view leftover(name);
        if (leftover.starts_with(kReplaced)) {
            Descriptor holder(::openat(collection.get(), name.c_str(), kFolderFlags | O_NOFOLLOW));
            for (const std::string& inside : namesIn(holder.get())) {
                putBackAndRemove(collection.get(), name, inside);
            }
            FolderTree::remove(collection.get(), name);
        } else if (leftover.starts_with('.') && leftover.ends_with(kLegacyIncoming)) {
            Log::write("Removing the leftover " + Log::escaped(name));
            FolderTree::remove(collection.get(), name);
        } else if (leftover.starts_with('.') && leftover.ends_with(kLegacyReplaced) &&
                   leftover.size() > kLegacyReplaced.size() + 1) {
            // The old theme is the entry itself: it goes back under its name.
            std::string theme(leftover.substr(1, leftover.size() - 1 - kLegacyReplaced.size()));
            if (!present(collection.get(), theme) &&
                Renaming::withoutReplacing(collection.get(), name, collection.get(), theme)) {
                Log::write("Put back " + Log::escaped(theme) + " from " + Log::escaped(name));
            } else {
                Log::write("Removing the leftover " + Log::escaped(name));
                FolderTree::remove(collection.get(), name);
            }
        }
    }
}

void ThemeCollection::giveMicroPreview(const std::string& name) const {
    const std::string bundle = pathOf(name);
    struct stat entry {};
    struct stat opened {};
    // A link is never written into; the folder opened must be the one looked at.
    if (::lstat(bundle.c_str(), &entry) != 0 || !S_ISDIR(entry.st_mode)) {
        return;
    }
    std::shared_ptr<const BundleFolder> folder = BundleFolder::open(bundle);
    if (!folder || ::fstat(folder->fd(), &opened) != 0 || opened.st_dev != entry.st_dev ||
        opened.st_ino != entry.st_ino ||
        folder->entryAt(kMicroPreview) != BundleFolder::Entry::None) {
        return;
    }
    // Under the theme's lock, as every writer of a theme: no sweep takes the copy's temporary.
    const Descriptor held = folder->lock();
    const fs::path fallback = fs::path(DockTheme::fullPath()) / kMicroPreview;
    Descriptor stock(
        FileManager::openRegularFile(fallback, true, AT_FDCWD, ThemeBundle::kMaxImageBytes));
    const bool copied =
        held.valid() && stock.valid() &&
        folder->copyFrom(stock.get(), kMicroPreview, ThemeBundle::kMaxImageBytes, false);
    Log::write("Copied " + Log::escaped(folder->pathOf(kMicroPreview)) + " - " +
               (copied ? "1" : "0"));
}

std::optional<std::string> ThemeCollection::placeIncoming(int collection, int incoming,
                                                          const std::string& name,
                                                          bool replace) const {
    if (!replace || !present(collection, name)
            ? !Renaming::withoutReplacing(incoming, name, collection, name)
            : !swapIn(collection, incoming, name)) {
        return "it could not be given its name (" + reasonOf(errno) + ")";
    }
    return std::nullopt;
}

bool ThemeCollection::swapIn(int collection, int incoming, const std::string& name) const {
    // A writer of the old entry (velvanto-theme, say) ends its change before the entry goes.
    const std::shared_ptr<const BundleFolder> old = BundleFolder::open(pathOf(name));
    const Descriptor held = old ? old->lock() : Descriptor();
    if (old && !held.valid()) {
        return false;
    }
    if (Renaming::exchange(incoming, name, collection, name)) {
        return true;
    }
    std::string asideName;
    Descriptor aside =
        errno == EOPNOTSUPP ? WorkFolder::make(folder_, kReplaced, asideName) : Descriptor();
    if (!aside.valid()) {
        return false;
    }
    // Two renames: the old entry waits in a hidden folder, which the next
    // start puts back should the program end between them.
    bool placed = ::renameat(collection, name.c_str(), aside.get(), name.c_str()) == 0;
    const int saved = errno;
    if (placed && !Renaming::withoutReplacing(incoming, name, collection, name)) {
        placed = false;
        if (::renameat(aside.get(), name.c_str(), collection, name.c_str()) != 0) {
            return false;  // the old entry stays aside, for the next start
        }
    }
    // As after an exchange, the old entry ends up in incoming.
    if (placed) {
        Renaming::withoutReplacing(aside.get(), name, incoming, name);
    }
    FolderTree::remove(collection, asideName);
    errno = saved;
    return placed;
}
