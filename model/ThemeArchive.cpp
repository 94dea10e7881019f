#include "model/ThemeArchive.h"

#include <archive.h>
#include <archive_entry.h>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "model/Utf8.h"
#include "platform/BundleFolder.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/FolderTree.h"
#include "platform/Log.h"

namespace {

constexpr const char* kLibArchive = "libarchive.so.13";
constexpr const char* kNoLibrary = "the archive library (libarchive) is not installed";

// libarchive is opened when an archive is first read or written, not when the
// program starts: the editor then loads it, and the nine libraries it needs,
// only for an import or an export.
#define VELVANTO_LIBARCHIVE_FUNCTIONS(X)     \
    X(archive_entry_filetype)                \
    X(archive_entry_free)                    \
    X(archive_entry_hardlink)                \
    X(archive_entry_is_encrypted)            \
    X(archive_entry_new)                     \
    X(archive_entry_pathname)                \
    X(archive_entry_pathname_utf8)           \
    X(archive_entry_set_filetype)            \
    X(archive_entry_set_gid)                 \
    X(archive_entry_set_pathname)            \
    X(archive_entry_set_perm)                \
    X(archive_entry_set_size)                \
    X(archive_entry_set_uid)                 \
    X(archive_entry_size)                    \
    X(archive_entry_size_is_set)             \
    X(archive_error_string)                  \
    X(archive_filter_bytes)                  \
    X(archive_read_data_block)               \
    X(archive_read_data_skip)                \
    X(archive_read_free)                     \
    X(archive_read_new)                      \
    X(archive_read_next_header)              \
    X(archive_read_open_fd)                  \
    X(archive_read_set_options)              \
    X(archive_read_support_filter_bzip2)     \
    X(archive_read_support_filter_gzip)      \
    X(archive_read_support_filter_xz)        \
    X(archive_read_support_filter_zstd)      \
    X(archive_read_support_format_7zip)      \
    X(archive_read_support_format_tar)       \
    X(archive_read_support_format_zip)       \
    X(archive_write_close)                   \
    X(archive_write_data)                    \
    X(archive_write_free)                    \
    X(archive_write_header)                  \
    X(archive_write_new)                     \
    X(archive_write_open_fd)                 \
    X(archive_write_set_bytes_in_last_block) \
    X(archive_write_set_format_zip)          \
    X(archive_write_set_options)

struct LibArchive {
#define VELVANTO_POINTER(name) decltype(&::name) name = nullptr;
    VELVANTO_LIBARCHIVE_FUNCTIONS(VELVANTO_POINTER)
#undef VELVANTO_POINTER
    bool loaded = false;
};

// The library's functions, looked up once; loaded is false when it is missing.
const LibArchive& lib() {
    static const LibArchive functions = [] {
        LibArchive found;
        void* handle = ::dlopen(kLibArchive, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            return found;
        }
        found.loaded = true;
#define VELVANTO_LOOKUP(name)                                                 \
    found.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name)); \
    found.loaded = found.loaded && found.name;
        VELVANTO_LIBARCHIVE_FUNCTIONS(VELVANTO_LOOKUP)
#undef VELVANTO_LOOKUP
        return found;
    }();
    return functions;
}

constexpr std::string_view kBundleSuffix = ".docktheme";
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr std::size_t kBlock = 64 * 1024;

using Archive = std::unique_ptr<archive, int (*)(archive*)>;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

std::string joined(const std::vector<std::string>& parts, std::size_t from, std::size_t to) {
    std::string path;
    for (std::size_t i = from; i < to; ++i) {
        path += (path.empty() ? "" : "/") + parts[i];
    }
    return path;
}

std::string named(const std::string& name) {
    return "\u201C" + name + "\u201D";
}

std::string mib(std::size_t bytes) {
    return std::to_string(bytes >> 20) + " MiB";
}

// The rules of a theme as one file, which reading applies to an archive's
// entries as they come and writing to a bundle's entries before anything is
// written, so that what is written reads back. Entries are named as the
// archive names them ("Name.docktheme/images/a.png").
class ThemeRules {
public:
    // One more entry of the archive.
    std::optional<std::string> counted() {
        if (++entries_ > ThemeArchive::kMaxEntries) {
            return "it holds more than " + std::to_string(ThemeArchive::kMaxEntries) + " entries";
        }
        return std::nullopt;
    }

