#include "platform/WorkFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/FolderTree.h"
#include "platform/Log.h"

Descriptor WorkFolder::make(const std::string& folder, const std::string& prefix,
                            std::string& name) {
    std::string path = folder + "/" + prefix + "XXXXXX";
    if (!::mkdtemp(path.data())) {
        return Descriptor();
    }
    name = path.substr(folder.size() + 1);
    Descriptor made(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    if (made.valid() && ::flock(made.get(), LOCK_EX) != 0) {
        const int error = errno;
        ::rmdir(path.c_str());
        errno = error;
        return Descriptor();
    }
    return made;
}

void WorkFolder::removeLeftovers(const std::string& folder, const std::string& prefix) {
    Descriptor target(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::vector<FolderTree::Entry> entries;
    if (!target.valid() || !FolderTree::list(target.get(), entries)) {
        return;
    }
    for (const FolderTree::Entry& entry : entries) {
        if (!entry.name.starts_with(prefix)) {
            continue;
        }
        Descriptor leftover(::openat(target.get(), entry.name.c_str(),
                                     O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
        if (leftover.valid() && ::flock(leftover.get(), LOCK_EX | LOCK_NB) == 0) {
            Log::write("Removing the leftover " + Log::escaped(folder + "/" + entry.name));
            FolderTree::remove(target.get(), entry.name);
        }
    }
}
