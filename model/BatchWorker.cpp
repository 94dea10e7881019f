#include "model/BatchWorker.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "model/BundleBuilder.h"
#include "model/MiscKit.h"
#include "model/RichText.h"
#include "model/RtfWriter.h"
#include "platform/SystemPaths.h"

namespace fs = std::filesystem;

namespace {

// Whether folder has an entry, of any kind, named as the Dock names an image.
bool namesDockImage(const std::string& folder, std::error_code& error) {
    std::set<std::string> dockNames;
    for (const PlistValue& record : MiscKit::sharedFiles().dockFilesList()) {
        if (const std::string* original = record.stringFor("Original")) {
            dockNames.insert(*original);
        }
    }
    for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        if (dockNames.count(entry->path().filename().string()) > 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

BatchWorker::Step BatchWorker::convert(const std::string& folder, const std::string& destination) {
    // The bundle carries the folder's name on disk, not the template's.
    const std::string name = fs::path(folder).filename().string();
    Step step{0, kError, {}, {}};
    // A copy of the stock theme under the folder's name would pass for its
    // conversion. A folder that can't be read, and an entry in the bundle's
    // place, are make()'s to tell.
    std::error_code unreadable;
    std::error_code unseen;
    const bool taken =
        fs::symlink_status(fs::path(destination) / (name + ".docktheme"), unseen).type() !=
        fs::file_type::not_found;
    if (!taken && !namesDockImage(folder, unreadable) && !unreadable) {
        step.reason = kNoImages;
        step.tookNoImage = true;
        return step;
    }
    // Made by the user as New makes a theme: their name, no stock description.
    const BundleBuilder::Naming naming{name, SystemPaths::fullUserName(),
                                       RtfWriter::write(RichText())};
    step.reason = BundleBuilder::make(destination, name + ".docktheme", folder, naming);
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
