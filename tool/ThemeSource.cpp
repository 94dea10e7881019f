#include "tool/ThemeSource.h"

#include <fcntl.h>
#include <unistd.h>

#include <map>

#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/FileManager.h"
#include "platform/Log.h"

namespace {

Descriptor openFolder(int parent, const char* name, bool followLinks) {
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
    return Descriptor(::openat(parent, name, flags));
}

}  // namespace

ThemeSource::Plan ThemeSource::open(const std::string& bundle, const MiscKit& catalogue,
                                    bool followLink) {
    Plan plan;
    // The one lookup by path; everything below goes through this folder.
    Descriptor bundleFolder = openFolder(AT_FDCWD, bundle.c_str(), followLink);
    if (!bundleFolder.valid()) {
        return plan;
    }
    plan.outcome = Outcome::Defective;
    std::optional<PlistValue> info = ThemeBundle::readInfo(bundleFolder.get());
    if (!info) {
        return plan;
    }
    auto table = ThemeBundle::imageTable(*info);
    if (!table || table->size() > kMaxTableEntries) {
        return plan;
    }
    plan.outcome = Outcome::UnusableImage;
    const std::optional<ThemeBundle::ImageBase> base = ThemeBundle::installBase(*info);
    Descriptor imagesFolder;
    std::map<std::string, std::size_t> stepFor;  // Dock file name -> index in steps
    for (const ThemeImage& image : *table) {
        auto original = catalogue.getOriginalFileNameForKey(image.key);
        if (!original || !ThemeBundle::isPlainFileName(*original)) {
            Log::write("No Dock file name for key " + Log::escaped(image.key) + ", skipped");
            continue;
        }
        if (!base || !ThemeBundle::isPlainFileName(image.fileName)) {
            return plan;
        }
        if (!imagesFolder.valid()) {
            imagesFolder =
                Descriptor(FileManager::openFolderBelow(bundleFolder.get(), base->folder, false));
            if (!imagesFolder.valid()) {
                return plan;
            }
        }
        Descriptor file(FileManager::openRegularFile(base->prefix + image.fileName, false,
                                                     imagesFolder.get(), kMaxImageBytes));
        if (!file.valid()) {
            return plan;
        }
        InstallStep step{bundle + "/" + base->relative(image.fileName), *original, std::move(file)};
        auto [at, added] = stepFor.emplace(*original, plan.steps.size());
        if (added) {
            plan.steps.push_back(std::move(step));
        } else {
            plan.steps[at->second] = std::move(step);
        }
    }
    plan.outcome = Outcome::Ready;
    return plan;
}
