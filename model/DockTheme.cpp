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
#include "model/ThemeSignature.h"
#include "model/Utf8.h"
#include "platform/BundleFolder.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/PlistBounds.h"
#include "platform/PropertyList.h"
#include "platform/SystemPaths.h"

namespace {

DockTheme::Item makeItem(const std::string& path, const std::string& key) {
    auto item = std::make_shared<ImageObjectView>();
    item->setPath(path);
    item->setKeyDock(key);
    return item;
}

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

// Sets or removes key of to as from has it.
void carryKey(PlistValue& to, const PlistValue& from, const std::string& key) {
    if (const PlistValue* value = from.find(key)) {
        to.set(key, *value);
    } else {
        to.remove(key);
    }
}

// Every key of either dictionary whose value mine changed since base.
std::vector<std::string> changedKeys(const PlistValue& base, const PlistValue& mine) {
    std::vector<std::string> keys;
    for (const PlistValue* side : {&base, &mine}) {
        for (const auto& entry : *side->asDictionary()) {
            const PlistValue* was = base.find(entry.first);
            const PlistValue* is = mine.find(entry.first);
            if ((!was || !is || !(*was == *is)) &&
                std::find(keys.begin(), keys.end(), entry.first) == keys.end()) {
                keys.push_back(entry.first);
            }
        }
    }
    return keys;
}

// Carries what mine changed since base onto onDisk, each "Dock_List" entry on
// its own; false when onDisk's table is damaged where mine changed it.
bool carryOver(PlistValue& onDisk, const PlistValue& base, const PlistValue& mine) {
    for (const std::string& key : changedKeys(base, mine)) {
        if (key != "Dock_List") {
            carryKey(onDisk, mine, key);
            continue;
        }
        for (DockCategory category : {DockCategory::TwoD, DockCategory::ThreeD}) {
            const PlistValue* was = ThemeBundle::categoryDictionary(base, category);
            const PlistValue* is = ThemeBundle::categoryDictionary(mine, category);
            PlistValue* there = ThemeBundle::categoryDictionary(onDisk, category);
            if (!was || !is) {
                if (was != is || (was && !(*was == *is))) {
                    carryKey(onDisk, mine, key);  // a table of another shape: taken whole
                }
                continue;
            }
            for (const std::string& entry : changedKeys(*was, *is)) {
                if (!there) {
                    return false;
                }
                carryKey(*there, *is, entry);
            }
        }
    }
    return true;
}

// Whether a key or string of value holds NUL, which the XML form cuts off unseen.
bool holdsNul(const PlistValue& value) {
    if (const std::string* text = value.asString()) {
        return text->find('\0') != std::string::npos;
    }
    if (const PlistValue::Array* array = value.asArray()) {
        return std::any_of(array->begin(), array->end(), holdsNul);
    }
    const PlistValue::Dictionary* entries = value.asDictionary();
    return entries && std::any_of(entries->begin(), entries->end(), [](const auto& entry) {
               return entry.first.find('\0') != std::string::npos || holdsNul(entry.second);
           });
}

// Why bytes of Info.plist would not be read back, or nothing when they would.
std::optional<std::string> beyondBounds(const PlistValue& info, const std::string& bytes) {
    PropertyList::Limits limits;
    limits.maxBytes = ThemeBundle::kMaxInfoBytes;
    if (bytes.size() > ThemeBundle::kMaxInfoBytes) {
        return "Info.plist would be larger than " +
               std::to_string(ThemeBundle::kMaxInfoBytes / (1024 * 1024)) +
               " MiB, more than a theme may hold";
    }
    auto table = ThemeBundle::imageTable(info);
    if (!table || table->size() > ThemeBundle::kMaxTableEntries) {
        return "the image table would have more than " +
               std::to_string(ThemeBundle::kMaxTableEntries) + " entries";
    }
    if (holdsNul(info) || !PlistBounds::within(bytes, limits)) {
        return std::string(
            "Info.plist would hold a value no reader takes (a NUL character, or "
            "containers nested too deep)");
    }
    return std::nullopt;
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
    // Taken before the read: a change in between shows as a change on disk.
    theme->dock_savedIdentity = theme->infoIdentity();
    theme->dock_infoDictionary = ThemeBundle::readInfo(*theme->dock_folder);
    theme->dock_savedDictionary = theme->dock_infoDictionary;
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
    Descriptor lock;
    const auto base =
        dock_infoDictionary ? ThemeBundle::imageBase(*dock_infoDictionary) : std::nullopt;
    if (!locked(lock) || !base) {
        if (!base) {
            this->failed("the theme's images folder (VL_BasePath) lies outside the theme");
        }
        return false;
    }
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
        if (!source.valid() || !dock_folder->copyFrom(source.get(), base->relative(*original),
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
                                                  const std::string& proposedName,
                                                  const std::optional<std::string>& expected) {
    PlistValue* entries = dock_infoDictionary
                              ? ThemeBundle::categoryDictionary(*dock_infoDictionary, dockCat)
                              : nullptr;
    const auto base =
        dock_infoDictionary ? ThemeBundle::imageBase(*dock_infoDictionary) : std::nullopt;
    if (!entries || !base || !ThemeBundle::isPlainFileName(proposedName)) {
        failed(!entries ? "the theme has no images"
               : !base  ? "the theme's images folder (VL_BasePath) lies outside the theme"
                        : proposedName + " is not a plain file name");
        return std::nullopt;
    }
    Descriptor lock;
    if (!locked(lock)) {
        return std::nullopt;
    }
    // The key's file as the bundle has it now, which may not be what this document read.
    std::optional<PlistValue> onDisk = ThemeBundle::readInfo(*dock_folder);
    const PlistValue* current =
        onDisk ? ThemeBundle::categoryDictionary(*onDisk, dockCat) : nullptr;
    const std::string* named = current ? current->stringFor(key) : nullptr;
    std::optional<std::string> oldName =
        named ? std::optional<std::string>(*named) : getFileNameForKey(key, dockCat);
    if (expected && oldName != expected) {
        failed("another program changed the image of " + key + " meanwhile");
        return std::nullopt;
    }
    const std::string relative = base->relative(proposedName);
    std::string newPath = dock_folder->pathOf(relative);
    Log::write("Copied new file at path: " + newPath);
    Descriptor source = openSource(path);
    if (!source.valid() ||
        !dock_folder->copyFrom(source.get(), relative, ThemeBundle::kMaxImageBytes, false)) {
        int why = errno;
        Log::write("Could not copy " + path + " to " + newPath);
        const std::string folder = base->folder.empty() ? "the theme" : base->folder;
        error_ = why == EEXIST ? "a file named " + proposedName + " is in the theme already"
                 : source.valid() && (why == ENOENT || why == ENOTDIR)
                     ? "the theme has no images folder (" + folder + ") to copy into"
                     : copyFailure("the image", why);
        return std::nullopt;
    }
    Log::write("Setting object: " + newPath + " forKey: " + key);
    PlistValue previous = *entries;
    entries->set(key, PlistValue(proposedName));
    Log::write("Write backup of " + indexFile());
    const bool stored = store({}, [&] {
        // Two keys may share one file: it goes only when no key names it any more.
        // A file of the bundle's own (a table naming Info.plist) is never an image to remove.
        const std::string old = oldName ? base->relative(*oldName) : "";
        const auto& own = ThemeBundle::topLevelFiles();
        if (oldName && *oldName != proposedName && ThemeBundle::isPlainFileName(*oldName) &&
            !isNamed(*oldName) && std::find(own.begin(), own.end(), old) == own.end()) {
            Log::write("Removing file at path " + dock_folder->pathOf(old));
            dock_folder->removeRegularFile(old);
        }
    });
    if (!stored) {
        *ThemeBundle::categoryDictionary(*dock_infoDictionary, dockCat) = std::move(previous);
        dock_folder->removeRegularFile(relative);
        return std::nullopt;
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
    // A field the user left as it was is not written: another program's change of it stays.
    const Information was = information();
    auto put = [](const std::string& is, const std::string& old, auto set) {
        if (is != old) {
            set(is);
        }
    };
    put(values.name, was.name, [this](const std::string& v) { setDockName(v); });
    put(values.author, was.author, [this](const std::string& v) { setDockAuthor(v); });
    put(values.site, was.site, [this](const std::string& v) { setAuthorSite(v); });
    put(values.version, was.version, [this](const std::string& v) { setVersion(v); });
    put(values.appcast, was.appcast, [this](const std::string& v) { setURLAppcast(v); });
    std::vector<std::pair<std::string, std::string>> files;
    if (description) {
        std::string rtf = RtfWriter::write(*description);
        if (rtf.size() > RtfReader::kMaxInputBytes || !RtfReader::read(rtf)) {
            dock_infoDictionary = std::move(before);
            return failed("the description is too large or too complex for a theme to hold");
        }
        files.emplace_back(kDescription, std::move(rtf));
    }
    return storeOrRestore(std::move(before), std::move(files));
}

std::optional<std::string> DockTheme::dockPublicKey() const {
    const PlistValue* value =
        dock_infoDictionary ? dock_infoDictionary->find(kPublicKeyKey) : nullptr;
    if (!value) {
        return std::nullopt;
    }
    const std::string* key = value->asString();
    return key ? *key : std::string();
}

bool DockTheme::storePublicKey(const std::string& key) {
    if (!key.empty() && !ThemeSignature::isPublicKey(key)) {
        return failed("not a public key: " + key);
    }
    if (!dock_infoDictionary) {
        return failed("the theme has no Info.plist");
    }
    std::optional<PlistValue> before = dock_infoDictionary;
    if (key.empty()) {
        dock_infoDictionary->remove(kPublicKeyKey);
    } else {
        setString(kPublicKeyKey, key);
    }
    return storeOrRestore(std::move(before), {});
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
    const std::string rtf = RtfWriter::write(text);
    if (rtf.size() > RtfReader::kMaxInputBytes || !RtfReader::read(rtf)) {
        return failed("the description is too large or too complex for a theme to hold");
    }
    Descriptor lock;
    return locked(lock) && (dock_folder->writeFile(kDescription, rtf, true) ||
                            failed(std::string("description.rtf could not be written (") +
                                   std::strerror(errno) + ")"));
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
    Descriptor lock;
    if (source.valid() && !locked(lock)) {
        return false;
    }
    return (source.valid() &&
            dock_folder->copyFrom(source.get(), name, ThemeBundle::kMaxImageBytes, true)) ||
           failed(copyFailure("the picture", errno));
}

bool DockTheme::removeBundleFile(const std::string& name) {
    Descriptor lock;
    if (!locked(lock)) {
        return false;
    }
    return dock_folder->entryAt(name) == BundleFolder::Entry::None ||
           dock_folder->removeRegularFile(name) || failed(name + " is not a file of its own");
}

void DockTheme::removeLeftovers() const {
    // A writer holding the lock may be using its temporaries: they stay then.
    Descriptor lock = dock_folder->lock();
    if (lock.valid()) {
        sweepLeftovers();
    }
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

bool DockTheme::backup() {
    Descriptor lock;
    return dock_infoDictionary && locked(lock) && store({});
}

bool DockTheme::changedOnDisk() const {
    return dock_changedElsewhere || infoIdentity() != dock_savedIdentity;
}

bool DockTheme::reload(std::string* whyNot) {
    const FileIdentity identity = infoIdentity();
    std::optional<PlistValue> info = ThemeBundle::readInfo(*dock_folder);
    if (!info) {
        if (whyNot) {
            *whyNot = "it has no readable Info.plist";
        }
        return false;
    }
    const std::array<SlotList, 2> before = dock_list;
    if (!_verifyConsistenceOfBundle(*info, whyNot)) {
        dock_list = before;
        return false;
    }
    dock_infoDictionary = info;
    dock_savedDictionary = std::move(info);
    dock_savedIdentity = identity;
    dock_changedElsewhere = false;
    return true;
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

DockTheme::FileIdentity DockTheme::infoIdentity() const {
    struct stat info {};
    if (::fstatat(dock_folder->fd(), "Info.plist", &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return {};
    }
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size), info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

bool DockTheme::locked(Descriptor& lock) const {
    lock = dock_folder->lock();
    if (!lock.valid()) {
        return failed(errno == EWOULDBLOCK ? std::string(BundleFolder::kLockHeldElsewhere)
                                           : std::string("the theme's folder can't be locked (") +
                                                 std::strerror(errno) + ")");
    }
    // A write killed before its rename left its temporary: the next write takes it away.
    sweepLeftovers();
    return true;
}

void DockTheme::sweepLeftovers() const {
    dock_folder->removeLeftovers("", ThemeBundle::topLevelFiles());
    const auto base =
        dock_infoDictionary ? ThemeBundle::installBase(*dock_infoDictionary) : std::nullopt;
    if (base && !base->folder.empty()) {
        dock_folder->removeLeftovers(base->folder);
    }
}

bool DockTheme::store(std::vector<std::pair<std::string, std::string>> extra,
                      const std::function<void()>& afterWrite) {
    if (!dock_infoDictionary) {
        return failed("the theme has no Info.plist");
    }
    const FileIdentity identity = infoIdentity();
    std::optional<PlistValue> onDisk = ThemeBundle::readInfo(*dock_folder);
    if (!onDisk) {
        return failed("Info.plist on disk can no longer be read");
    }
    const bool elsewhere = !dock_savedDictionary || !(*onDisk == *dock_savedDictionary) ||
                           identity != dock_savedIdentity;
    PlistValue merged = *onDisk;
    if (dock_savedDictionary && !carryOver(merged, *dock_savedDictionary, *dock_infoDictionary)) {
        return failed("the image table in Info.plist on disk is damaged");
    }
    std::string bytes = PropertyList::toXML(merged);
    if (auto why = beyondBounds(merged, bytes)) {
        return failed(*why + "; nothing was written");
    }
    const std::string names = extra.empty() ? "Info.plist" : "Info.plist and " + extra[0].first;
    extra.emplace_back("Info.plist", std::move(bytes));
    if (!dock_folder->writeFiles(extra, true)) {
        return failed(names + " could not be written (" + std::strerror(errno) + ")");
    }
    dock_savedIdentity = infoIdentity();
    dock_savedDictionary = merged;
    dock_infoDictionary = std::move(merged);
    if (elsewhere) {
        // The slot lists follow the table as it now is; the owner reloads what it shows.
        dock_changedElsewhere = true;
        const std::array<SlotList, 2> before = dock_list;
        if (!_verifyConsistenceOfBundle(*dock_infoDictionary, nullptr)) {
            dock_list = before;
        }
    }
    if (afterWrite) {
        afterWrite();
    }
    return true;
}

bool DockTheme::storeOrRestore(std::optional<PlistValue> before,
                               std::vector<std::pair<std::string, std::string>> extra) {
    Descriptor lock;
    if (locked(lock) && store(std::move(extra))) {
        return true;
    }
    dock_infoDictionary = std::move(before);
    return false;
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
