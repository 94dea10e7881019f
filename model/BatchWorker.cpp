#include "model/BatchWorker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "model/BundleBuilder.h"
#include "platform/Descriptor.h"
#include "platform/FolderTree.h"
#include "platform/Log.h"
#include "platform/Renaming.h"
#include "platform/WorkFolder.h"

namespace fs = std::filesystem;

namespace {

std::string reasonOf(int error) {
    return error == 0 ? std::string("unknown error") : std::string(std::strerror(error));
}

std::string alreadyThere(const std::string& bundle) {
    return bundle + " is in the destination already; it was left untouched.";
}

// A new hidden folder for a row in destination, the bundle under a hidden
// name, held locked while it lives; its name goes to name.
Descriptor makeRowFolder(const std::string& destination, std::string& name) {
    Descriptor folder = WorkFolder::make(destination, BatchWorker::kTemporaryPrefix, name);
    if (folder.valid()) {
        // A bundle has the mode of a folder the user's programs make.
        ::fchmod(folder.get(), 0755);
    }
    return folder;
}

// The reason in a theme's "<what> could not be copied (<reason>)", or all of it.
std::string copyReason(const std::string& error) {
    const std::size_t open = error.rfind(" (");
    if (open == std::string::npos || !error.ends_with(')')) {
        return error;
    }
    return error.substr(open + 2, error.size() - open - 3);
}

// Fills the row folder rowFd (at rowPath), the bundle to be, from the
// template and the images of folder, named name; why it failed, or nothing.
std::string makeBundle(const std::string& folder, int rowFd, const std::string& rowPath,
                       const BundleBuilder::Naming& naming) {
    const BundleBuilder::Outcome outcome = BundleBuilder::fill(rowFd, rowPath, folder, naming);
    switch (outcome.failure) {
        case BundleBuilder::Failure::None:
            return {};
        case BundleBuilder::Failure::Template:
            return "The theme template could not be copied: " + reasonOf(outcome.error);
        case BundleBuilder::Failure::Source:
            return "The folder could not be read: " + reasonOf(outcome.error);
        case BundleBuilder::Failure::Damaged:
            return "The new theme does not open: " + outcome.why;
        case BundleBuilder::Failure::Info:
            return "Its Info.plist could not be written: " + reasonOf(outcome.error);
        case BundleBuilder::Failure::Images:
            break;
    }
    std::string names;
    for (const std::string& image : outcome.failed) {
        names += (names.empty() ? "" : ", ") + image;
    }
    return (outcome.failed.size() == 1 ? "The image " : "The images ") + names +
           " could not be copied: " + copyReason(outcome.why);
}

}  // namespace

BatchWorker::BatchWorker(std::vector<std::string> folders, std::string destination,
                         std::function<void()> wake)
    : folders_(std::move(folders)), destination_(std::move(destination)), wake_(std::move(wake)) {}

BatchWorker::~BatchWorker() {
    requestStop();
    join();
}

void BatchWorker::start() {
    thread_ = std::thread([this] { _batchTemesStart(); });
}

std::vector<BatchWorker::Step> BatchWorker::takeSteps(bool& finished) {
    std::vector<Step> steps;
    {
        std::lock_guard lock(mutex_);
        steps.swap(steps_);
        finished = finished_;
    }
    taken_.notify_all();
    return steps;
}

void BatchWorker::requestStop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    taken_.notify_all();
}

bool BatchWorker::stopRequested() const {
    std::lock_guard lock(mutex_);
    return stop_;
}

void BatchWorker::join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

BatchWorker::Step BatchWorker::convert(const std::string& folder, const std::string& destination) {
    // The bundle carries the folder's name on disk, not the template's.
    Step step = make(folder, destination, fs::path(folder).filename().string(), std::nullopt);
    if (step.reason.empty()) {
        step.status = _canCreateProblems(folder);
    }
    return step;
}

BatchWorker::Step BatchWorker::make(const std::string& imagesFrom, const std::string& destination,
                                    const std::string& name,
                                    const std::optional<std::string>& author) {
    const std::string bundle = name + ".docktheme";
    Step step{0, kError, {}};
    Descriptor target(::open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!target.valid()) {
        step.reason = "The destination folder can't be opened: " + reasonOf(errno);
        return step;
    }
    struct stat seen {};
    if (::fstatat(target.get(), bundle.c_str(), &seen, AT_SYMLINK_NOFOLLOW) == 0) {
        step.reason = alreadyThere(bundle);
        return step;
    }
    std::string rowName;
    Descriptor row = makeRowFolder(destination, rowName);
    if (!row.valid()) {
        step.reason = "No folder can be made in the destination: " + reasonOf(errno);
        return step;
    }
    step.reason = makeBundle(imagesFrom, row.get(), destination + "/" + rowName, {name, author});
    if (step.reason.empty() &&
        !Renaming::withoutReplacing(target.get(), rowName, target.get(), bundle)) {
        step.reason = errno == EEXIST ? alreadyThere(bundle)
                                      : bundle + " could not be given its name: " + reasonOf(errno);
    }
    // Only a failed row has anything to remove: no removal per row, which
    // would slow the making of files after it on some file systems.
    if (!step.reason.empty() && !FolderTree::remove(target.get(), rowName)) {
        Log::write("Cannot remove " + Log::escaped(destination + "/" + rowName));
    }
    if (step.reason.empty()) {
        step.status = kOk;
    }
    return step;
}

void BatchWorker::removeLeftovers(const std::string& destination) {
    WorkFolder::removeLeftovers(destination, kTemporaryPrefix);
}

bool BatchWorker::insideSource(const std::string& source, const std::string& destination) {
    std::error_code error;
    const fs::path from = fs::canonical(source, error);
    const fs::path to = error ? fs::path() : fs::canonical(destination, error);
    // Compared by component: "/themes-out" does not lie inside "/themes".
    return !error &&
           std::mismatch(from.begin(), from.end(), to.begin(), to.end()).first == from.end();
}

std::string BatchWorker::_canCreateProblems(const std::string& folder) {
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        // The listing tells the kind; only a link is looked at (a link to a folder counts).
        std::error_code kind;
        if (entry->is_directory(kind)) {
            return kNested;
        }
    }
    return kOk;
}

void BatchWorker::_batchTemesStart() {
    removeLeftovers(destination_);
    for (std::size_t row = 0; row < folders_.size(); ++row) {
        Step step = convert(folders_[row], destination_);
        step.row = row;
        {
            std::lock_guard lock(mutex_);
            steps_.push_back(std::move(step));
        }
        wake_();
        std::unique_lock lock(mutex_);
        taken_.wait(lock, [this] { return steps_.empty() || stop_; });
        if (stop_) {
            break;
        }
    }
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    wake_();
}