    static std::optional<std::string> utf8(const std::string& name) {
        if (const std::string valid = Utf8::sanitize(name); valid != name) {
            return "the name " + named(valid) + " is not UTF-8";
        }
        return std::nullopt;
    }

    static std::optional<std::string> themeFolder(const std::string& folder) {
        if (!folder.ends_with(kBundleSuffix) || folder.size() == kBundleSuffix.size() ||
            folder.starts_with('.')) {
            return "the theme's folder name " + named(folder) + " is not a theme's name";
        }
        return std::nullopt;
    }

    // An entry of the theme, parts its path from the theme's folder (whose name comes first).
    std::optional<std::string> placed(const std::vector<std::string>& parts,
                                      const std::string& name) {
        // Each folder on the way too: "Images/a" and "images/b" would merge.
        for (std::size_t end = 2; end <= parts.size(); ++end) {
            const std::string path = joined(parts, 1, end);
            auto [known, added] = names_.try_emplace(lower(path), path);
            if (!added && known->second != path) {
                return named(known->second) + " and " + named(path) + " differ only in case";
            }
        }
        if (parts.size() > FolderTree::kMaxDepth) {
            return named(name) + " lies too deep";
        }
        return std::nullopt;
    }

    // The entry name holds size bytes now, more of them new since last told.
    std::optional<std::string> sized(const std::string& name, std::uint64_t size,
                                     std::uint64_t more) {
        if (size > ThemeArchive::kMaxEntryBytes) {
            return named(name) + " is larger than " + mib(ThemeArchive::kMaxEntryBytes);
        }
        total_ += more;
        if (total_ > ThemeArchive::kMaxTotalBytes) {
            return "its files come to more than " + mib(ThemeArchive::kMaxTotalBytes);
        }
        return std::nullopt;
    }

    std::uint64_t total() const { return total_; }

private:
    std::size_t entries_ = 0;
    std::map<std::string, std::string> names_;  // lowered relative path -> as named
    std::uint64_t total_ = 0;
};

// The unpacking of one archive into one folder: the state of the checks
// that span entries.
class Unpacker {
public:
    Unpacker(archive* reader, int folder, const ThemeArchive::Cancelled& cancelled)
        : reader_(reader), folder_(folder), cancelled_(cancelled) {}

    // Unpacks every entry; the first reason to refuse, or nothing.
    std::optional<std::string> run() {
        for (;;) {
            if (cancelled_ && cancelled_()) {
                return std::string(ThemeArchive::kCancelled);
            }
            archive_entry* entry = nullptr;
            const int status = lib().archive_read_next_header(reader_, &entry);
            if (status == ARCHIVE_EOF) {
                break;
            }
            // A warning may be a name the reader could not convert: take() tells.
            if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
                return damaged();
            }
            if (std::optional<std::string> why = rules_.counted()) {
                return why;
            }
            if (std::optional<std::string> why = take(entry, status == ARCHIVE_WARN)) {
                return why;
            }
        }
        if (bundle_.empty()) {
            return std::string("it holds no theme (no folder named \u201C\u2026.docktheme\u201D)");
        }
        return std::nullopt;
    }

    const std::string& bundleName() const { return bundleName_; }

