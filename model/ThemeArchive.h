#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "model/ThemeCheck.h"
#include "platform/FileManager.h"

class MiscKit;

// A theme as one file: a zip of its bundle folder to hand on, and the
// reading of such an archive (zip, tar with gzip, bzip2, xz or zstd, 7z),
// which comes from a stranger. All archive formats are libarchive's; only its
// built-in readers are enabled, so reading never runs a program, and an
// archive inside the archive is only ever a file.
//
// Reading takes one theme: exactly one folder named "<name>.docktheme", at the
// top or one folder down. Entries of "__MACOSX/", "._*" and ".DS_Store" are
// skipped, as is anything outside the theme's folder; their bytes are read
// and counted all the same. It is refused, with the first reason, for a name
// that leaves the theme ("..", absolute, a drive letter; a backslash is read
// as a folder separator), a link, hard link, device, FIFO or socket, an encrypted entry, a damaged
// or cut-short archive, more than kMaxRatio bytes out per byte in (judged once kRatioFloor bytes
// are out), no theme or two, a cancellation, or for what the rules of a theme as one file refuse,
// which writing applies to the bundle too: more than kMaxEntries entries, a name that is not UTF-8,
// a theme's folder not named "<name>.docktheme", names differing only in ASCII case, an entry
// deeper than FolderTree::kMaxDepth, an entry over kMaxEntryBytes, more than
// kMaxTotalBytes in all, or an error of the theme check. Bytes are counted as
// they are unpacked: reading stops as soon as a bound is passed.
//
// Stateless; any thread may call (a worker, for a large archive). Descriptors
// are closed before returning.
class ThemeArchive {
public:
    static constexpr std::size_t kMaxEntries = 2000;
    static constexpr std::size_t kMaxEntryBytes = 16u << 20;
    static constexpr std::size_t kMaxTotalBytes = 256u << 20;
    static constexpr std::size_t kMaxRatio = 200;
    static constexpr std::size_t kRatioFloor = 1u << 20;
    // What export names its archives after the bundle: "<bundle name>.docktheme.zip".
    static constexpr const char* kExportSuffix = ".zip";

    // Whether path's name ends as an archive the reader takes (.zip, .tar,
    // .tar.gz, .tgz, .tar.bz2, .tbz2, .tar.xz, .txz, .tar.zst, .7z), compared
    // without case. Looks at the name only.
    static bool isArchiveName(const std::string& path);

    // Asked as an archive's bytes are read (a block at a time) whether to
    // stop; on the reading thread.
    using Cancelled = std::function<bool()>;

    // Unpacks the archive at archivePath (a regular file; a link in its path
    // is followed) into folder, an empty folder the caller made and passes
    // both open (folderFd) and by path (folderPath, for the check). Writes
    // only inside folder, through folders made here (mkdirat, then openat
    // with O_NOFOLLOW), files created with O_EXCL, 0644, folders 0755. The
    // theme lands in folder under its own name, which is returned, checked
    // with catalogue and decoder. Nothing, with why, on any refusal (why is
    // kCancelled once cancelled says so): what was written into folder stays
    // for the caller to remove with the folder.
    static constexpr const char* kCancelled = "the import was cancelled";
    static std::optional<std::string> extract(const std::string& archivePath, int folderFd,
                                              const std::string& folderPath,
                                              const MiscKit& catalogue,
                                              const ThemeCheck::Decoder& decoder, std::string* why,
                                              const Cancelled& cancelled = {});

    // Writes the bundle at bundlePath as a zip at archivePath: the bundle
    // folder (named as it is) at the top, its folders and regular files by
    // name in byte order (links, FIFOs and devices below left out), files
    // 0644 or 0755 (when the owner may run it), no owner names, ids 0 and no
    // times, so the same theme gives the same bytes in any time zone. The
    // bundle is opened once and its files reached through its folders, no
    // link followed. Before anything is written the bundle meets the rules
    // reading applies (see above; the check with catalogue and decoder), so
    // an archive written here is one extract takes (but for the ratio, which
    // only the written bytes tell: a theme of files that deflate over
    // kMaxRatio times, many MiB of one colour, would be refused). Written through
    // FileManager::writeNew (a temporary file beside archivePath, flushed,
    // given the name only when nothing has it, or with RegularFileReplaced
    // in place of a regular file, never a link); on failure nothing is
    // written and why says what went wrong, naming the file concerned.
    static bool write(const std::string& bundlePath, const std::string& archivePath,
                      const MiscKit& catalogue, const ThemeCheck::Decoder& decoder,
                      FileManager::Existing existing, std::string* why);
};
