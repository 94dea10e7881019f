#pragma once

#include <cstddef>
#include <string_view>

// Decides from a property list's bytes alone, without building it and
// without recursing deeper than the limit, whether it stays within bounds:
// its size, how deep its containers nest and how many objects it holds once
// expanded (a binary list may share one object between many containers, so a
// small file can stand for a huge tree). It also refuses a NUL character in
// any key or string, which the property-list library cannot hand back
// safely. Runs in time linear in the size of the bytes. Stateless; any thread
// may call.
class PlistBounds {
public:
    struct Limits {
        std::size_t maxBytes = 1024 * 1024;
        // Containers below the top object; the top object is at depth 0.
        int maxDepth = 64;
        std::size_t maxObjects = 100000;
    };

    // True when bytes are a binary property list or text for the XML reader
    // that stays within limits. Bytes that are true here may still fail to
    // parse; bytes that are false must not be handed to the library.
    static bool within(std::string_view bytes, const Limits& limits);

private:
    static bool binaryWithin(std::string_view bytes, const Limits& limits);
    static bool xmlWithin(std::string_view bytes, const Limits& limits);
};
