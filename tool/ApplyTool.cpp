#include "tool/ApplyTool.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/Process.h"
#include "platform/SystemPaths.h"

namespace {

// Owns one open file descriptor.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// One image to install: an open regular file of the bundle and where it goes.
struct Step {
    std::string source;
    std::string destination;
    Descriptor file;
};

// Opens name inside the images folder as a regular file, never through a link.
Descriptor openImage(int imagesFolder, const std::string& name) {
    if (imagesFolder < 0 || !ThemeBundle::isPlainFileName(name)) {
        return Descriptor();
    }
    return Descriptor(FileManager::openRegularFile(name, false, imagesFolder));
}

// The images to install, 2D category first, each in the table's own order;
// nothing when the table is defective or an image is missing or unusable.
std::optional<std::vector<Step>> planSteps(const std::string& bundle, const PlistValue& info,
                                           const MiscKit& catalogue) {
    auto table = ThemeBundle::imageTable(info);
    if (!table) {
        Log::write("Cannot apply theme " + bundle);
        return std::nullopt;
    }
    // The images folder itself must not be a link that leads out of the bundle.
    Descriptor imagesFolder(::open(ThemeBundle::imagesFolder(bundle).c_str(),
                                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    std::string resources = SystemPaths::dockResourcesFolder();
    std::vector<Step> steps;
    for (const ThemeImage& image : *table) {
        Descriptor file = openImage(imagesFolder.get(), image.fileName);
        if (!file.valid()) {
            return std::nullopt;
        }
        auto original = catalogue.getOriginalFileNameForKey(image.key);
        if (!original || !ThemeBundle::isPlainFileName(*original)) {
            Log::write("No Dock file name for key " + image.key + ", skipped");
            continue;
        }
        steps.push_back(Step{ThemeBundle::imagePath(bundle, image.fileName),
                             resources + "/" + *original, std::move(file)});
    }
    return steps;
}

void install(const Step& step) {
    Log::write("Removing old file in DockApp: " + step.destination);
    struct stat old {};
    bool existed = ::lstat(step.destination.c_str(), &old) == 0;
    bool replaced = FileManager::replaceFileFromDescriptor(step.file.get(), step.destination);
    Log::write(existed && replaced ? "... Removed" : "... Not Removed");
    Log::write("Copy new file from path " + step.source + " \n....... to path:" + step.destination);
    Log::write(replaced ? "... Copied" : "... Not Copied");
}

}  // namespace

ApplyTool::ApplyTool(const MiscKit& catalogue) : catalogue_(catalogue) {}

int ApplyTool::run(const std::vector<std::string>& arguments) const {
    Log::write("Hello, World!");
    if (arguments.empty() || arguments[0].empty() || !FileManager::fileExists(arguments[0])) {
        Log::write("Cannot apply theme " +
                   (arguments.empty() ? std::string("(null)") : arguments[0]));
        return -1;
    }
    const std::string& bundle = arguments[0];
    std::vector<Step> steps;
    // An Info.plist that can't be read (or is a link) holds no images.
    if (auto info = ThemeBundle::readInfo(bundle, false)) {
        auto planned = planSteps(bundle, *info, catalogue_);
        if (!planned) {
            return -1;
        }
        steps = std::move(*planned);
    }
    for (const Step& step : steps) {
        install(step);
    }
    Log::write("Killing dock...");
    MiscKit::killdock();
    return 1;
}
