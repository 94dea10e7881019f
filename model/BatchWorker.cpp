#include "model/BatchWorker.h"

#include <algorithm>
#include <filesystem>

#include "model/BundleBuilder.h"

namespace fs = std::filesystem;

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
    const std::string name = fs::path(folder).filename().string();
    Step step{0, kError,
              BundleBuilder::make(destination, name + ".docktheme", folder, {name, std::nullopt})};
    if (step.reason.empty()) {
        step.status = _canCreateProblems(folder);
    }
    return step;
}

void BatchWorker::removeLeftovers(const std::string& destination) {
    BundleBuilder::removeLeftovers(destination);
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
