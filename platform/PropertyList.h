#pragma once

#include <fcntl.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/PlistBounds.h"
#include "platform/PlistValue.h"

// Reads and writes property lists through libplist. Reading takes the XML and
// the binary form; writing always makes the XML form. Every read is bounded
// (see PlistBounds): bytes over the limits are not a property list, so no
// file, however made, can crash or stall a reader. Thread-safe.
class PropertyList {
public:
    using Limits = PlistBounds::Limits;

    // Parses bytes in any form libplist knows; nothing when they are not a
    // property list or exceed the limits.
    static std::optional<PlistValue> parse(const std::string& bytes, const Limits& limits = {});
    // The XML form of value.
    static std::string toXML(const PlistValue& value);

    // Reads a regular file; nothing when missing, not regular, or not a
    // property list. A relative path is looked up in the open folder folderFd.
    static std::optional<PlistValue> read(const std::filesystem::path& path,
                                          bool followLinks = true, const Limits& limits = {},
                                          int folderFd = AT_FDCWD);
    // Like read, but only a top-level dictionary counts.
    static std::optional<PlistValue> readDictionary(const std::filesystem::path& path,
                                                    bool followLinks = true,
                                                    const Limits& limits = {},
                                                    int folderFd = AT_FDCWD);
    // Writes the XML form to a temporary file and renames it over path.
    static bool write(const std::filesystem::path& path, const PlistValue& value);
};
