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

std::string ThemeBundle::ImageBase::relative(const std::string& fileName) const {
    return folder.empty() ? prefix + fileName : folder + "/" + prefix + fileName;
}

std::optional<ThemeBundle::ImageBase> ThemeBundle::imageBase(const std::string& basePath) {
    if (basePath.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::vector<std::string> folders;
    std::size_t start = 0;
    for (std::size_t slash; (slash = basePath.find('/', start)) != std::string::npos;
         start = slash + 1) {
        const std::string component = basePath.substr(start, slash - start);
        if (component == "..") {
            if (folders.empty()) {
                return std::nullopt;
            }
            folders.pop_back();
        } else if (!component.empty() && component != ".") {
            folders.push_back(component);
        }
    }
    ImageBase base{"", basePath.substr(start)};
    for (const std::string& folder : folders) {
        base.folder += (base.folder.empty() ? "" : "/") + folder;
    }
    return base;
}

std::optional<ThemeBundle::ImageBase> ThemeBundle::imageBase(const PlistValue& info) {
    const std::optional<std::string> written = editorBase(info);
    return written ? imageBase(*written) : std::nullopt;
}

std::optional<ThemeBundle::ImageBase> ThemeBundle::installBase(const PlistValue& info) {
    return editorBase(info) ? imageBase(info) : imageBase(std::string(kBasePath));
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
    const bool written = editorBase(info).has_value();
    const std::optional<ImageBase> base = imageBase(info);
    const std::string folder = base && !base->folder.empty() ? base->folder : "images";
    if (entryAt(folder) == BundleFolder::Entry::Link) {
        Log::write("The images folder of " + path + " is a link");
        return refuse("its images folder is a link to another place");
    }
    for (ThemeImage& image : *images) {
        // Without a base no image can be found.
        image.relative = base ? base->relative(image.fileName) : image.fileName;
        image.path = base ? pathOf(image.relative) : image.fileName;
        const std::string named = " (key: " + image.key + ") " + image.path;
        if (written && (!base || !isPlainFileName(image.fileName) ||
                        !BundleFolder::isConfined(image.relative))) {
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
