#include "model/ThemeBundle.h"

#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/PropertyList.h"

std::string ThemeBundle::infoPlistPath(const std::string& bundle) {
    return bundle + "/Info.plist";
}

std::string ThemeBundle::imagesFolder(const std::string& bundle) {
    return bundle + "/images";
}

std::string ThemeBundle::imagePath(const std::string& bundle, const std::string& fileName) {
    return bundle + "/images/" + fileName;
}

std::string ThemeBundle::descriptionPath(const std::string& bundle) {
    return bundle + "/description.rtf";
}

std::string ThemeBundle::microPreviewPath(const std::string& bundle) {
    return bundle + "/preview_micro.png";
}

std::string ThemeBundle::dockPreviewPath(const std::string& bundle, int dockStyle) {
    return bundle + "/preview_" + (dockStyle == 1 ? "2d" : "3d") + ".png";
}

std::optional<PlistValue> ThemeBundle::readInfo(const std::string& bundle, bool followLinks) {
    return PropertyList::readDictionary(infoPlistPath(bundle), followLinks);
}

bool ThemeBundle::hasSoundImageTable(const PlistValue& info) {
    const PlistValue* list = info.find("Dock_List");
    if (!list) {
        return true;
    }
    const PlistValue::Array* categories = list->asArray();
    if (!categories || categories->size() != kCategoryCount) {
        return false;
    }
    for (const PlistValue& category : *categories) {
        const PlistValue::Dictionary* entries = category.asDictionary();
        if (!entries) {
            return false;
        }
        for (const auto& [key, fileName] : *entries) {
            if (!fileName.isString()) {
                return false;
            }
        }
    }
    return true;
}

const PlistValue* ThemeBundle::categoryDictionary(const PlistValue& info, int category) {
    const PlistValue* list = info.find("Dock_List");
    const PlistValue::Array* categories = list ? list->asArray() : nullptr;
    if (!categories || category < 0 || static_cast<std::size_t>(category) >= categories->size()) {
        return nullptr;
    }
    const PlistValue& entry = (*categories)[static_cast<std::size_t>(category)];
    return entry.isDictionary() ? &entry : nullptr;
}

PlistValue* ThemeBundle::categoryDictionary(PlistValue& info, int category) {
    return const_cast<PlistValue*>(categoryDictionary(std::as_const(info), category));
}

std::optional<std::string> ThemeBundle::editorBase(const std::string& bundle,
                                                   const PlistValue& info) {
    const std::string* basePath = info.stringFor("VL_BasePath");
    return basePath ? std::optional<std::string>(bundle + "/" + *basePath) : std::nullopt;
}

std::optional<std::vector<ThemeImage>> ThemeBundle::check(const std::string& bundle,
                                                          const PlistValue* info) {
    std::vector<ThemeImage> images;
    if (!info) {
        return images;
    }
    if (!hasSoundImageTable(*info)) {
        Log::write("Defective Dock_List in " + infoPlistPath(bundle));
        return std::nullopt;
    }
    std::optional<std::string> base = editorBase(bundle, *info);
    for (int category = 0; category < kCategoryCount; ++category) {
        const PlistValue* entries = categoryDictionary(*info, category);
        if (!entries) {
            continue;
        }
        for (const auto& [key, value] : *entries->asDictionary()) {
            const std::string& fileName = *value.asString();
            // Without a base no image can be found; the path is logged as the name alone.
            std::string path = base ? *base + fileName : fileName;
            if (!base || !FileManager::fileExists(path)) {
                Log::write("Missing (key: " + key + ") " + path);
                return std::nullopt;
            }
            images.push_back(ThemeImage{category, key, fileName, path});
        }
    }
    return images;
}

bool ThemeBundle::isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}
