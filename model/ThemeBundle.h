#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/DockStyle.h"
#include "platform/BundleFolder.h"
#include "platform/PlistValue.h"

// One image of a theme's image table, with the path the editor reads it from.
struct ThemeImage {
    DockCategory category = DockCategory::TwoD;
    std::string key;
    std::string fileName;
    std::string path;
    std::string relative;  // the same file, relative to the bundle folder
};

// The ".docktheme" bundle format: where each part lives, how the image table
// in Info.plist ("Dock_List": two dictionaries, 2D then 3D, file key to file
// name) is read, and the validity check. The one place that knows the format;
// the theme document and the apply tool both go through it. Stateless;
// any thread may call.
class ThemeBundle {
public:
    static constexpr int kCategoryCount = 2;
    static constexpr const char* kExtension = "docktheme";
    static constexpr const char* kBasePath = "images/";
    // Info.plist's keys of the theme's name and author.
    static constexpr const char* kNameKey = "VL_DockName";
    static constexpr const char* kAuthorKey = "VL_DockAuthor";
    // What a reader takes from a stranger's bundle, the apply tool and the editor alike.
    static constexpr std::size_t kMaxInfoBytes = 1024 * 1024;
    static constexpr std::size_t kMaxTableEntries = 1000;
    static constexpr std::size_t kMaxImageBytes = 16 * 1024 * 1024;
    // Pictures whose pixels would need more MiB than this are not decoded.
    static constexpr int kMaxImageAllocationMb = 256;
    // The files of a bundle besides its images, for sweeping temporaries.
    static const std::vector<std::string>& topLevelFiles();

    static std::string infoPlistPath(const std::string& bundle);
    static std::string imagesFolder(const std::string& bundle);
    // "%@/images/%@": where writers store an image and the apply tool reads it.
    static std::string imagePath(const std::string& bundle, const std::string& fileName);
    static std::string descriptionPath(const std::string& bundle);
    static std::string microPreviewPath(const std::string& bundle);
    // "%@/preview_%@.png" with "2d" for the 2D style, "3d" for the 3D style.
    static std::string dockPreviewPath(const std::string& bundle, DockStyle dockStyle);

    // Info.plist's top-level dictionary, of at most kMaxInfoBytes, never read
    // through a link; nothing when missing, unreadable or of another shape.
    static std::optional<PlistValue> readInfo(const BundleFolder& bundle);
    // The same in the bundle folder open as folderFd.
    static std::optional<PlistValue> readInfo(int folderFd);

    // The image table, 2D entries first, each category in the file's key order
    // (paths left empty). Nothing when "Dock_List" is present but not an array
    // of exactly two dictionaries that map keys to strings.
    static std::optional<std::vector<ThemeImage>> imageTable(const PlistValue& info);
    // Entry category of "Dock_List"; nullptr when absent or not a dictionary.
    static const PlistValue* categoryDictionary(const PlistValue& info, DockCategory category);
    static PlistValue* categoryDictionary(PlistValue& info, DockCategory category);

    // "VL_BasePath", as written; nothing when the key is missing.
    static std::optional<std::string> editorBase(const PlistValue& info);

    // Where the table's images live: a file name is joined to the base as
    // written ("%@%@"), so the base is a folder below the bundle ("images",
    // "" for the bundle itself) and what its last component puts before each
    // name ("" for a base ending in "/"). The one resolver of image paths:
    // the document, the check, the command line and the apply tool all read
    // and write images where it says.
    struct ImageBase {
        std::string folder;
        std::string prefix;
        // The image fileName relative to the bundle.
        std::string relative(const std::string& fileName) const;
    };
    // The base basePath names, "." and empty components left out and ".."
    // taking back the one before; nothing when it leaves the bundle or holds NUL.
    static std::optional<ImageBase> imageBase(const std::string& basePath);
    // The base of info's "VL_BasePath"; nothing when it is missing or leaves the bundle.
    static std::optional<ImageBase> imageBase(const PlistValue& info);
    // The base the apply tool and the theme check read from: info's, or
    // kBasePath when "VL_BasePath" is missing (as themes of old tools have it).
    static std::optional<ImageBase> installBase(const PlistValue& info);

    // The validity check: every file the table names must exist at its editor
    // path, 2D keys first, each category in the file's key order. Logs
    // "Missing (key: %@) %@" at the first missing file and gives nothing; a
    // table of the wrong shape or size gives nothing too. A stranger's bundle
    // may not lead outside itself: a name or base that leaves the bundle, an
    // image reached through a link or an images folder that is a link make it
    // defective. whyNot, when given, gets a sentence for the user on failure.
    static std::optional<std::vector<ThemeImage>> check(const BundleFolder& bundle,
                                                        const PlistValue& info,
                                                        std::string* whyNot = nullptr);
    // The same check of a bundle whose entries are known without looking
    // (one being made or just copied): entryAt tells what is at a path
    // relative to the bundle at path (which names it in paths and log lines).
    using EntryAt = std::function<BundleFolder::Entry(const std::string& relative)>;
    static std::optional<std::vector<ThemeImage>> check(const std::string& path,
                                                        const EntryAt& entryAt,
                                                        const PlistValue& info,
                                                        std::string* whyNot = nullptr);

    // A bare file name: not empty, no "/", no NUL, not "." or "..".
    static bool isPlainFileName(const std::string& name);
};
