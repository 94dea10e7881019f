#include "tool/InstallTransaction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "tool/DockFolder.h"
#include "tool/FileFingerprint.h"

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

// Whether the file system can't do what renameat2 was asked, rather than refusing it.
bool unsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

}  // namespace

InstallTransaction::InstallTransaction(const DockFolder& folder,
                                       const std::vector<InstallStep>& steps,
                                       const std::vector<std::string>& removals)
    : folder_(folder) {
    entries_.reserve(steps.size() + removals.size());
    for (const InstallStep& step : steps) {
        entries_.push_back(Entry{&step, step.dockFileName, {}, false, std::nullopt, false, {}});
    }
    for (const std::string& name : removals) {
        entries_.push_back(Entry{nullptr, name, {}, false, std::nullopt, false, {}});
    }
}

InstallTransaction::~InstallTransaction() {
    for (const Entry& entry : entries_) {
        if (!entry.temporary.empty()) {
            ::unlinkat(folder_.fd(), entry.temporary.c_str(), 0);
        }
        // An image that could not be put back keeps its old one aside.
        if (entry.old && (committed_ || !entry.installed)) {
            ::unlinkat(folder_.fd(), entry.old->c_str(), 0);
        }
    }
}

bool InstallTransaction::stage() {
    for (Entry& entry : entries_) {
        std::string problem;
        if (!stageEntry(entry, problem)) {
            Log::write("Cannot install " + Log::escaped(folder_.pathOf(entry.name)) + ": " +
                       problem + "; the Dock was left as it was");
            return false;
        }
    }
    return true;
}

std::vector<InstallTransaction::Staged> InstallTransaction::staged() const {
    std::vector<Staged> copies;
    for (const Entry& entry : entries_) {
        if (entry.step) {
            copies.push_back(Staged{entry.name, entry.staged});
        }
    }
    return copies;
}

bool InstallTransaction::commit() {
    for (Entry& entry : entries_) {
        const std::string destination = Log::escaped(folder_.pathOf(entry.name));
        if (!entry.step && !entry.replaces) {
            continue;  // nothing there to remove
        }
        Log::write("Removing old file in DockApp: " + destination);
        bool installed = install(entry);
        Log::write(installed && entry.old ? "... Removed" : "... Not Removed");
        if (entry.step) {
            Log::write("Copy new file from path " + Log::escaped(entry.step->sourcePath) +
                       " \n....... to path:" + destination);
            Log::write(installed ? "... Copied" : "... Not Copied");
        }
        if (!installed) {
            putBack();
            Log::write("The Dock's images were put back as they were");
            return false;
        }
    }
    committed_ = true;
    return true;
}

bool InstallTransaction::stageEntry(Entry& entry, std::string& problem) {
    struct stat existing {};
    if (::fstatat(folder_.fd(), entry.name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            problem = "a folder is in the way";
            return false;
        }
        entry.replaces = true;
    } else if (errno != ENOENT) {
        problem = reason(errno);
        return false;
    }
    if (!entry.step) {
        return true;  // a removal: nothing to copy
    }
    std::string temporary = newTemporaryName("new");
    // Readable by everyone, as the Dock's own images are; the tool's umask is 022.
    Descriptor copy(::openat(folder_.fd(), temporary.c_str(),
                             O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!copy.valid()) {
        problem = reason(errno);
        return false;
    }
    entry.temporary = temporary;
    // What the copy holds is read back from it: what goes in place, not what the source holds now.
    if (!FileManager::copyDescriptor(entry.step->file.get(), copy.get(),
                                     ThemeSource::kMaxImageBytes) ||
        ::lseek(copy.get(), 0, SEEK_SET) != 0 ||
        !FileFingerprint::take(copy.get(), -1, ThemeSource::kMaxImageBytes, entry.staged)) {
        problem = reason(errno);
        return false;
    }
    return true;
}

bool InstallTransaction::install(Entry& entry) {
    const int folder = folder_.fd();
    const char* name = entry.name.c_str();
    if (!entry.step) {
        // A removal: the image only goes aside, so that it can be put back.
        std::string aside = newTemporaryName("old");
        if (::renameat(folder, name, folder, aside.c_str()) != 0) {
            return false;
        }
        entry.old = aside;
        return entry.installed = true;
    }
    const char* temporary = entry.temporary.c_str();
    if (!entry.replaces) {
        // Never over an image that appeared since it was staged: that one could not be put back.
        bool placed = ::renameat2(folder, temporary, folder, name, RENAME_NOREPLACE) == 0;
        if (!placed && unsupported(errno)) {
            placed = ::linkat(folder, temporary, folder, name, 0) == 0;
            if (placed) {
                ::unlinkat(folder, temporary, 0);
            }
        }
        if (placed) {
            entry.temporary.clear();
        }
        return entry.installed = placed;
    }
    // The new image and the old one trade names: the old one stays, under the
    // staged copy's name, until every image is in place.
    if (::renameat2(folder, temporary, folder, name, RENAME_EXCHANGE) == 0) {
        entry.old = std::move(entry.temporary);
        entry.temporary.clear();
        return entry.installed = true;
    }
    if (!unsupported(errno)) {
        return false;
    }
    // Where names can't be traded, the old image gets a second name first.
    std::string aside = newTemporaryName("old");
    if (::linkat(folder, name, folder, aside.c_str(), 0) != 0) {
        return false;
    }
    if (::renameat(folder, temporary, folder, name) != 0) {
        ::unlinkat(folder, aside.c_str(), 0);
        return false;
    }
    entry.old = aside;
    entry.temporary.clear();
    return entry.installed = true;
}

void InstallTransaction::putBack() {
    for (Entry& entry : entries_) {
        if (!entry.installed) {
            continue;
        }
        const char* name = entry.name.c_str();
        bool restored = entry.old
                            ? ::renameat(folder_.fd(), entry.old->c_str(), folder_.fd(), name) == 0
                            : ::unlinkat(folder_.fd(), name, 0) == 0;
        if (restored) {
            entry.installed = false;
            entry.old.reset();
        } else {
            Log::write("Could not put back " + Log::escaped(folder_.pathOf(name)) + ": " +
                       reason(errno));
        }
    }
}

std::string InstallTransaction::newTemporaryName(const char* role) {
    return std::string(DockFolder::kTemporaryPrefix) + std::to_string(pid_) + "-" +
           std::to_string(serial_++) + "." + role;
}
