// Feeds arbitrary bytes, as a theme's Info.plist, through the property-list
// reader and the image-table checks that the apply tool and the theme
// document run on bundles from strangers. Besides crashes and undefined
// behaviour it stops when a dictionary does not survive a write and a read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/ThemeBundle.h"
#include "platform/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::optional<PlistValue> value = PropertyList::parse(bytes);
    if (!value || !value->isDictionary()) {
        return 0;
    }
    if (auto table = ThemeBundle::imageTable(*value)) {
        for (const ThemeImage& image : *table) {
            ThemeBundle::isPlainFileName(image.fileName);
        }
    }
    std::optional<PlistValue> again = PropertyList::parse(PropertyList::toXML(*value));
    if (!again || !again->isDictionary()) {
        std::abort();
    }
    return 0;
}
