#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

// A picture's size in pixels.
struct ImageSize {
    int width = 0;
    int height = 0;
    bool operator==(const ImageSize&) const = default;
};

// Reads the size of a picture from its header alone, for PNG, TIFF (both
// byte orders), JPEG (the first SOF marker), GIF and ICNS (the largest entry,
// its size taken from the entry's type code), without decoding any pixels.
// Every read is bounded: at most kMaxSteps seeks over JPEG segments, TIFF
// directory entries or ICNS entries, and never past kMaxBytes of the file, so
// a hostile file costs a few small reads at most. Stateless; any thread.
class ImageHeader {
public:
    // How far into a file the reader looks.
    static constexpr std::uint64_t kMaxBytes = 16 * 1024 * 1024;
    // How many segments, directory entries or icon entries it walks.
    static constexpr int kMaxSteps = 1024;

    // Copies up to size bytes at offset into buffer; how many it copied.
    using ReadAt = std::function<std::size_t(std::uint64_t offset, void* buffer, std::size_t size)>;

    // The size from a picture held in memory (or its first bytes).
    static std::optional<ImageSize> fromBytes(std::string_view bytes);
    // The size from the open file fd, read with pread (its offset is not moved).
    static std::optional<ImageSize> fromDescriptor(int fd);
    // The size from any source; nothing when the format is not one of the
    // above, the header is cut short or a side is zero.
    static std::optional<ImageSize> read(const ReadAt& readAt);
};