private:
    std::string damaged() const {
        const char* said = lib().archive_error_string(reader_);
        return std::string("it is damaged or cut short") +
               (said ? " (" + std::string(said) + ")" : "");
    }

    // The plain names of the entry's path, or why it is refused.
    static std::optional<std::string> split(std::string name, std::vector<std::string>& parts) {
        if (name.empty()) {
            return std::string("an entry has no name");
        }
        std::replace(name.begin(), name.end(), '\\', '/');
        const bool drive =
            name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
        if (name[0] == '/' || drive) {
            return "the name " + named(name) + " leaves the theme";
        }
        std::size_t start = 0;
        while (start <= name.size()) {
            std::size_t end = std::min(name.find('/', start), name.size());
            std::string part = name.substr(start, end - start);
            if (part == "..") {
                return "the name " + named(name) + " leaves the theme";
            }
            if (!part.empty() && part != ".") {
                parts.push_back(std::move(part));
            }
            start = end + 1;
        }
        if (parts.empty()) {
            return std::string("an entry has no name");
        }
        return std::nullopt;
    }

    static bool ignored(const std::vector<std::string>& parts) {
        return parts.front() == "__MACOSX" || std::ranges::any_of(parts, [](const std::string& p) {
                   return p == ".DS_Store" || p.starts_with("._");
               });
    }

    std::optional<std::string> take(archive_entry* entry, bool warned) {
        // A tar's name that is not UTF-8 has only its bytes; a zip's, read as
        // UTF-8, has no form at all (and a warning).
        const char* utf8 = lib().archive_entry_pathname_utf8(entry);
        const char* bytes = utf8 ? utf8 : lib().archive_entry_pathname(entry);
        if (!bytes && warned) {
            return std::string("an entry's name is not UTF-8");
        }
        const std::string name = bytes ? bytes : "";
        if (std::optional<std::string> why = ThemeRules::utf8(name)) {
            return why;
        }
        if (warned) {
            return damaged();
        }
        std::vector<std::string> parts;
        if (std::optional<std::string> why = split(name, parts)) {
            return why;
        }
        if (lib().archive_entry_is_encrypted(entry)) {
            return named(name) + " is encrypted";
        }
        const mode_t type = lib().archive_entry_filetype(entry);
        if (lib().archive_entry_hardlink(entry) || type == AE_IFLNK) {
            return named(name) + " is a link";
        }
        if (type != AE_IFREG && type != AE_IFDIR) {
            return named(name) + " is not a plain file or folder";
        }
        if (lib().archive_entry_size_is_set(entry)) {
            const la_int64_t size = lib().archive_entry_size(entry);
            if (std::optional<std::string> why = rules_.sized(
                    name, size < 0 ? UINT64_MAX : static_cast<std::uint64_t>(size), 0)) {
                return why;
            }
        }
        // Where the theme's folder is: the top, or one folder down.
        std::size_t at = parts.size();
        for (std::size_t i = 0; i < std::min<std::size_t>(2, parts.size()) && at == parts.size();
             ++i) {
            if (parts[i].ends_with(kBundleSuffix)) {
                at = i;
            }
        }
        if (ignored(parts) || at == parts.size()) {
            return skip(name);
        }
        const std::string bundle = joined(parts, 0, at + 1);
        if (bundle_.empty()) {
            if (std::optional<std::string> why = ThemeRules::themeFolder(parts[at])) {
                return why;
            }
            bundle_ = bundle;
            bundleName_ = parts[at];
        } else if (bundle != bundle_) {
            return "it holds two themes, " + named(bundle_) + " and " + named(bundle);
        }
        const std::vector<std::string> inside(parts.begin() + static_cast<std::ptrdiff_t>(at),
                                              parts.end());
        if (inside.size() == 1 && type != AE_IFDIR) {
            return named(name) + " is not a folder";
        }
        if (std::optional<std::string> why = rules_.placed(inside, name)) {
            return why;
        }
        return type == AE_IFDIR ? makeFolders(inside, name) : unpackFile(inside, name);
    }

    // Reads past the data of the entry name, counting it as if unpacked.
    std::optional<std::string> skip(const std::string& name) {
        return readData(name, [](const void*, std::size_t, la_int64_t) {
            return std::optional<std::string>();
        });
    }

    // Hands each block of the entry name's data to use, once counted.
    template <typename Use>
    std::optional<std::string> readData(const std::string& name, const Use& use) {
        for (;;) {
            const void* data = nullptr;
            std::size_t size = 0;
            la_int64_t offset = 0;
            const int status = lib().archive_read_data_block(reader_, &data, &size, &offset);
            if (status == ARCHIVE_EOF) {
                return std::nullopt;
            }
            if (status != ARCHIVE_OK) {
                return damaged();
            }
            if (std::optional<std::string> why = counted(name, offset, size)) {
                return why;
            }
            if (std::optional<std::string> why = use(data, size, offset)) {
                return why;
            }
        }
    }

    // Opens (making where missing) the folders parts[0..count) below folder_;
    // an invalid descriptor, with why, when one can't be.
    Descriptor openFolders(const std::vector<std::string>& parts, std::size_t count,
                           const std::string& name, std::optional<std::string>& why) {
        Descriptor at(FileManager::openFolderBelow(folder_, joined(parts, 0, count), true));
        if (!at.valid()) {
            why = errno == ENOTDIR || errno == ELOOP
                      ? named(name) + " is both a file and a folder"
                      : named(name) + " could not be written (" + std::strerror(errno) + ")";
        }
        return at;
    }

    std::optional<std::string> makeFolders(const std::vector<std::string>& parts,
                                           const std::string& name) {
        std::optional<std::string> why;
        openFolders(parts, parts.size(), name, why);
        return why ? why : skip(name);
    }

    std::optional<std::string> unpackFile(const std::vector<std::string>& parts,
                                          const std::string& name) {
        std::optional<std::string> why;
        Descriptor parent = openFolders(parts, parts.size() - 1, name, why);
        if (why) {
            return why;
        }
        Descriptor file(::openat(parent.get(), parts.back().c_str(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (!file.valid()) {
            return errno == EEXIST
                       ? named(name) + " comes twice"
                       : named(name) + " could not be written (" + std::strerror(errno) + ")";
        }
        return readData(
            name,
            [&](const void* data, std::size_t size,
                la_int64_t offset) -> std::optional<std::string> {
                const auto* bytes = static_cast<const char*>(data);
                for (std::size_t done = 0; done < size;) {
                    const ssize_t wrote = ::pwrite(file.get(), bytes + done, size - done,
                                                   offset + static_cast<off_t>(done));
                    if (wrote < 0 && errno != EINTR) {
                        return named(name) + " could not be written (" + std::strerror(errno) + ")";
                    }
                    done += wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
                }
                return std::nullopt;
            });
    }

    // Counts size bytes unpacked at offset of the entry name against the
    // bounds, kept or skipped alike.
    std::optional<std::string> counted(const std::string& name, la_int64_t offset,
                                       std::size_t size) {
        if (cancelled_ && cancelled_()) {
            return std::string(ThemeArchive::kCancelled);
        }
        const std::uint64_t end =
            offset < 0 ? UINT64_MAX : static_cast<std::uint64_t>(offset) + size;
        if (std::optional<std::string> why = rules_.sized(name, end, size)) {
            return why;
        }
        const auto in = static_cast<std::uint64_t>(
            std::max<la_int64_t>(1, lib().archive_filter_bytes(reader_, -1)));
        if (rules_.total() > ThemeArchive::kRatioFloor &&
            rules_.total() > in * ThemeArchive::kMaxRatio) {
            return "it unpacks to more than " + std::to_string(ThemeArchive::kMaxRatio) +
                   " times its size";
        }
        return std::nullopt;
    }

    archive* reader_;
    int folder_;
    const ThemeArchive::Cancelled& cancelled_;
    ThemeRules rules_;
    std::string bundle_;      // the theme's folder as the archive names it
    std::string bundleName_;  // its last component
};

// An entry of a bundle to write: its path below the bundle, and whether it is a folder.
using Listed = std::pair<std::string, bool>;

std::string unreadable(const std::string& name) {
    return named(name) + " can't be read (" + std::strerror(errno) + ")";
}

// Lists the entries below folder (parts: its path from the bundle, whose name
// comes first), folders before what they hold, by name in byte order, as the
// rules take them; why, when they refuse one or a folder can't be read.
std::optional<std::string> listTree(int folder, std::vector<std::string>& parts, ThemeRules& rules,
                                    std::vector<Listed>& out);

// Lists the entry parts.back() of folder, a regular file or a folder as kind
// says, and what it holds.
std::optional<std::string> listEntry(int folder, unsigned char kind,
                                     std::vector<std::string>& parts, ThemeRules& rules,
                                     std::vector<Listed>& out) {
    const std::string name = joined(parts, 0, parts.size());
    std::optional<std::string> why = rules.counted();
    why = why ? why : ThemeRules::utf8(name);
    why = why ? why : rules.placed(parts, name);
    if (why) {
        return why;
    }
    out.emplace_back(joined(parts, 1, parts.size()), kind == DT_DIR);
    if (kind == DT_REG) {
        struct stat info {};
        if (::fstatat(folder, parts.back().c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return unreadable(name);
        }
        const auto size = static_cast<std::uint64_t>(info.st_size);
        return rules.sized(name, size, size);
    }
    const Descriptor below(::openat(folder, parts.back().c_str(), kFolderFlags));
    return below.valid() ? listTree(below.get(), parts, rules, out) : unreadable(name);
}

std::optional<std::string> listTree(int folder, std::vector<std::string>& parts, ThemeRules& rules,
                                    std::vector<Listed>& out) {
    std::vector<FolderTree::Entry> entries;
    if (!FolderTree::list(folder, entries)) {
        return unreadable(joined(parts, 0, parts.size()));
    }
    std::ranges::sort(entries, {}, &FolderTree::Entry::name);
    for (const FolderTree::Entry& entry : entries) {
        const unsigned char kind = FolderTree::kindOf(folder, entry);
        if (entry.name.starts_with(BundleFolder::kTemporaryPrefix) || kind == DT_UNKNOWN) {
            continue;
        }
        parts.push_back(entry.name);
        std::optional<std::string> why;
        if (kind == DT_REG || kind == DT_DIR) {
            why = listEntry(folder, kind, parts, rules, out);
        } else {
            Log::write("Not exported, not a regular file or folder: " +
                       Log::escaped(joined(parts, 0, parts.size())));
        }
        parts.pop_back();
        if (why) {
            return why;
        }
    }
    return std::nullopt;
}

// Adds the entry relative of bundle to writer under name; why not, the
// archive named archive when writing it failed.
std::optional<std::string> addEntry(archive* writer, const BundleFolder& bundle,
                                    const std::string& relative, bool folder,
                                    const std::string& name, const std::string& archive) {
    auto unwritable = [&archive] {
        return "the archive " + named(archive) + " can't be written (" + std::strerror(errno) + ")";
    };
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(lib().archive_entry_new(),
                                                                   lib().archive_entry_free);
    lib().archive_entry_set_pathname(entry.get(), name.c_str());
    // No time at all: a zip keeps local time, and an entry without one gets
    // 1980-01-01 00:00 in every time zone, so the bytes don't follow the zone.
    lib().archive_entry_set_uid(entry.get(), 0);
    lib().archive_entry_set_gid(entry.get(), 0);
    if (folder) {
        lib().archive_entry_set_filetype(entry.get(), AE_IFDIR);
        lib().archive_entry_set_perm(entry.get(), 0755);
        return lib().archive_write_header(writer, entry.get()) == ARCHIVE_OK
                   ? std::nullopt
                   : std::optional<std::string>(unwritable());
    }
    // Through the bundle's folders, so no link swapped in since the listing is followed.
    const Descriptor file = bundle.openRegularFile(relative, ThemeArchive::kMaxEntryBytes);
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        return unreadable(name);
    }
    lib().archive_entry_set_filetype(entry.get(), AE_IFREG);
    lib().archive_entry_set_perm(entry.get(), (info.st_mode & S_IXUSR) ? 0755 : 0644);
    lib().archive_entry_set_size(entry.get(), info.st_size);
    if (lib().archive_write_header(writer, entry.get()) != ARCHIVE_OK) {
        return unwritable();
    }
    std::array<char, kBlock> block{};
    for (;;) {
        const ssize_t got = ::read(file.get(), block.data(), block.size());
        if (got == 0) {
            return std::nullopt;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return unreadable(name);
        }
        if (lib().archive_write_data(writer, block.data(), static_cast<std::size_t>(got)) != got) {
            return unwritable();
        }
    }
}

}  // namespace

bool ThemeArchive::isArchiveName(const std::string& path) {
    static constexpr std::array<std::string_view, 10> kEnds = {
        ".zip",  ".tar",    ".tar.gz", ".tgz",     ".tar.bz2",
        ".tbz2", ".tar.xz", ".txz",    ".tar.zst", ".7z"};
    const std::string name = lower(std::filesystem::path(path).filename().string());
    return std::ranges::any_of(kEnds, [&name](std::string_view end) {
        return name.size() > end.size() && name.ends_with(end);
    });
}

std::optional<std::string> ThemeArchive::extract(const std::string& archivePath, int folderFd,
                                                 const std::string& folderPath,
                                                 const MiscKit& catalogue,
                                                 const ThemeCheck::Decoder& decoder,
                                                 std::string* why, const Cancelled& cancelled) {
    auto refuse = [why](std::string reason) -> std::optional<std::string> {
        *why = std::move(reason);
        return std::nullopt;
    };
    if (!lib().loaded) {
        return refuse(kNoLibrary);
    }
    Descriptor file(FileManager::openRegularFile(archivePath, true));
    if (!file.valid()) {
        return refuse(errno == EINVAL ? std::string("it is not a plain file")
                      : errno == EISDIR
                          ? std::string("it is a folder, not an archive")
                          : std::string("it can't be read (") + std::strerror(errno) + ")");
    }
    Archive reader(lib().archive_read_new(), lib().archive_read_free);
    // Built-in readers only: a filter that needs a program is refused, not run.
    const int enabled[] = {
        lib().archive_read_support_format_zip(reader.get()),
        lib().archive_read_support_format_tar(reader.get()),
        lib().archive_read_support_format_7zip(reader.get()),
        lib().archive_read_support_filter_gzip(reader.get()),
        lib().archive_read_support_filter_bzip2(reader.get()),
        lib().archive_read_support_filter_xz(reader.get()),
        lib().archive_read_support_filter_zstd(reader.get()),
        lib().archive_read_set_options(reader.get(), "zip:hdrcharset=UTF-8"),
    };
    if (std::ranges::any_of(enabled, [](int status) { return status != ARCHIVE_OK; }) ||
        lib().archive_read_open_fd(reader.get(), file.get(), kBlock) != ARCHIVE_OK) {
        const char* said = lib().archive_error_string(reader.get());
        return refuse(std::string("it is not an archive this program reads") +
                      (said ? " (" + std::string(said) + ")" : ""));
    }
    Unpacker unpacker(reader.get(), folderFd, cancelled);
    if (std::optional<std::string> reason = unpacker.run()) {
        return refuse(*reason);
    }
    if (cancelled && cancelled()) {
        return refuse(kCancelled);
    }
    std::optional<std::string> error = ThemeCheck::firstError(
        ThemeCheck::check(folderPath + "/" + unpacker.bundleName(), catalogue, decoder));
    if (error) {
        return refuse(*error);
    }
    return unpacker.bundleName();
}

bool ThemeArchive::write(const std::string& bundlePath, const std::string& archivePath,
                         const MiscKit& catalogue, const ThemeCheck::Decoder& decoder,
                         FileManager::Existing existing, std::string* why) {
    auto fail = [why](std::string what) {
        *why = std::move(what);
        return false;
    };
    if (!lib().loaded) {
        return fail(kNoLibrary);
    }
    std::string name = std::filesystem::path(bundlePath).filename().string();
    if (name.empty()) {
        name = std::filesystem::path(bundlePath).parent_path().filename().string();
    }
    const auto bundle = BundleFolder::open(bundlePath);
    if (!bundle) {
        return fail("the theme's folder " + unreadable(bundlePath));
    }
    // Held until the archive is whole: a writer elsewhere can't make it half old, half new.
    const Descriptor lock = bundle->lock();
    if (!lock.valid()) {
        return fail(errno == EWOULDBLOCK ? std::string(BundleFolder::kLockHeldElsewhere)
                                         : "the theme's folder " + unreadable(bundlePath));
    }
    // The rules reading applies, first: nothing is written for a theme its import would refuse.
    ThemeRules rules;
    std::vector<Listed> entries;
    std::vector<std::string> parts{name};
    std::optional<std::string> refused = ThemeRules::utf8(name);
    refused = refused ? refused : ThemeRules::themeFolder(name);
    refused = refused ? refused : rules.counted();
    refused = refused ? refused : listTree(bundle->fd(), parts, rules, entries);
    refused =
        refused ? refused : ThemeCheck::firstError(ThemeCheck::check(*bundle, catalogue, decoder));
    if (refused) {
        return fail(*refused);
    }
    std::optional<std::string> failed;
    const bool written = FileManager::writeNew(archivePath, 0644, true, existing, [&](int out) {
        Archive writer(lib().archive_write_new(), lib().archive_write_free);
        if (lib().archive_write_set_format_zip(writer.get()) != ARCHIVE_OK ||
            lib().archive_write_set_options(writer.get(), "zip:compression=deflate") !=
                ARCHIVE_OK ||
            lib().archive_write_set_bytes_in_last_block(writer.get(), 1) != ARCHIVE_OK ||
            lib().archive_write_open_fd(writer.get(), out) != ARCHIVE_OK) {
            return false;
        }
        failed = addEntry(writer.get(), *bundle, "", true, name, archivePath);
        for (std::size_t i = 0; !failed && i < entries.size(); ++i) {
            const auto& [relative, folder] = entries[i];
            failed = addEntry(writer.get(), *bundle, relative, folder, name + "/" + relative,
                              archivePath);
        }
        return !failed && lib().archive_write_close(writer.get()) == ARCHIVE_OK;
    });
    if (written) {
        return true;
    }
    if (failed) {
        return fail(*failed);
    }
    if (errno == EEXIST) {
        return fail(named(archivePath) + (existing == FileManager::Existing::Kept
                                              ? " exists already"
                                              : " is not a plain file, so it is not replaced"));
    }
    return fail("the archive " + named(archivePath) + " can't be written (" + std::strerror(errno) +
                ")");
}
