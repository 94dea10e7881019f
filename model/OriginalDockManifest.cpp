#include "model/OriginalDockManifest.h"

#include <fcntl.h>

#include <set>
#include <sstream>
#include <string_view>

#include "model/ThemeBundle.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/SystemPaths.h"

namespace {

// A manifest of every Dock image fits many times over.
constexpr std::size_t kMaxManifestBytes = 256 * 1024;

// Takes "<SHA-256> <size> " from the front of rest; false, with rest as it
// was, when it does not begin so.
bool takeFingerprint(std::string_view& rest, OriginalDockManifest::Fingerprint& print) {
    constexpr std::size_t kDigits = 64;
    const std::size_t sizeEnd = rest.find(' ', kDigits + 1);
    if (rest.size() <= kDigits || rest[kDigits] != ' ' || sizeEnd == std::string_view::npos) {
        return false;
    }
    const std::string_view digest = rest.substr(0, kDigits);
    const std::string_view size = rest.substr(kDigits + 1, sizeEnd - kDigits - 1);
    if (digest.find_first_not_of("0123456789abcdef") != std::string_view::npos || size.empty() ||
        size.size() > 9 || size.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    print.sha256 = digest;
    print.size = std::stoull(std::string(size));
    rest.remove_prefix(sizeEnd + 1);
    return true;
}

std::string formatted(const OriginalDockManifest::Fingerprint& print) {
    return print.sha256 + " " + std::to_string(print.size) + " ";
}

}  // namespace

std::optional<std::vector<OriginalDockManifest::Entry>> OriginalDockManifest::parse(
    const std::string& text) {
    std::vector<Entry> entries;
    std::set<std::string> names;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        Entry entry;
        std::string_view rest = line;
        constexpr std::string_view kCreated = "created ", kSkipped = "skipped ";
        if (rest.starts_with(kSkipped)) {
            entry.kind = Kind::Skipped;
            rest.remove_prefix(kSkipped.size());
        } else if (rest.starts_with(kCreated)) {
            entry.kind = Kind::Created;
            rest.remove_prefix(kCreated.size());
            for (Fingerprint print; takeFingerprint(rest, print);) {
                entry.installed.push_back(print);
            }
        } else {
            Fingerprint kept;
            if (!takeFingerprint(rest, kept)) {
                return std::nullopt;
            }
            entry.size = kept.size;
            entry.sha256 = kept.sha256;
        }
        entry.name = rest;
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
        switch (entry.kind) {
            case Kind::Image:
                text += formatted(Fingerprint{entry.size, entry.sha256});
                break;
            case Kind::Created:
                text += "created ";
                for (const Fingerprint& print : entry.installed) {
                    text += formatted(print);
                }
                break;
            case Kind::Skipped:
                text += "skipped ";
                break;
        }
        text += entry.name + "\n";
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
