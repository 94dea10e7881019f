#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The list of the Dock's own images that the apply tool kept, one line a Dock
// file name:
//
//     <SHA-256 in hex> <size> <name>    an image kept under its own name
//     created <SHA-256> <size> <name>   no image had the name before a theme;
//                                       the theme's file installed there (two
//                                       pairs while an apply replaces one)
//     created <name>                    the same, written by earlier versions,
//                                       which recorded no theme's file
//     skipped <name>                    written by earlier versions: not a plain
//                                       file (a link), so it was never kept
//
// Written by the apply tool only; the editor reads it to offer a restore and
// to confirm it. Plain text functions and one bounded read; any thread.
class OriginalDockManifest {
public:
    // The apply tool's argument that puts the kept images back.
    static constexpr const char* kRestoreArgument = "--restore-original";

    enum class Kind { Image, Created, Skipped };
    // A file's size and SHA-256 in lowercase hex.
    struct Fingerprint {
        std::uint64_t size = 0;
        std::string sha256;
        bool operator==(const Fingerprint&) const = default;
    };
    struct Entry {
        std::string name;
        Kind kind = Kind::Image;
        std::uint64_t size = 0;  // Image: the kept image's size and hash
        std::string sha256;
        // Created: each theme's file the name may hold; empty when none was
        // recorded, and then nothing tells a theme's file there from another.
        std::vector<Fingerprint> installed;
    };

    // Nothing when a line is malformed, a name is not a plain one or comes
    // twice, the last line is not ended, or there is no line at all.
    static std::optional<std::vector<Entry>> parse(const std::string& text);
    static std::string format(const std::vector<Entry>& entries);
    // The manifest in folder (a descriptor), read without following a link;
    // nothing when it is missing, not a regular file, too large or damaged.
    static std::optional<std::vector<Entry>> read(int folder);
    // The same for the system root's kept images (the editor's view).
    static std::optional<std::vector<Entry>> readFromRoot(const std::string& root);

    // A Dock file name a manifest line can hold.
    static bool isKeepableName(const std::string& name);
};
