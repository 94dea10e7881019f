#include "model/ImageHeader.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace {

// Reads whole fields of a source at offsets, in one byte order.
class Fields {
public:
    explicit Fields(const ImageHeader::ReadAt& readAt) : readAt_(readAt) {}

    bool bytes(std::uint64_t offset, void* buffer, std::size_t size) const {
        return offset + size <= ImageHeader::kMaxBytes && readAt_(offset, buffer, size) == size;
    }
    std::optional<std::uint32_t> number(std::uint64_t offset, std::size_t size) const {
        std::array<unsigned char, 4> field{};
        if (size > field.size() || !bytes(offset, field.data(), size)) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t at = bigEndian ? i : size - 1 - i;
            value = (value << 8) | field[at];
        }
        return value;
    }
    std::optional<std::uint32_t> u16(std::uint64_t offset) const { return number(offset, 2); }
    std::optional<std::uint32_t> u32(std::uint64_t offset) const { return number(offset, 4); }
    bool startsWith(std::string_view magic) const {
        std::string head(magic.size(), '\0');
        return bytes(0, head.data(), head.size()) && head == magic;
    }

    bool bigEndian = true;

private:
    const ImageHeader::ReadAt& readAt_;
};

std::optional<ImageSize> sized(std::optional<std::uint32_t> width,
                               std::optional<std::uint32_t> height) {
    constexpr std::uint32_t kMaxSide = 1u << 30;
    if (!width || !height || *width == 0 || *height == 0 || *width > kMaxSide ||
        *height > kMaxSide) {
        return std::nullopt;
    }
    return ImageSize{static_cast<int>(*width), static_cast<int>(*height)};
}

std::optional<ImageSize> png(const Fields& file) {
    char chunk[4] = {};
    if (!file.bytes(12, chunk, 4) || std::memcmp(chunk, "IHDR", 4) != 0) {
        return std::nullopt;
    }
    return sized(file.u32(16), file.u32(20));
}

std::optional<ImageSize> gif(Fields& file) {
    file.bigEndian = false;
    return sized(file.u16(6), file.u16(8));
}

// The first image file directory's ImageWidth (256) and ImageLength (257).
std::optional<ImageSize> tiff(Fields& file, bool bigEndian) {
    file.bigEndian = bigEndian;
    std::optional<std::uint32_t> directory = file.u32(4);
    std::optional<std::uint32_t> count = directory ? file.u16(*directory) : std::nullopt;
    if (!count) {
        return std::nullopt;
    }
    std::optional<std::uint32_t> width, height;
    const std::uint32_t entries = std::min<std::uint32_t>(*count, ImageHeader::kMaxSteps);
    for (std::uint32_t i = 0; i < entries && !(width && height); ++i) {
        const std::uint64_t entry = *directory + 2 + std::uint64_t{12} * i;
        std::optional<std::uint32_t> tag = file.u16(entry);
        std::optional<std::uint32_t> type = file.u16(entry + 2);
        if (!tag || !type) {
            return std::nullopt;
        }
        // SHORT (3) values sit in the first two bytes of the field, LONG (4) fill it.
        std::optional<std::uint32_t> value = *type == 3   ? file.u16(entry + 8)
                                             : *type == 4 ? file.u32(entry + 8)
                                                          : std::nullopt;
        if (*tag == 256) {
            width = value;
        } else if (*tag == 257) {
            height = value;
        }
    }
    return sized(width, height);
}

bool isStartOfFrame(unsigned marker) {
    // SOF0-SOF15 but DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<ImageSize> jpeg(const Fields& file) {
    std::uint64_t at = 2;
    for (int step = 0; step < ImageHeader::kMaxSteps; ++step) {
        unsigned char marker[2] = {};
        if (!file.bytes(at, marker, 2) || marker[0] != 0xFF) {
            return std::nullopt;
        }
        if (marker[1] == 0xFF) {  // fill byte
            at += 1;
            continue;
        }
        at += 2;
        if (marker[1] == 0x01 || (marker[1] >= 0xD0 && marker[1] <= 0xD8)) {
            continue;  // markers without a segment
        }
        if (marker[1] == 0xD9 || marker[1] == 0xDA) {
            return std::nullopt;  // image data or its end before any frame
        }
        std::optional<std::uint32_t> length = file.u16(at);
        if (!length || *length < 2) {
            return std::nullopt;
        }
        if (isStartOfFrame(marker[1])) {
            return sized(file.u16(at + 5), file.u16(at + 3));
        }
        at += *length;
    }
    return std::nullopt;
}

