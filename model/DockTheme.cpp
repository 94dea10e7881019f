#include "model/DockTheme.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "model/MiscKit.h"
#include "model/RtfReader.h"
#include "model/RtfWriter.h"
#include "model/ThemeBundle.h"
#include "model/Utf8.h"
#include "platform/BundleFolder.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/PropertyList.h"
#include "platform/SystemPaths.h"
#include "privileged/SXAuthentication.h"

namespace {

DockTheme::Item makeItem(const std::string& path, const std::string& key) {
    auto item = std::make_shared<ImageObjectView>();
    item->setPath(path);
    item->setKeyDock(key);
    return item;
}

constexpr const char* kImages = "images/";
constexpr const char* kDescription = "description.rtf";

// Opens a file the user chose to copy into a bundle: a regular file, links
// followed, never blocking. errno ENOENT when nothing is there, EFBIG when it
// is too large, EINVAL when it is not a regular file.
Descriptor openSource(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Descriptor();
    }
    if (S_ISREG(info.st_mode) &&
        static_cast<std::uintmax_t>(info.st_size) > ThemeBundle::kMaxImageBytes) {
        errno = EFBIG;
        return Descriptor();
    }
    Descriptor file(
        FileManager::openRegularFile(path, true, AT_FDCWD, ThemeBundle::kMaxImageBytes));
    if (!file.valid()) {
        errno = EINVAL;
    }
    return file;
}

}  // namespace

std::unique_ptr<DockTheme> DockTheme::initWithBundleAtPath(const std::string& path,
                                                           std::string* whyNot) {
    std::shared_ptr<const BundleFolder> folder = BundleFolder::open(path);
    if (!folder) {
        if (whyNot) {
            *whyNot = "there is no theme folder at that place";
        }
        return nullptr;
    }
    std::unique_ptr<DockTheme> theme(new DockTheme(path, std::move(folder)));
    theme->dock_infoDictionary = ThemeBundle::readInfo(*theme->dock_folder);
    if (!theme->dock_infoDictionary) {
        Log::write("No readable Info.plist in " + Log::escaped(path));
        if (whyNot) {
            *whyNot = "it has no readable Info.plist";
        }
        return nullptr;
    }
    if (!theme->_verifyConsistenceOfBundle(*theme->dock_infoDictionary, whyNot)) {
        return nullptr;
    }
    return theme;
}

std::unique_ptr<DockTheme> DockTheme::newDockBundleAtPath(const std::string& path,
                                                          const std::string& name) {
    FileManager::copyPath(fullPath(), path);
    // When the template could not be copied and nothing is there, there is no bundle to open.
    if (!FileManager::isDirectory(path)) {
        return nullptr;
    }
    auto theme = initWithBundleAtPath(path);
    if (theme) {
        theme->setDockName(name);
    }
    return theme;
}

void DockTheme::copyInMeCurrentDock() {
    copyDataFromFolder(SystemPaths::dockResourcesFolder());
}

bool DockTheme::copyDataFromFolder(const std::string& folder, std::vector<std::string>* failed) {
    bool whole = true;
    for (const PlistValue& record : MiscKit::sharedFiles().dockFilesList()) {
        const std::string* original = record.stringFor("Original");
        if (!original || !ThemeBundle::isPlainFileName(*original)) {
            continue;
        }
        Descriptor source = openSource(folder + "/" + *original);
        if (!source.valid() && errno == ENOENT) {
            continue;  // the folder has no image of that name: the bundle's stays
        }
        // Replaced whole or not at all: a failed copy never costs the bundle its image.
        if (!source.valid() || !dock_folder->copyFrom(source.get(), kImages + *original,
                                                      ThemeBundle::kMaxImageBytes, true)) {
            error_ = copyFailure(*original, errno);
            Log::write("Cannot copy " + Log::escaped(folder + "/" + *original));
            whole = false;
            if (failed) {
                failed->push_back(*original);
            }
        }
    }
    return whole;
}

std::string DockTheme::copyFailure(const std::string& what, int error) {
    if (error == EFBIG) {
        return what + " is larger than " +
               std::to_string(ThemeBundle::kMaxImageBytes / (1024 * 1024)) + " MiB";
    }
    if (error == EINVAL) {
        return what + " is not a plain file";
    }
    return what + " could not be copied (" + std::strerror(error) + ")";
}

std::optional<std::string> DockTheme::getFileNameForKey(const std::string& key,
                                                        DockCategory dockCat) const {
    if (!dock_infoDictionary) {
        return std::nullopt;
    }
    const PlistValue* entries = ThemeBundle::categoryDictionary(*dock_infoDictionary, dockCat);
    const std::string* name = entries ? entries->stringFor(key) : nullptr;
    return name ? std::optional<std::string>(*name) : std::nullopt;
}

