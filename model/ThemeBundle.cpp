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

std::string ThemeBundle::dockPreviewPath(const std::string& bundle, DockStyle dockStyle) {
    return bundle + "/preview_" + (dockStyle == DockStyle::TwoD ? "2d" : "3d") + ".png";
}

std::optional<PlistValue> ThemeBundle::readInfo(const std::string& bundle, bool followLinks) {
    return PropertyList::readDictionary(infoPlistPath(bundle), followLinks);
}

std::optional<std::vector<ThemeImage>> ThemeBundle::imageTable(const PlistValue& info) {
    std::vector<ThemeImage> images;
    const PlistValue* list = info.find("Dock_List");
    if (!list) {
        return images;
    }
    const PlistValue::Array* categories = list->asArray();
    if (!categories || categories->size() != kCategoryCount) {
        return std::nullopt;
    }
    for (int category = 0; category < kCategoryCount; ++category) {
        const PlistValue::Dictionary* entries = (*categories)[category].asDictionary();
        if (!entries) {
            return std::nullopt;
        }
        for (const auto& [key, fileName] : *entries) {
            if (!fileName.isString()) {
                return std::nullopt;
            }
            images.push_back(ThemeImage{*dockCategoryAt(category), key, *fileName.asString(), ""});
        }
    }
    return images;
}

const PlistValue* ThemeBundle::categoryDictionary(const PlistValue& info, DockCategory category) {
    const PlistValue* list = info.find("Dock_List");
    const PlistValue::Array* categories = list ? list->asArray() : nullptr;
    auto index = static_cast<std::size_t>(indexOf(category));
    if (!categories || index >= categories->size()) {
        return nullptr;
    }
    const PlistValue& entry = (*categories)[index];
    return entry.isDictionary() ? &entry : nullptr;
}

PlistValue* ThemeBundle::categoryDictionary(PlistValue& info, DockCategory category) {
    return const_cast<PlistValue*>(categoryDictionary(std::as_const(info), category));
}

std::optional<std::string> ThemeBundle::editorBase(const std::string& bundle,
                                                   const PlistValue& info) {
    const std::string* basePath = info.stringFor("VL_BasePath");
    return basePath ? std::optional<std::string>(bundle + "/" + *basePath) : std::nullopt;
}

std::optional<std::vector<ThemeImage>> ThemeBundle::check(const std::string& bundle,
                                                          const PlistValue* info) {
    if (!info) {
        return std::vector<ThemeImage>{};
    }
    auto images = imageTable(*info);
    if (!images) {
        Log::write("Defective Dock_List in " + infoPlistPath(bundle));
        return std::nullopt;
    }
    std::optional<std::string> base = editorBase(bundle, *info);
    for (ThemeImage& image : *images) {
        // Without a base no image can be found; the path is logged as the name alone.
        image.path = base ? *base + image.fileName : image.fileName;
        if (!base || !FileManager::fileExists(image.path)) {
            Log::write("Missing (key: " + image.key + ") " + image.path);
            return std::nullopt;
        }
    }
    return images;
}

bool ThemeBundle::isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}
