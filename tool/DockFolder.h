#pragma once

#include <optional>
#include <string>

#include "platform/Descriptor.h"

// The Dock resources folder, opened for the tool's writes. The system root is
// taken as given; every folder below it down to the resources folder is
// opened without following a link, and every write happens relative to the
// opened folder, so no link can lead a write elsewhere. Owned by one run.
class DockFolder {
public:
    // Names of the tool's own temporary files in the folder begin with this.
    static constexpr const char* kTemporaryPrefix = ".VelvantoHelper-";

    // Nothing when a folder on the way is missing, not a folder, or a link.
    static std::optional<DockFolder> open(const std::string& root);

    // Waits until no other run holds the folder, then holds it until this
    // object is dropped.
    void lock() const;
    // Removes the temporary files of a run that was killed outright. Call
    // while holding the lock: then none of them belongs to a live run.
    void removeLeftovers() const;

    int fd() const { return folder_.get(); }
    // The folder's path, for log lines.
    const std::string& path() const { return path_; }
    // The path of a file in the folder, for log lines.
    std::string pathOf(const std::string& name) const { return path_ + "/" + name; }

private:
    DockFolder(Descriptor folder, std::string path);

    Descriptor folder_;
    std::string path_;
};
