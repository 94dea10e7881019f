#include "model/BatchWorker.h"

#include <algorithm>
#include <filesystem>

#include "model/BundleBuilder.h"

namespace fs = std::filesystem;

BatchWorker::Step BatchWorker::convert(const std::string& folder, const std::string& destination) {
    // The bundle carries the folder's name on disk, not the template's.
    const std::string name = fs::path(folder).filename().string();
    Step step{0,
              kError,
              BundleBuilder::make(destination, name + ".docktheme", folder, {name, std::nullopt}),
              {}};
    if (step.reason.empty()) {
        step.status = _canCreateProblems(folder);
        step.bundle = (fs::path(destination) / (name + ".docktheme")).string();
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
