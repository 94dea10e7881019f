#include "app/BatchWorker.h"

#include <filesystem>

#include "model/DockTheme.h"
#include "platform/FileManager.h"

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

void BatchWorker::_batchTemesStart() {
    for (std::size_t row = 0; row < folders_.size(); ++row) {
        std::string status = convert(folders_[row], destination_);
        {
            std::lock_guard lock(mutex_);
            steps_.push_back({row, std::move(status)});
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

std::string BatchWorker::convert(const std::string& folder, const std::string& destination) {
    const std::string name = fs::path(folder).filename().string();
    std::unique_ptr<DockTheme> theme =
        DockTheme::newDockBundleAtPath(destination + "/" + name + ".docktheme", name);
    // The bundle carries the folder's name on disk, not the template's.
    if (!theme || !theme->copyDataFromFolder(folder) || !theme->backup()) {
        return kError;
    }
    return _canCreateProblems(folder);
}

std::string BatchWorker::_canCreateProblems(const std::string& folder) {
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        if (FileManager::isDirectory(entry->path())) {
            return kNested;
        }
    }
    return kOk;
}
