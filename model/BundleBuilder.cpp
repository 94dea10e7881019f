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
#include "platform/Renaming.h"
#include "platform/WorkFolder.h"

namespace {

constexpr const char* kInfo = "Info.plist";
constexpr const char* kImages = "images";
constexpr const char* kDescription = "description.rtf";

// Whether the listed entry of folder is a regular file, links not followed.
bool listedRegular(int folder, const std::string& name, unsigned char type) {
    struct stat info {};
    if (type == DT_UNKNOWN) {
        return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
               S_ISREG(info.st_mode);
    }
    return type == DT_REG;
}

std::string reasonOf(int error) {
    return error == 0 ? std::string("unknown error") : std::string(std::strerror(error));
}

std::string alreadyThere(const std::string& bundle) {
    return bundle + " is in the destination already; it was left untouched.";
}

// The reason in a theme's "<what> could not be copied (<reason>)", or all of it.
std::string copyReason(const std::string& error) {
    const std::size_t open = error.rfind(" (");
    if (open == std::string::npos || !error.ends_with(')')) {
        return error;
    }
    return error.substr(open + 2, error.size() - open - 3);
}

// Writes the new file name of folder. Not synced: it replaces nothing, and the
// caller's rename publishes the bundle whole.
bool writeNew(int folder, const char* name, const std::string& bytes) {
    Descriptor file(
        ::openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644));
    return file.valid() && FileManager::writeAll(file.get(), bytes.data(), bytes.size()) &&
           ::close(file.release()) == 0;
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
    how.leaveOut = [&replaced, &naming](const std::string& relative) {
        return relative == kInfo || replaced.count(relative) > 0 ||
               (naming.descriptionRtf && relative == kDescription);
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
    if (naming.descriptionRtf && !writeNew(bundleFd, kDescription, *naming.descriptionRtf)) {
        return failure(Failure::Description, errno);
    }
    if (!writeNew(bundleFd, kInfo, PropertyList::toXML(*info))) {
        return failure(Failure::Info, errno);
    }
    return outcome;
}

std::string BundleBuilder::whyNot(const Outcome& outcome) {
    switch (outcome.failure) {
        case Failure::None:
            return {};
        case Failure::Template:
            return "The theme template could not be copied: " + reasonOf(outcome.error);
        case Failure::Source:
            return "The folder could not be read: " + reasonOf(outcome.error);
        case Failure::Damaged:
            return "The new theme does not open: " + outcome.why;
        case Failure::Description:
            return "Its description.rtf could not be written: " + reasonOf(outcome.error);
        case Failure::Info:
            return "Its Info.plist could not be written: " + reasonOf(outcome.error);
        case Failure::Images:
            break;
    }
    std::string names;
    for (const std::string& image : outcome.failed) {
        names += (names.empty() ? "" : ", ") + image;
    }
    return (outcome.failed.size() == 1 ? "The image " : "The images ") + names +
           " could not be copied: " + copyReason(outcome.why);
}

std::string BundleBuilder::make(const std::string& destination, const std::string& bundleName,
                                const std::string& imagesFrom, const Naming& naming) {
    Descriptor target(::open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!target.valid()) {
        return "The destination folder can't be opened: " + reasonOf(errno);
    }
    struct stat seen {};
    if (::fstatat(target.get(), bundleName.c_str(), &seen, AT_SYMLINK_NOFOLLOW) == 0) {
        return alreadyThere(bundleName);
    }
    std::string hidden;
    Descriptor folder = WorkFolder::make(destination, kTemporaryPrefix, hidden);
    if (!folder.valid()) {
        return "No folder can be made in the destination: " + reasonOf(errno);
    }
    // A bundle has the mode of a folder the user's programs make.
    ::fchmod(folder.get(), 0755);
    std::string why = whyNot(fill(folder.get(), destination + "/" + hidden, imagesFrom, naming));
    if (why.empty() &&
        !Renaming::withoutReplacing(target.get(), hidden, target.get(), bundleName)) {
        why = errno == EEXIST ? alreadyThere(bundleName)
                              : bundleName + " could not be given its name: " + reasonOf(errno);
    }
    // Only a failure has anything to remove: no removal per bundle made, which
    // would slow the making of files after it on some file systems.
    if (!why.empty() && !FolderTree::remove(target.get(), hidden)) {
        Log::write("Cannot remove " + Log::escaped(destination + "/" + hidden));
    }
    return why;
}

void BundleBuilder::removeLeftovers(const std::string& destination) {
    WorkFolder::removeLeftovers(destination, kTemporaryPrefix);
}
