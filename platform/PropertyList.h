#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/PlistValue.h"

// Reads and writes property lists through libplist. Reading takes the XML and
// the binary form; writing always makes the XML form. Thread-safe.
class PropertyList {
public:
    // Parses bytes in any form libplist knows; nothing when they are not a property list.
    static std::optional<PlistValue> parse(const std::string& bytes);
    // The XML form of value.
    static std::string toXML(const PlistValue& value);

    // Reads a regular file; nothing when missing, not regular, or not a property list.
    static std::optional<PlistValue> read(const std::filesystem::path& path,
                                          bool followLinks = true);
    // Like read, but only a top-level dictionary counts.
    static std::optional<PlistValue> readDictionary(const std::filesystem::path& path,
                                                    bool followLinks = true);
    // Writes the XML form to a temporary file and renames it over path.
    static bool write(const std::filesystem::path& path, const PlistValue& value);
};
