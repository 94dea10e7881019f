#include "model/ThemeCheck.h"

#include <dirent.h>
#include <fcntl.h>

#include <cerrno>

#include <cmath>
#include <cstddef>
#include <map>
#include <set>
#include <utility>

#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/FileManager.h"

namespace {

using Severity = ThemeFinding::Severity;
using Entry = BundleFolder::Entry;

constexpr const char* kNoLinks = "; the apply tool reads no links.";

// A bound in MiB, as the sentences say it.
std::string mebibytes(std::size_t bytes) {
    return std::to_string(bytes >> 20) + " MiB";
}

// A count with a comma between thousands ("1,000").
std::string counted(std::size_t count) {
    std::string digits = std::to_string(count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

std::string sizeText(double width, double height) {
    return std::to_string(std::lround(width)) + " \u00d7 " + std::to_string(std::lround(height));
}

// Findings gathered apart by severity, errors first in the result.
struct Report {
    std::vector<ThemeFinding> errors;
    std::vector<ThemeFinding> warnings;

    void error(std::string key, std::string file, std::string sentence) {
        errors.push_back({Severity::Error, std::move(key), std::move(file), std::move(sentence)});
    }
    void warning(std::string key, std::string file, std::string sentence) {
        warnings.push_back(
            {Severity::Warning, std::move(key), std::move(file), std::move(sentence)});
    }
    std::vector<ThemeFinding> all() {
        errors.insert(errors.end(), warnings.begin(), warnings.end());
        return std::move(errors);
    }
};

// Why the entry at relative (named so in the sentence) is no file to read,
// or nothing when it is a regular file.
std::optional<std::string> notRegular(const BundleFolder& bundle, const std::string& relative,
                                      const std::string& named) {
    switch (bundle.entryAt(relative)) {
        case Entry::None:
            return named + " is missing.";
        case Entry::Link:
            return named + " is a link" + kNoLinks;
        case Entry::Folder:
            return named + " is a folder, not a file.";
        case Entry::Other:
            return named + " is not a plain file (a FIFO, a device or a socket).";
        case Entry::Regular:
            break;
    }
    return std::nullopt;
}

// Why Info.plist did not read, from what is there.
std::string infoProblem(const BundleFolder& bundle) {
    const std::string name = "Info.plist";
    if (auto problem = notRegular(bundle, name, name)) {
        return *problem;
    }
    if (bundle.fileSize(name).value_or(0) > ThemeBundle::kMaxInfoBytes) {
        return name + " is larger than " + mebibytes(ThemeBundle::kMaxInfoBytes) +
               ", more than the apply tool reads.";
    }
    return name + " is not a readable property list.";
}

// Why the image at relative can't be installed, or nothing when its header
// gives a size (which goes to size).
std::optional<std::string> imageProblem(const BundleFolder& bundle, const std::string& relative,
                                        const std::string& name, const ThemeCheck::Decoder& decoder,
                                        ImageSize& size) {
    const std::string image = "The image " + name;
    // Opened once; only an image that does not open is looked at again, for why.
    Descriptor file = bundle.openRegularFile(relative, ThemeBundle::kMaxImageBytes);
    if (!file.valid()) {
        if (errno == EFBIG) {
            return image + " is larger than " + mebibytes(ThemeBundle::kMaxImageBytes) + ".";
        }
        return notRegular(bundle, relative, image).value_or(image + " can't be opened.");
    }
    std::optional<ImageSize> read = ImageHeader::fromDescriptor(file.get());
    if (!read && decoder) {
        read = decoder(file.get());
    }
    if (!read) {
        return image + " can't be read as a picture.";
    }
    size = *read;
    return std::nullopt;
}

// Up to ThemeCheck::kMaxListed visible names of the images folder, never through a link.
std::vector<std::string> listImages(const BundleFolder& bundle, const std::string& relative) {
    std::vector<std::string> names;
    Descriptor folder(FileManager::openFolderBelow(bundle.fd(), relative, false));
    DIR* listing = folder.valid() ? ::fdopendir(folder.get()) : nullptr;
    if (!listing) {
        return names;
    }
    folder.release();  // the listing closes it
    for (std::size_t seen = 0; seen < ThemeCheck::kMaxListed; ++seen) {
        const dirent* entry = ::readdir(listing);
        if (!entry) {
            break;
        }
        // Hidden entries (".", "..", the system's and our writers' temporaries) are no images.
        if (entry->d_name[0] != '.') {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(listing);
    return names;
}

void checkImages(const BundleFolder& bundle, const std::vector<ThemeImage>& table,
                 const ThemeBundle::ImageBase& base, const MiscKit& catalogue,
                 const ThemeCheck::Decoder& decoder, Report& report) {
    const bool imagesLinked =
        bundle.entryAt(base.folder.empty() ? "images" : base.folder) == Entry::Link;
    bool linkReported = false;
    std::map<std::string, std::string> fileOf2D;
    for (const ThemeImage& image : table) {
        const std::string& key = image.key;
        const std::string relative = base.relative(image.fileName);
        if (image.category == DockCategory::TwoD) {
            fileOf2D.emplace(key, image.fileName);
        } else if (auto flat = fileOf2D.find(key);
                   flat != fileOf2D.end() && flat->second != image.fileName) {
            report.warning(key, relative,
                           key + " names " + flat->second + " for the 2D Dock and " +
                               image.fileName + " for the 3D Dock; the Dock shows " +
                               image.fileName + " in both styles.");
        }
        auto original = catalogue.getOriginalFileNameForKey(key);
        if (!original || !ThemeBundle::isPlainFileName(*original)) {
            report.warning(
                key, relative,
                "The Dock has no image for the key " + key + "; the apply tool skips it.");
            continue;
        }
        if (!ThemeBundle::isPlainFileName(image.fileName)) {
            report.error(key, image.fileName,
                         "The file name " + image.fileName + " leads outside the images folder.");
            continue;
        }
        if (imagesLinked) {
            if (!std::exchange(linkReported, true)) {
                report.error("", "images", std::string("The images folder is a link") + kNoLinks);
            }
            continue;
        }
        ImageSize size;
        if (auto problem = imageProblem(bundle, relative, image.fileName, decoder, size)) {
            report.error(key, relative, *problem);
            continue;
        }
        const DockSize drawn = catalogue.getSizeForFileKey(key);
        if (size.width > drawn.width || size.height > drawn.height) {
            report.warning(key, relative,
                           "Size is too big: " + sizeText(size.width, size.height) +
                               ", the Dock draws " + sizeText(drawn.width, drawn.height));
        }
    }
}

void checkUnnamed(const BundleFolder& bundle, const std::vector<ThemeImage>& table,
                  const ThemeBundle::ImageBase& base, Report& report) {
    if (base.folder.empty() || !base.prefix.empty()) {
        return;  // images beside the bundle's own files: no listing tells them apart
    }
    std::set<std::string> named;
    for (const ThemeImage& image : table) {
        named.insert(image.fileName);
    }
    for (const std::string& name : listImages(bundle, base.folder)) {
        if (!named.contains(name)) {
            report.warning("", base.relative(name),
                           "No key names the image " + name + "; it is never installed.");
        }
    }
}

void checkExtras(const BundleFolder& bundle, Report& report) {
    static const std::pair<const char*, const char*> kExtras[] = {
        {"preview_micro.png", "small preview"},
        {"preview_2d.png", "2D Dock screenshot"},
        {"preview_3d.png", "3D Dock screenshot"},
        {"description.rtf", "description"},
    };
    for (const auto& [file, what] : kExtras) {
        if (bundle.entryAt(file) != Entry::Regular) {
            report.warning("", file, std::string("The theme has no ") + what + " (" + file + ").");
        }
    }
}

}  // namespace

std::vector<ThemeFinding> ThemeCheck::check(const std::string& path, const MiscKit& catalogue,
                                            const Decoder& decoder) {
    std::shared_ptr<const BundleFolder> bundle = BundleFolder::open(path);
    if (!bundle) {
        Report report;
        report.error("", "", "The theme folder can't be opened.");
        return report.all();
    }
    return check(*bundle, catalogue, decoder);
}

std::vector<ThemeFinding> ThemeCheck::check(const BundleFolder& bundle, const MiscKit& catalogue,
                                            const Decoder& decoder) {
    Report report;
    std::optional<PlistValue> info = ThemeBundle::readInfo(bundle);
    std::optional<std::vector<ThemeImage>> table =
        info ? ThemeBundle::imageTable(*info) : std::nullopt;
    if (!info) {
        report.error("", "Info.plist", infoProblem(bundle));
    } else if (!table) {
        report.error("", "Info.plist",
                     "The image table (Dock_List) is damaged: it must be two dictionaries of "
                     "file names.");
    } else if (table->size() > ThemeBundle::kMaxTableEntries) {
        report.error("", "Info.plist",
                     "The image table has " + counted(table->size()) +
                         " entries; the apply tool reads at most " +
                         counted(ThemeBundle::kMaxTableEntries) + ".");
    } else if (const auto base = ThemeBundle::installBase(*info); !base) {
        report.error("", "Info.plist",
                     "The images folder (VL_BasePath) lies outside the theme: " +
                         ThemeBundle::editorBase(*info).value_or("") + ".");
    } else {
        checkImages(bundle, *table, *base, catalogue, decoder, report);
        checkUnnamed(bundle, *table, *base, report);
    }
    checkExtras(bundle, report);
    return report.all();
}

bool ThemeCheck::hasError(const std::vector<ThemeFinding>& findings) {
    return firstError(findings).has_value();
}

std::optional<std::string> ThemeCheck::firstError(const std::vector<ThemeFinding>& findings) {
    for (const ThemeFinding& finding : findings) {
        if (finding.severity == ThemeFinding::Severity::Error) {
            return finding.sentence;
        }
    }
    return std::nullopt;
}
