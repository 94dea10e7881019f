#include "dock/StandInRoot.h"

#include <cstdlib>

#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/PropertyList.h"
#include "platform/SystemPaths.h"

namespace fs = std::filesystem;

bool StandInRoot::prepare(const fs::path& root, const std::string& theme,
                          const MiscKit& catalogue) {
    fs::path folder = SystemPaths::dockResourcesFolder(root.string());
    std::error_code error;
    if (fs::symlink_status(folder, error).type() == fs::file_type::not_found &&
        !fillResources(folder, theme, catalogue)) {
        return false;
    }
    return FileManager::fileExists(SystemPaths::dockPreferencesPath()) || writePreferences();
}

bool StandInRoot::fillResources(const fs::path& folder, const std::string& theme,
                                const MiscKit& catalogue) {
    auto bundle = BundleFolder::open(theme);
    auto info = bundle ? ThemeBundle::readInfo(*bundle) : std::nullopt;
    auto images = info ? ThemeBundle::check(*bundle, *info) : std::nullopt;
    if (!images) {
        Log::write("Cannot read the theme " + theme);
        return false;
    }
    std::error_code error;
    fs::create_directories(folder.parent_path(), error);
    std::string pattern = (folder.parent_path() / ".Resources-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        Log::write("Cannot make " + folder.string());
        return false;
    }
    fs::path partial = pattern;
    bool ok = true;
    for (const ThemeImage& image : *images) {
        auto original = catalogue.getOriginalFileNameForKey(image.key);
        if (!original || !ThemeBundle::isPlainFileName(*original) ||
            FileManager::fileExists(partial / *original)) {
            continue;
        }
        ok = ok && FileManager::copyPath(image.path, partial / *original);
    }
    fs::permissions(partial,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    error);
    if (ok) {
        fs::rename(partial, folder, error);
        ok = !error;
    }
    if (!ok) {
        FileManager::removePath(partial);
        Log::write("Cannot fill " + folder.string() + " from " + theme);
        return false;
    }
    Log::write("Filled " + folder.string() + " from " + theme);
    return true;
}

bool StandInRoot::writePreferences() {
    fs::path path = SystemPaths::dockPreferencesPath();
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    PlistValue preferences = PlistValue::dictionary();
    preferences.set("tilesize", PlistValue(64));
    if (!PropertyList::write(path, preferences)) {
        Log::write("Cannot write " + path.string());
        return false;
    }
    return true;
}
