#include "model/DockTheme.h"

#include <algorithm>

#include "model/MiscKit.h"
#include "model/RtfReader.h"
#include "model/RtfWriter.h"
#include "model/ThemeBundle.h"
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

}  // namespace

std::unique_ptr<DockTheme> DockTheme::initWithBundleAtPath(const std::string& path) {
    std::unique_ptr<DockTheme> theme(new DockTheme(path));
    theme->dock_infoDictionary = ThemeBundle::readInfo(path);
    const PlistValue* dictionary =
        theme->dock_infoDictionary ? &*theme->dock_infoDictionary : nullptr;
    if (!theme->_verifyConsistenceOfBundle(path, dictionary)) {
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

bool DockTheme::copyDataFromFolder(const std::string& folder) {
    for (const PlistValue& record : MiscKit::sharedFiles().dockFilesList()) {
        const std::string* original = record.stringFor("Original");
        if (!original || !ThemeBundle::isPlainFileName(*original)) {
            continue;
        }
        // Replaced whole or not at all: a failed copy never costs the bundle its image.
        FileManager::replaceFile(folder + "/" + *original,
                                 ThemeBundle::imagePath(dock_path, *original));
    }
    return true;
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
        return std::nullopt;
    }
    std::optional<std::string> oldName = getFileNameForKey(key, dockCat);
    std::string newPath = ThemeBundle::imagePath(dock_path, proposedName);
    Log::write("Copied new file at path: " + newPath);
    if (!FileManager::copyPath(path, newPath)) {
        Log::write("Could not copy " + path + " to " + newPath);
        return std::nullopt;
    }
    Log::write("Setting object: " + newPath + " forKey: " + key);
    PlistValue previous = *entries;
    entries->set(key, PlistValue(proposedName));
    Log::write("Write backup of " + indexFile());
    if (!backup()) {
        *entries = std::move(previous);
        FileManager::removePath(newPath);
        return std::nullopt;
    }
    // Only a plain name can be removed: a stranger's table may name "../x".
    if (oldName && ThemeBundle::isPlainFileName(*oldName)) {
        std::string oldPath = ThemeBundle::imagePath(dock_path, *oldName);
        Log::write("Removing file at path " + oldPath);
        FileManager::removePath(oldPath);
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
    auto table = dock_infoDictionary ? ThemeBundle::imageTable(*dock_infoDictionary) : std::nullopt;
    return table && std::any_of(table->begin(), table->end(), [&](const ThemeImage& image) {
               return image.fileName == fileName;
           });
}

std::optional<std::string> DockTheme::dockName() const {
    return stringFor("VL_DockName");
}

void DockTheme::setDockName(const std::string& name) {
    setString("VL_DockName", name);
}

std::optional<std::string> DockTheme::dockAuthor() const {
    return stringFor("VL_DockAuthor");
}

void DockTheme::setDockAuthor(const std::string& author) {
    setString("VL_DockAuthor", author);
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

std::optional<RichText> DockTheme::description() const {
    std::string path = ThemeBundle::descriptionPath(dock_path);
    if (!FileManager::fileExists(path)) {
        return RichText::fromPlainText("No Description Available");
    }
    auto bytes = FileManager::readFile(path);
    return bytes ? RtfReader::read(*bytes) : std::nullopt;
}

bool DockTheme::setDescription(const RichText& text) {
    return FileManager::writeFileAtomically(ThemeBundle::descriptionPath(dock_path),
                                            RtfWriter::write(text));
}

std::string DockTheme::previewDockPath(DockStyle dockStyle) const {
    return ThemeBundle::dockPreviewPath(dock_path, dockStyle);
}

bool DockTheme::existDockPreview(DockStyle dockStyle) const {
    return FileManager::fileExists(previewDockPath(dockStyle));
}

std::optional<std::string> DockTheme::dockMicroPreview() const {
    std::string path = ThemeBundle::microPreviewPath(dock_path);
    return FileManager::fileExists(path) ? std::optional<std::string>(path) : std::nullopt;
}

bool DockTheme::setDockMicroPreview(const std::string& path) {
    return FileManager::replaceFile(path, ThemeBundle::microPreviewPath(dock_path));
}

std::string DockTheme::indexFile() const {
    return ThemeBundle::infoPlistPath(dock_path);
}

std::string DockTheme::fullPath() {
    return (SystemPaths::resourceFolder() / "DefaultDock.docktheme").string();
}

bool DockTheme::backup() const {
    return dock_infoDictionary && PropertyList::write(indexFile(), *dock_infoDictionary);
}

void DockTheme::applyTheme() const {
    std::string tool = (SystemPaths::resourceFolder() / "VelvantoHelper").string();
    SXAuthentication& authorization = SXAuthentication::sharedInstance();
    authorization.authenticate({tool});
    authorization.executeCommand(tool, {dock_path});
}

DockTheme::DockTheme(std::string path) : dock_path(std::move(path)) {}

bool DockTheme::_verifyConsistenceOfBundle(const std::string& bundle,
                                           const PlistValue* dictionary) {
    dock_list = {};
    auto images = ThemeBundle::check(bundle, dictionary);
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

std::optional<std::string> DockTheme::stringFor(const char* key) const {
    const std::string* value = dock_infoDictionary ? dock_infoDictionary->stringFor(key) : nullptr;
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

void DockTheme::setString(const char* key, const std::string& value) {
    if (dock_infoDictionary) {
        dock_infoDictionary->set(key, PlistValue(value));
    }
}
