// Feeds arbitrary bytes, as a theme archive from a stranger, through the
// importer: libarchive's reading, the name and size checks, the unpacking
// into a temporary folder and the theme check. Besides crashes and undefined
// behaviour it stops when anything is written outside that folder's theme,
// or an accepted archive has no theme folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/MiscKit.h"
#include "model/ThemeArchive.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/FolderTree.h"

namespace {

// A folder of this process's own, made once: the archive and the unpacking go there.
const std::string& scratch() {
    static const std::string folder = [] {
        std::string path =
            (std::filesystem::temp_directory_path() / "archive-fuzz-XXXXXX").string();
        if (!::mkdtemp(path.data())) {
            std::abort();
        }
        return path;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const MiscKit catalogue(VELVANTO_SOURCE_DIR "/resources/DatabaseInfo.plist");
    const std::string archive = scratch() + "/input";
    const std::string into = scratch() + "/into";
    if (!FileManager::writeFileAtomically(archive,
                                          std::string(reinterpret_cast<const char*>(data), size)) ||
        ::mkdir(into.c_str(), 0755) != 0) {
        std::abort();
    }
    Descriptor folder(::open(into.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::string why;
    std::optional<std::string> name =
        ThemeArchive::extract(archive, folder.get(), into, catalogue, {}, &why);
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(into)) {
        ++entries;
        // Only the theme's folder is ever made at the top.
        if (!entry.is_directory() || !entry.path().filename().string().ends_with(".docktheme")) {
            std::abort();
        }
    }
    if ((name && entries != 1) || entries > 1 || (!name && why.empty())) {
        std::abort();
    }
    Descriptor top(::open(scratch().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!FolderTree::remove(top.get(), "into")) {
        std::abort();
    }
    return 0;
}
