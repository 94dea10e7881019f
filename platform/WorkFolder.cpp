#include "platform/WorkFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/FolderTree.h"
#include "platform/Log.h"

Descriptor WorkFolder::make(const std::string& folder, const std::string& prefix,
                            std::string& name) {
    // Between mkdtemp and the lock another run's sweep may take the folder:
    // a folder removed under the lock has no links left, and a new one is made.
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string path = folder + "/" + prefix + "XXXXXX";
        if (!::mkdtemp(path.data())) {
            return Descriptor();
        }
        name = path.substr(folder.size() + 1);
        Descriptor made(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
        struct stat info {};
        if (!made.valid() || ::flock(made.get(), LOCK_EX) != 0 || ::fstat(made.get(), &info) != 0) {
            const int error = errno;
            ::rmdir(path.c_str());
            errno = error;
            return Descriptor();
        }
        if (info.st_nlink > 0) {
            return made;
        }
    }
    errno = EAGAIN;
    return Descriptor();
}

void WorkFolder::removeLeftovers(const std::string& folder, const std::string& prefix) {
    Descriptor target(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!target.valid()) {
        return;
    }
    for (const std::string& name : FolderTree::namesStartingWith(target.get(), prefix)) {
        Descriptor leftover(
            ::openat(target.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
        if (leftover.valid() && ::flock(leftover.get(), LOCK_EX | LOCK_NB) == 0) {
            Log::write("Removing the leftover " + Log::escaped(folder + "/" + name));
            FolderTree::remove(target.get(), name);
        }
    }
}
