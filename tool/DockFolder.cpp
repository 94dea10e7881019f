#include "tool/DockFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/FileManager.h"
#include "platform/FolderTree.h"
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
    for (const std::string& name : FolderTree::namesStartingWith(folder_.get(), kTemporaryPrefix)) {
        ::unlinkat(folder_.get(), name.c_str(), 0);
    }
}

DockFolder::DockFolder(Descriptor folder, std::string path)
    : folder_(std::move(folder)), path_(std::move(path)) {}
