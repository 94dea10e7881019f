#include "tool/DockFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/FileManager.h"
#include "platform/SystemPaths.h"

std::optional<DockFolder> DockFolder::open(const std::string& root) {
    Descriptor folder(FileManager::openFolderBelow(root, SystemPaths::kDockResourcesBelowRoot));
    if (!folder.valid()) {
        return std::nullopt;
    }
    return DockFolder(std::move(folder), SystemPaths::dockResourcesFolder(root));
}

void DockFolder::lock() const {
    while (::flock(folder_.get(), LOCK_EX) != 0 && errno == EINTR) {
    }
}

void DockFolder::removeLeftovers() const {
    int listing = ::openat(folder_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!entries) {
        if (listing >= 0) {
            ::close(listing);
        }
        return;
    }
    std::vector<std::string> leftovers;
    std::string prefix = kTemporaryPrefix;
    while (struct dirent* entry = ::readdir(entries)) {
        if (std::string_view(entry->d_name).starts_with(prefix)) {
            leftovers.emplace_back(entry->d_name);
        }
    }
    ::closedir(entries);
    for (const std::string& name : leftovers) {
        ::unlinkat(folder_.get(), name.c_str(), 0);
    }
}

DockFolder::DockFolder(Descriptor folder, std::string path)
    : folder_(std::move(folder)), path_(std::move(path)) {}