// The side of an icon family entry, from its type code; 0 for entries that hold no icon.
int iconSide(std::string_view type) {
    struct Known {
        const char* type;
        int side;
    };
    static constexpr Known kKnown[] = {
        {"ICON", 32},  {"ICN#", 32},  {"icm#", 16},  {"icm4", 16},   {"icm8", 16}, {"ics#", 16},
        {"ics4", 16},  {"ics8", 16},  {"is32", 16},  {"s8mk", 16},   {"icl4", 32}, {"icl8", 32},
        {"il32", 32},  {"l8mk", 32},  {"ich#", 48},  {"ich4", 48},   {"ich8", 48}, {"ih32", 48},
        {"h8mk", 48},  {"it32", 128}, {"t8mk", 128}, {"icp4", 16},   {"icp5", 32}, {"icp6", 64},
        {"ic07", 128}, {"ic08", 256}, {"ic09", 512}, {"ic10", 1024}, {"ic11", 32}, {"ic12", 64},
        {"ic13", 256}, {"ic14", 512}, {"ic04", 16},  {"ic05", 32},   {"icsb", 18}, {"icsB", 36},
        {"sb24", 24},  {"SB24", 48}};
    for (const Known& known : kKnown) {
        if (type == known.type) {
            return known.side;
        }
    }
    return 0;
}

std::optional<ImageSize> icns(const Fields& file) {
    std::optional<std::uint32_t> total = file.u32(4);
    if (!total) {
        return std::nullopt;
    }
    int largest = 0;
    std::uint64_t at = 8;
    for (int step = 0; step < ImageHeader::kMaxSteps && at + 8 <= *total; ++step) {
        char type[4] = {};
        std::optional<std::uint32_t> length = file.u32(at + 4);
        if (!file.bytes(at, type, 4) || !length || *length < 8) {
            break;
        }
        largest = std::max(largest, iconSide(std::string_view(type, 4)));
        at += *length;
    }
    if (largest == 0) {
        return std::nullopt;
    }
    return ImageSize{largest, largest};
}

}  // namespace

std::optional<ImageSize> ImageHeader::fromBytes(std::string_view bytes) {
    return read([bytes](std::uint64_t offset, void* buffer, std::size_t size) -> std::size_t {
        if (offset >= bytes.size()) {
            return 0;
        }
        const std::size_t copied = std::min<std::size_t>(size, bytes.size() - offset);
        std::memcpy(buffer, bytes.data() + offset, copied);
        return copied;
    });
}

std::optional<ImageSize> ImageHeader::fromDescriptor(int fd) {
    return read([fd](std::uint64_t offset, void* buffer, std::size_t size) -> std::size_t {
        std::size_t done = 0;
        while (done < size) {
            ssize_t got = ::pread(fd, static_cast<char*>(buffer) + done, size - done,
                                  static_cast<off_t>(offset + done));
            if (got <= 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        return done;
    });
}

std::optional<ImageSize> ImageHeader::read(const ReadAt& readAt) {
    Fields file(readAt);
    if (file.startsWith("\x89PNG\r\n\x1a\n")) {
        return png(file);
    }
    if (file.startsWith("GIF87a") || file.startsWith("GIF89a")) {
        return gif(file);
    }
    if (file.startsWith(std::string_view("II*\0", 4)) ||
        file.startsWith(std::string_view("MM\0*", 4))) {
        return tiff(file, file.startsWith("MM"));
    }
    if (file.startsWith("\xFF\xD8")) {
        return jpeg(file);
    }
    if (file.startsWith("icns")) {
        return icns(file);
    }
    return std::nullopt;
}