std::optional<std::string> DockTheme::setFileName(const std::string& path, const std::string& key,
                                                  DockCategory dockCat,
                                                  const std::string& proposedName) {
    PlistValue* entries = dock_infoDictionary
                              ? ThemeBundle::categoryDictionary(*dock_infoDictionary, dockCat)
                              : nullptr;
    if (!entries || !ThemeBundle::isPlainFileName(proposedName)) {
        failed(entries ? proposedName + " is not a plain file name" : "the theme has no images");
        return std::nullopt;
    }
    std::optional<std::string> oldName = getFileNameForKey(key, dockCat);
    std::string newPath = ThemeBundle::imagePath(dock_path, proposedName);
    Log::write("Copied new file at path: " + newPath);
    Descriptor source = openSource(path);
    if (!source.valid() || !dock_folder->copyFrom(source.get(), kImages + proposedName,
                                                  ThemeBundle::kMaxImageBytes, false)) {
        int why = errno;
        Log::write("Could not copy " + path + " to " + newPath);
        errno = why;
        error_ = errno == EEXIST ? "a file named " + proposedName + " is in the theme already"
                                 : copyFailure("the image", errno);
        return std::nullopt;
    }
    Log::write("Setting object: " + newPath + " forKey: " + key);
    PlistValue previous = *entries;
    entries->set(key, PlistValue(proposedName));
    Log::write("Write backup of " + indexFile());
    if (!backup()) {
        *entries = std::move(previous);
        dock_folder->removeRegularFile(kImages + proposedName);
        return std::nullopt;
    }
    // Two keys may share one file: it goes only when no key names it any more.
    if (oldName && *oldName != proposedName && ThemeBundle::isPlainFileName(*oldName) &&
        !isNamed(*oldName)) {
        Log::write("Removing file at path " + ThemeBundle::imagePath(dock_path, *oldName));
        dock_folder->removeRegularFile(kImages + *oldName);
    }
    return newPath;
}

void DockTheme::reloadItemAtIndex(std::size_t index, const std::string& path,
                                  const std::string& key, DockCategory cat) {
    SlotList& slots = dock_list[indexOf(cat)];
    if (index >= slots.size()) {
        return;
    }
    slots[index] = makeItem(path, key);
}

bool DockTheme::verifyNameExistForFile(const std::string& fileName) const {
    Log::write("Need to verify name [" + fileName + "]");
    return isNamed(fileName);
}

std::optional<std::string> DockTheme::dockName() const {
    return stringFor(ThemeBundle::kNameKey);
}

void DockTheme::setDockName(const std::string& name) {
    setString(ThemeBundle::kNameKey, name);
}

std::optional<std::string> DockTheme::dockAuthor() const {
    return stringFor(ThemeBundle::kAuthorKey);
}

void DockTheme::setDockAuthor(const std::string& author) {
    setString(ThemeBundle::kAuthorKey, author);
}

void DockTheme::setAuthor(const std::string& author) {
    setDockAuthor(author);
}

std::optional<std::string> DockTheme::dockAuthorSite() const {
    return stringFor("VL_DockAuthorSite");
}

void DockTheme::setAuthorSite(const std::string& site) {
    setString("VL_DockAuthorSite", site);
}

std::string DockTheme::version() const {
    return stringFor("VL_DockVersion").value_or("1.0");
}

void DockTheme::setVersion(const std::string& version) {
    setString("VL_DockVersion", version);
}

std::optional<std::string> DockTheme::dockAppcast() const {
    return stringFor("VL_DockAppCast");
}

void DockTheme::setURLAppcast(const std::string& address) {
    setString("VL_DockAppCast", address);
}

DockTheme::Information DockTheme::information() const {
    return {dockName().value_or(""), dockAuthor().value_or(""), dockAuthorSite().value_or(""),
            version(), dockAppcast().value_or("")};
}

bool DockTheme::saveInformation(const Information& values, const RichText* description) {
    if (!dock_infoDictionary) {
        return failed("the theme has no Info.plist");
    }
    std::optional<PlistValue> before = dock_infoDictionary;
    setDockName(values.name);
    setDockAuthor(values.author);
    setAuthorSite(values.site);
    setVersion(values.version);
    setURLAppcast(values.appcast);
    std::vector<std::pair<std::string, std::string>> files;
    if (description) {
        files.emplace_back(kDescription, RtfWriter::write(*description));
    }
    files.emplace_back("Info.plist", PropertyList::toXML(*dock_infoDictionary));
    if (dock_folder->writeFiles(files, true)) {
        return true;
    }
    const std::string why = std::strerror(errno);
    dock_infoDictionary = std::move(before);
    return failed(std::string(description ? "Info.plist and description.rtf" : "Info.plist") +
                  " could not be written (" + why + ")");
}

std::optional<RichText> DockTheme::description() const {
    if (dock_folder->entryAt(kDescription) == BundleFolder::Entry::None) {
        return RichText::fromPlainText("No Description Available");
    }
    auto bytes = dock_folder->readFile(kDescription, RtfReader::kMaxInputBytes);
    if (!bytes) {
        failed("description.rtf is not a readable file of at most 16 MiB");
        return std::nullopt;
    }
    std::string_view text(*bytes);
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::string_view body = text.substr(std::min(text.size(), text.find_first_not_of(" \t\r\n")));
    if (!body.starts_with("{\\rtf")) {
        // Not RTF: what a user wrote in a plain text editor, shown as written.
        return RichText::fromPlainText(Utf8::sanitize(text));
    }
    std::optional<RichText> read = RtfReader::read(std::string(body));
    if (!read) {
        failed("description.rtf is damaged or too complex to read");
    }
    return read;
}

