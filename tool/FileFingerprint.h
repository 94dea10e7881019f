#pragma once

#include <cstdint>

#include "model/OriginalDockManifest.h"

// What a file holds, as the manifest of the Dock's originals records it: its
// size and SHA-256, taken by reading it from its current offset to its end,
// copying the bytes on when asked. Stateless; any thread.
class FileFingerprint {
public:
    // Reads from up to maxBytes, writing each piece to to when to is a
    // descriptor (>= 0). False, with errno, when a read or write fails or
    // there are more than maxBytes (EFBIG).
    static bool take(int from, int to, std::uint64_t maxBytes,
                     OriginalDockManifest::Fingerprint& print);
};
