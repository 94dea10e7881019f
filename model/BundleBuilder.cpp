#include "model/BundleBuilder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <unordered_map>

#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/FolderTree.h"
#include "platform/Log.h"
#include "platform/PropertyList.h"

namespace {

constexpr const char* kInfo = "Info.plist";
constexpr const char* kImages = "images";

// Whether the listed entry of folder is a regular file, links not followed.
bool listedRegular(int folder, const std::string& name, unsigned char type) {
    struct stat info {};
    if (type == DT_UNKNOWN) {
        return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
               S_ISREG(info.st_mode);
    }
    return type == DT_REG;
}

BundleBuilder::Outcome failure(BundleBuilder::Failure kind, int error, std::string why = {}) {
    BundleBuilder::Outcome outcome;
    outcome.failure = kind;
    outcome.error = error;
    outcome.why = std::move(why);
    return outcome;
}

}  // namespace

BundleBuilder::Outcome BundleBuilder::fill(int bundleFd, const std::string& path,
                                           const std::string& imagesFrom, const Naming& naming) {
    const std::string stock = DockTheme::fullPath();
    Descriptor from(::open(stock.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!from.valid()) {
        return failure(Failure::Template, errno);
    }
    std::optional<PlistValue> info = ThemeBundle::readInfo(from.get());
    if (!info) {
        return failure(Failure::Damaged, 0, "it has no readable Info.plist");
    }
    // The folder's images named as the Dock names them, in the catalogue's order.
    Descriptor source;
    std::vector<std::pair<std::string, unsigned char>> images;
    if (!imagesFrom.empty()) {
        source = Descriptor(::open(imagesFrom.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!source.valid()) {
            return failure(Failure::Source, errno);
        }
        std::vector<FolderTree::Entry> listed;
        FolderTree::list(source.get(), listed);
        std::unordered_map<std::string, unsigned char> entries;
        for (const FolderTree::Entry& entry : listed) {
            entries.emplace(entry.name, entry.type);
        }
        for (const PlistValue& record : MiscKit::sharedFiles().dockFilesList()) {
            const std::string* original = record.stringFor("Original");
            auto entry = original ? entries.find(*original) : entries.end();
            if (entry != entries.end() && ThemeBundle::isPlainFileName(*original)) {
                images.emplace_back(*original, entry->second);
            }
        }
    }
    std::set<std::string> replaced;
    for (const auto& image : images) {
        replaced.insert(std::string(kImages) + "/" + image.first);
    }
    // The template but its Info.plist and the images the folder replaces.
    std::vector<std::string> written;
    FolderTree::Copying how;
    how.maxFileBytes = ThemeBundle::kMaxImageBytes;
    how.files = &written;
    how.leaveOut = [&replaced](const std::string& relative) {
        return relative == kInfo || replaced.count(relative) > 0;
    };
    if (!FolderTree::copyInto(stock, bundleFd, how)) {
        return failure(Failure::Template, errno);
    }
    if (::mkdirat(bundleFd, kImages, 0755) != 0 && errno != EEXIST) {
        return failure(Failure::Template, errno);
    }
    Descriptor imagesFolder(
        ::openat(bundleFd, kImages, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    Outcome outcome;
    for (const auto& [name, type] : images) {
        bool copied = imagesFolder.valid();
        if (copied && !listedRegular(source.get(), name, type)) {
            errno = EINVAL;
            copied = false;
        } else if (copied) {
            copied = FolderTree::copyFile(source.get(), name, imagesFolder.get(), name,
                                          ThemeBundle::kMaxImageBytes);
        }
        if (!copied && errno == ENOENT && imagesFolder.valid()) {
            // Gone since the listing: the folder has no image of that name, the template's stays.
            Descriptor stockImages(
                ::openat(from.get(), kImages, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
            copied = FolderTree::copyFile(stockImages.get(), name, imagesFolder.get(), name,
                                          ThemeBundle::kMaxImageBytes) ||
                     errno == ENOENT;
        }
        if (copied) {
            written.push_back(std::string(kImages) + "/" + name);
            continue;
        }
        Log::write("Cannot copy " + Log::escaped(imagesFrom + "/" + name));
        outcome.failure = Failure::Images;
        outcome.why = DockTheme::copyFailure(name, errno);
        outcome.failed.push_back(name);
    }
    if (outcome.failure != Failure::None) {
        return outcome;
    }
    // The table must name files the bundle has: known from what was written.
    const std::set<std::string> files(written.begin(), written.end());
    std::string whyNot;
    auto entryAt = [&files](const std::string& relative) {
        return files.count(relative) ? BundleFolder::Entry::Regular
               : relative == kImages ? BundleFolder::Entry::Folder
                                     : BundleFolder::Entry::None;
    };
    if (!ThemeBundle::check(path, entryAt, *info, &whyNot)) {
        return failure(Failure::Damaged, 0, whyNot);
    }
    info->set(ThemeBundle::kNameKey, PlistValue(naming.name));
    if (naming.author) {
        info->set(ThemeBundle::kAuthorKey, PlistValue(*naming.author));
    }
    // Not synced: it replaces nothing, and the caller's rename publishes the bundle whole.
    const std::string bytes = PropertyList::toXML(*info);
    Descriptor plist(
        ::openat(bundleFd, kInfo, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644));
    if (!plist.valid() || !FileManager::writeAll(plist.get(), bytes.data(), bytes.size()) ||
        ::close(plist.release()) != 0) {
        return failure(Failure::Info, errno);
    }
    return outcome;
}
