#include "model/OriginalDockManifest.h"

#include <fcntl.h>

#include <set>
#include <sstream>

#include "model/ThemeBundle.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/SystemPaths.h"

namespace {

// A manifest of every Dock image fits many times over.
constexpr std::size_t kMaxManifestBytes = 256 * 1024;

}  // namespace

std::optional<std::vector<OriginalDockManifest::Entry>> OriginalDockManifest::parse(
    const std::string& text) {
    std::vector<Entry> entries;
    std::set<std::string> names;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        Entry entry;
        constexpr std::string_view kCreated = "created ", kSkipped = "skipped ";
        if (line.starts_with(kCreated) || line.starts_with(kSkipped)) {
            entry.kind = line.starts_with(kCreated) ? Kind::Created : Kind::Skipped;
            entry.name = line.substr(kCreated.size());
        } else {
            const std::size_t digestEnd = line.find(' ');
            const std::size_t sizeEnd =
                digestEnd == std::string::npos ? digestEnd : line.find(' ', digestEnd + 1);
            if (sizeEnd == std::string::npos) {
                return std::nullopt;
            }
            entry.sha256 = line.substr(0, digestEnd);
            const std::string size = line.substr(digestEnd + 1, sizeEnd - digestEnd - 1);
            entry.name = line.substr(sizeEnd + 1);
            if (entry.sha256.size() != 64 ||
                entry.sha256.find_first_not_of("0123456789abcdef") != std::string::npos ||
                size.empty() || size.size() > 9 ||
                size.find_first_not_of("0123456789") != std::string::npos) {
                return std::nullopt;
            }
            entry.size = std::stoull(size);
        }
        if (!isKeepableName(entry.name) || !names.insert(entry.name).second) {
            return std::nullopt;
        }
        entries.push_back(entry);
    }
    if (entries.empty() || !text.ends_with('\n')) {
        return std::nullopt;
    }
    return entries;
}

std::string OriginalDockManifest::format(const std::vector<Entry>& entries) {
    std::string text;
    for (const Entry& entry : entries) {
        text += entry.kind == Kind::Created   ? std::string("created")
                : entry.kind == Kind::Skipped ? std::string("skipped")
                                              : entry.sha256 + " " + std::to_string(entry.size);
        text += " " + entry.name + "\n";
    }
    return text;
}

std::optional<std::vector<OriginalDockManifest::Entry>> OriginalDockManifest::read(int folder) {
    FileManager::ReadOptions options;
    options.followLinks = false;
    options.maxBytes = kMaxManifestBytes;
    options.folderFd = folder;
    std::optional<std::string> text =
        FileManager::readFile(SystemPaths::kOriginalDockManifest, options);
    return text ? parse(*text) : std::nullopt;
}

std::optional<std::vector<OriginalDockManifest::Entry>> OriginalDockManifest::readFromRoot(
    const std::string& root) {
    Descriptor folder(FileManager::openFolderBelow(root, SystemPaths::kOriginalDockBelowRoot));
    return folder.valid() ? read(folder.get()) : std::nullopt;
}

bool OriginalDockManifest::isKeepableName(const std::string& name) {
    return ThemeBundle::isPlainFileName(name) && name.find_first_of("\n\r") == std::string::npos &&
           !name.starts_with('.');
}
