#include "tool/FileFingerprint.h"

#include <unistd.h>

#include <cerrno>

#include "platform/FileManager.h"
#include "platform/Sha256.h"

bool FileFingerprint::take(int from, int to, std::uint64_t maxBytes,
                           OriginalDockManifest::Fingerprint& print) {
    char buffer[64 * 1024];
    Sha256 hash;
    print.size = 0;
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            print.sha256 = hash.hex();
            return true;
        }
        print.size += static_cast<std::uint64_t>(got);
        if (print.size > maxBytes) {
            errno = EFBIG;
            return false;
        }
        hash.add(buffer, static_cast<std::size_t>(got));
        if (to >= 0 && !FileManager::writeAll(to, buffer, static_cast<std::size_t>(got))) {
            return false;
        }
    }
}
