#include "model/ThemeBundle.h"

#include "platform/BundleFolder.h"
#include "platform/Log.h"
#include "platform/PropertyList.h"

const std::vector<std::string>& ThemeBundle::topLevelFiles() {
    static const std::vector<std::string> names = {
        "Info.plist", "description.rtf", "preview_micro.png", "preview_2d.png", "preview_3d.png"};
    return names;
}

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

std::optional<PlistValue> ThemeBundle::readInfo(const BundleFolder& bundle) {
    return readInfo(bundle.fd());
}

std::optional<PlistValue> ThemeBundle::readInfo(int folderFd) {
    PropertyList::Limits limits;
    limits.maxBytes = kMaxInfoBytes;
    return PropertyList::readDictionary("Info.plist", false, limits, folderFd);
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
            images.push_back(
                ThemeImage{*dockCategoryAt(category), key, *fileName.asString(), "", ""});
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

std::optional<std::string> ThemeBundle::editorBase(const PlistValue& info) {
    const std::string* basePath = info.stringFor("VL_BasePath");
    return basePath ? std::optional<std::string>(*basePath) : std::nullopt;
}

std::optional<std::vector<ThemeImage>> ThemeBundle::check(const BundleFolder& bundle,
                                                          const PlistValue& info,
                                                          std::string* whyNot) {
    return check(
        bundle.path(), [&bundle](const std::string& relative) { return bundle.entryAt(relative); },
        info, whyNot);
}

std::optional<std::vector<ThemeImage>> ThemeBundle::check(const std::string& path,
                                                          const EntryAt& entryAt,
                                                          const PlistValue& info,
                                                          std::string* whyNot) {
    auto pathOf = [&path](const std::string& relative) { return path + "/" + relative; };
    auto refuse = [whyNot](const std::string& why) {
        if (whyNot) {
            *whyNot = why;
        }
        return std::nullopt;
    };
    auto images = imageTable(info);
    if (!images || images->size() > kMaxTableEntries) {
        Log::write("Defective Dock_List in " + pathOf("Info.plist"));
        return refuse("its table of images (Dock_List) is damaged");
    }
    if (entryAt("images") == BundleFolder::Entry::Link) {
        Log::write("The images folder of " + path + " is a link");
        return refuse("its images folder is a link to another place");
    }
    std::optional<std::string> base = editorBase(info);
    for (ThemeImage& image : *images) {
        // Paths are joined as written ("%@%@"); without a base no image can be found.
        image.relative = base ? *base + image.fileName : image.fileName;
        image.path = base ? pathOf(image.relative) : image.fileName;
        const std::string named = " (key: " + image.key + ") " + image.path;
        if (base &&
            (!isPlainFileName(image.fileName) || !BundleFolder::isConfined(image.relative))) {
            Log::write("Outside the theme" + named);
            return refuse("the image of " + image.key + " lies outside the theme");
        }
        BundleFolder::Entry entry = base ? entryAt(image.relative) : BundleFolder::Entry::None;
        if (entry == BundleFolder::Entry::None) {
            Log::write("Missing" + named);
            return refuse("the image of " + image.key + " (" + image.fileName + ") is missing");
        }
        if (entry == BundleFolder::Entry::Link) {
            Log::write("A link" + named);
            return refuse("the image of " + image.key + " (" + image.fileName + ") is a link");
        }
    }
    return images;
}

bool ThemeBundle::isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}