bool DockTheme::setDescription(const RichText& text) {
    return dock_folder->writeFile(kDescription, RtfWriter::write(text), true) ||
           failed(std::string("description.rtf could not be written (") + std::strerror(errno) +
                  ")");
}

std::string DockTheme::previewDockPath(DockStyle dockStyle) const {
    return ThemeBundle::dockPreviewPath(dock_path, dockStyle);
}

bool DockTheme::existDockPreview(DockStyle dockStyle) const {
    std::string name = std::filesystem::path(previewDockPath(dockStyle)).filename().string();
    return dock_folder->entryAt(name) == BundleFolder::Entry::Regular;
}

std::optional<std::string> DockTheme::dockMicroPreview() const {
    return dock_folder->entryAt("preview_micro.png") == BundleFolder::Entry::Regular
               ? std::optional<std::string>(ThemeBundle::microPreviewPath(dock_path))
               : std::nullopt;
}

bool DockTheme::setDockMicroPreview(const std::string& path) {
    return putBundleFile("preview_micro.png", path);
}

bool DockTheme::putBundleFile(const std::string& name, const std::string& path) {
    const auto& names = ThemeBundle::topLevelFiles();
    if (name == "Info.plist" || std::find(names.begin(), names.end(), name) == names.end()) {
        return failed(name + " is not a picture of the theme");
    }
    Descriptor source = openSource(path);
    return (source.valid() &&
            dock_folder->copyFrom(source.get(), name, ThemeBundle::kMaxImageBytes, true)) ||
           failed(copyFailure("the picture", errno));
}

bool DockTheme::removeBundleFile(const std::string& name) {
    return dock_folder->entryAt(name) == BundleFolder::Entry::None ||
           dock_folder->removeRegularFile(name) || failed(name + " is not a file of its own");
}

void DockTheme::removeLeftovers() const {
    dock_folder->removeLeftovers("", ThemeBundle::topLevelFiles());
    dock_folder->removeLeftovers("images");
}

Descriptor DockTheme::openImage(const std::string& path) const {
    const std::string prefix = dock_path + "/";
    if (path.compare(0, prefix.size(), prefix) != 0) {
        return Descriptor();
    }
    return dock_folder->openRegularFile(path.substr(prefix.size()), ThemeBundle::kMaxImageBytes);
}

std::string DockTheme::indexFile() const {
    return ThemeBundle::infoPlistPath(dock_path);
}

std::string DockTheme::fullPath() {
    return (SystemPaths::resourceFolder() / "DefaultDock.docktheme").string();
}

bool DockTheme::backup() const {
    if (!dock_infoDictionary) {
        return false;
    }
    return dock_folder->writeFile("Info.plist", PropertyList::toXML(*dock_infoDictionary), true) ||
           failed(std::string("Info.plist could not be written (") + std::strerror(errno) + ")");
}

void DockTheme::applyTheme() const {
    std::string tool = SystemPaths::applyToolPath().string();
    SXAuthentication& authorization = SXAuthentication::sharedInstance();
    authorization.authenticate({tool});
    authorization.executeCommand(tool, {dock_path});
}

DockTheme::DockTheme(std::string path, std::shared_ptr<const BundleFolder> folder)
    : dock_path(std::move(path)), dock_folder(std::move(folder)) {}

bool DockTheme::_verifyConsistenceOfBundle(const PlistValue& dictionary, std::string* whyNot) {
    dock_list = {};
    auto images = ThemeBundle::check(*dock_folder, dictionary, whyNot);
    if (!images) {
        return false;
    }
    for (const ThemeImage& image : *images) {
        dock_list[indexOf(image.category)].push_back(makeItem(image.path, image.key));
    }
    for (SlotList& slots : dock_list) {
        std::stable_sort(slots.begin(), slots.end(),
                         [](const Item& a, const Item& b) { return a->sortObjectByKey(*b) < 0; });
    }
    return true;
}

bool DockTheme::failed(std::string why) const {
    error_ = std::move(why);
    return false;
}

bool DockTheme::isNamed(const std::string& fileName) const {
    auto table = dock_infoDictionary ? ThemeBundle::imageTable(*dock_infoDictionary) : std::nullopt;
    return table && std::any_of(table->begin(), table->end(), [&](const ThemeImage& image) {
               return image.fileName == fileName;
           });
}

std::optional<std::string> DockTheme::stringFor(const char* key) const {
    const std::string* value = dock_infoDictionary ? dock_infoDictionary->stringFor(key) : nullptr;
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

void DockTheme::setString(const char* key, const std::string& value) {
    if (dock_infoDictionary) {
        dock_infoDictionary->set(key, PlistValue(value));
    }
}
