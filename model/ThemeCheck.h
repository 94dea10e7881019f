#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/ImageHeader.h"

class BundleFolder;
class MiscKit;

// One thing the check found in a theme bundle.
struct ThemeFinding {
    enum class Severity { Error, Warning };
    Severity severity = Severity::Warning;
    std::string key;       // the file key concerned; empty for the bundle as a whole
    std::string file;      // the file concerned, relative to the bundle; may be empty
    std::string sentence;  // what is wrong, for the user
    bool operator==(const ThemeFinding&) const = default;
};

// Looks at a theme bundle as the apply tool reads it and says what is wrong
// before it reaches the Dock. Errors are what makes the apply tool refuse the
// theme or leaves a hole in the Dock: Info.plist unreadable or beyond the
// tool's bounds, more than ThemeBundle::kMaxTableEntries entries, or an image
// of a key the tool installs that is missing, not a plain regular file, larger
// than ThemeBundle::kMaxImageBytes or whose header does not read. Warnings:
// an image larger than the Dock draws it, a key the catalogue does not know
// (the tool skips it), a key in both categories with different files, an
// image of images/ that no key names, a missing preview or description. Any
// bundle ThemeSource::open refuses gets an error; one it installs whole gets none.
//
// Reads only: the bundle is opened once (a link in its own path is followed,
// as the tool does) and every entry below is reached through BundleFolder,
// never through a link; only regular files are opened, and of an image only
// its header is read (ImageHeader, else the caller's decoder). Bounded as the
// tool: Info.plist and the table by ThemeBundle's limits, the listing of
// images/ by kMaxListed entries. Stateless; any thread may call, with a
// catalogue loaded before.
class ThemeCheck {
public:
    // How many entries of images/ are looked at for files no key names.
    static constexpr std::size_t kMaxListed = 4096;

    // The size of the picture open as fd (a regular file of the bundle, read
    // from offset 0 with pread or its own reads) for formats ImageHeader does
    // not know; nothing when it does not read. Called on the checking thread.
    using Decoder = std::function<std::optional<ImageSize>(int fd)>;

    // The findings for the bundle at path, errors first, each group in the
    // table's order (2D keys first).
    static std::vector<ThemeFinding> check(const std::string& path, const MiscKit& catalogue,
                                           const Decoder& decoder = {});
    // The same for a bundle already open (a theme's own folder).
    static std::vector<ThemeFinding> check(const BundleFolder& bundle, const MiscKit& catalogue,
                                           const Decoder& decoder = {});

    static bool hasError(const std::vector<ThemeFinding>& findings);
    // The first error's sentence, or nothing.
    static std::optional<std::string> firstError(const std::vector<ThemeFinding>& findings);
};
