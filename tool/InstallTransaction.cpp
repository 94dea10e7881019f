#include "tool/InstallTransaction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "tool/DockFolder.h"

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

}  // namespace

InstallTransaction::InstallTransaction(const DockFolder& folder,
                                       const std::vector<InstallStep>& steps)
    : folder_(folder) {
    entries_.reserve(steps.size());
    for (const InstallStep& step : steps) {
        entries_.push_back(Entry{&step, {}, std::nullopt, false});
    }
}

InstallTransaction::~InstallTransaction() {
    for (const Entry& entry : entries_) {
        if (!entry.temporary.empty() && !entry.installed) {
            ::unlinkat(folder_.fd(), entry.temporary.c_str(), 0);
        }
        // An image that could not be put back keeps its old one aside.
        if (entry.aside && (committed_ || !entry.installed)) {
            ::unlinkat(folder_.fd(), entry.aside->c_str(), 0);
        }
    }
}

bool InstallTransaction::stage() {
    for (Entry& entry : entries_) {
        std::string problem;
        if (!stageEntry(entry, problem)) {
            Log::write("Cannot install " + Log::escaped(folder_.pathOf(entry.step->dockFileName)) +
                       ": " + problem + "; the Dock was left as it was");
            return false;
        }
    }
    return true;
}

bool InstallTransaction::commit() {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_[i];
        const std::string name = entry.step->dockFileName;
        const std::string destination = Log::escaped(folder_.pathOf(name));
        Log::write("Removing old file in DockApp: " + destination);
        bool renamed =
            ::renameat(folder_.fd(), entry.temporary.c_str(), folder_.fd(), name.c_str()) == 0;
        entry.installed = renamed;
        Log::write(renamed && entry.aside ? "... Removed" : "... Not Removed");
        Log::write("Copy new file from path " + Log::escaped(entry.step->sourcePath) +
                   " \n....... to path:" + destination);
        Log::write(renamed ? "... Copied" : "... Not Copied");
        if (!renamed) {
            putBack();
            Log::write("The Dock's images were put back as they were");
            return false;
        }
    }
    committed_ = true;
    return true;
}

bool InstallTransaction::stageEntry(Entry& entry, std::string& problem) {
    const char* name = entry.step->dockFileName.c_str();
    struct stat existing {};
    bool exists = ::fstatat(folder_.fd(), name, &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) {
        problem = reason(errno);
        return false;
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        problem = "a folder is in the way";
        return false;
    }
    std::string temporary = newTemporaryName("new");
    Descriptor copy(::openat(folder_.fd(), temporary.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!copy.valid()) {
        problem = reason(errno);
        return false;
    }
    entry.temporary = temporary;
    if (!FileManager::copyDescriptor(entry.step->file.get(), copy.get(),
                                     ThemeSource::kMaxImageBytes)) {
        problem = reason(errno);
        return false;
    }
    if (::fchmod(copy.get(), 0644) != 0) {
        problem = reason(errno);
        return false;
    }
    if (exists) {
        // A second name keeps the old image until every new one is in place;
        // an image that can't take one (immutable, append-only) can't be replaced.
        std::string aside = newTemporaryName("old");
        if (::linkat(folder_.fd(), name, folder_.fd(), aside.c_str(), 0) != 0) {
            problem = reason(errno);
            return false;
        }
        entry.aside = aside;
    }
    return true;
}

void InstallTransaction::putBack() {
    for (Entry& entry : entries_) {
        if (!entry.installed) {
            continue;
        }
        const char* name = entry.step->dockFileName.c_str();
        bool restored =
            entry.aside ? ::renameat(folder_.fd(), entry.aside->c_str(), folder_.fd(), name) == 0
                        : ::unlinkat(folder_.fd(), name, 0) == 0;
        if (restored) {
            entry.installed = false;
            entry.aside.reset();
        } else {
            Log::write("Could not put back " + Log::escaped(folder_.pathOf(name)) + ": " +
                       reason(errno));
        }
    }
}

std::string InstallTransaction::newTemporaryName(const char* role) {
    return std::string(DockFolder::kTemporaryPrefix) + std::to_string(::getpid()) + "-" +
           std::to_string(serial_++) + "." + role;
}
