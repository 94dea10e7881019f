#include "platform/Renaming.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

// Whether the file system can't do what renameat2 was asked, rather than refusing it.
bool unsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

}  // namespace

bool Renaming::withoutReplacing(int fromFolder, const std::string& from, int toFolder,
                                const std::string& to) {
    if (::renameat2(fromFolder, from.c_str(), toFolder, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (!unsupported(errno)) {
        return false;
    }
    struct stat source {};
    struct stat taken {};
    if (::fstatat(fromFolder, from.c_str(), &source, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    if (::fstatat(toFolder, to.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    if (!S_ISDIR(source.st_mode)) {
        // A hard link fails when the name is taken, on every file system.
        return ::linkat(fromFolder, from.c_str(), toFolder, to.c_str(), 0) == 0 &&
               ::unlinkat(fromFolder, from.c_str(), 0) == 0;
    }
    // A folder renamed over anything but an empty folder fails (ENOTEMPTY, ENOTDIR).
    return ::renameat(fromFolder, from.c_str(), toFolder, to.c_str()) == 0;
}

bool Renaming::exchange(int fromFolder, const std::string& one, int toFolder,
                        const std::string& other) {
    if (::renameat2(fromFolder, one.c_str(), toFolder, other.c_str(), RENAME_EXCHANGE) == 0) {
        return true;
    }
    if (unsupported(errno)) {
        errno = EOPNOTSUPP;
    }
    return false;
}
