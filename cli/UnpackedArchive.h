#pragma once

#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <string>

#include "model/ThemeArchive.h"

class ArchiveImport;

// A theme archive unpacked as import unpacks it (ArchiveImport: every bound
// of ThemeArchive and the theme check) into a temporary folder of its own
// under QDir::tempPath(), which goes with everything in it when this object
// does. For the commands that read the theme of an archive without putting
// it anywhere: check, thumbnail and appcast. One thread; blocks while it
// unpacks.
class UnpackedArchive {
public:
    // Unpacks the archive at path; cancelled is asked as its bytes are read.
    explicit UnpackedArchive(const std::string& path,
                             const ThemeArchive::Cancelled& cancelled = {});
    ~UnpackedArchive();
    UnpackedArchive(const UnpackedArchive&) = delete;
    UnpackedArchive& operator=(const UnpackedArchive&) = delete;

    // The unpacked theme's folder; nothing when the archive was refused.
    const std::optional<std::string>& bundle() const { return bundle_; }
    // Why it was refused (ThemeArchive::kCancelled once cancelled said so).
    const std::string& why() const { return why_; }
    // When only the theme check refused it, the theme's folder as unpacked,
    // whole, so that its findings can be told; nothing otherwise.
    const std::optional<std::string>& refusedByCheck() const { return refusedByCheck_; }

private:
    QTemporaryDir folder_;
    std::unique_ptr<ArchiveImport> import_;
    std::optional<std::string> bundle_;
    std::string why_;
    std::optional<std::string> refusedByCheck_;
};
