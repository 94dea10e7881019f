#include "platform/SystemPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <system_error>

#ifndef VELVANTO_DEFAULT_ROOT
#define VELVANTO_DEFAULT_ROOT "/"
#endif

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::mutex& resourceMutex() {
    static std::mutex mutex;
    return mutex;
}

std::filesystem::path& resourceOverride() {
    static std::filesystem::path folder;
    return folder;
}

}  // namespace

std::string SystemPaths::systemRoot() {
    std::string root = environment("VELVANTO_ROOT");
    return root.empty() ? std::string(VELVANTO_DEFAULT_ROOT) : root;
}

std::filesystem::path SystemPaths::applyToolPath() {
    return resourceFolder() / "VelvantoHelper";
}

std::string SystemPaths::fullUserName() {
    if (const passwd* entry = ::getpwuid(::getuid())) {
        std::string gecos = entry->pw_gecos ? entry->pw_gecos : "";
        gecos = gecos.substr(0, gecos.find(','));
        const auto first = gecos.find_first_not_of(" \t");
        const auto last = gecos.find_last_not_of(" \t");
        return first == std::string::npos ? std::string(entry->pw_name)
                                          : gecos.substr(first, last - first + 1);
    }
    const char* user = std::getenv("USER");
    return user ? user : "";
}

std::string SystemPaths::dockResourcesFolder() {
    return dockResourcesFolder(systemRoot());
}

std::string SystemPaths::dockResourcesFolder(std::string root) {
    while (!root.empty() && root.back() == '/') {
        root.pop_back();
    }
    return root + "/" + kDockResourcesBelowRoot;
}

std::string SystemPaths::dockPreferencesPath() {
    return expandTilde("~/Library/Preferences/com.apple.dock.plist");
}

std::string SystemPaths::killallPath() {
    std::string path = environment("VELVANTO_KILLALL");
    return path.empty() ? std::string("/usr/bin/killall") : path;
}

std::string SystemPaths::expandTilde(const std::string& path) {
    if (path.empty() || path[0] != '~' || (path.size() > 1 && path[1] != '/')) {
        return path;
    }
    std::string home = environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid())) {
            home = entry->pw_dir;
        }
    }
    return home + path.substr(1);
}

std::filesystem::path SystemPaths::executableFolder() {
    std::error_code error;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path(error) : exe.parent_path();
}

std::filesystem::path SystemPaths::resourceFolder() {
    {
        std::lock_guard lock(resourceMutex());
        if (!resourceOverride().empty()) {
            return resourceOverride();
        }
    }
    return executableFolder();
}

void SystemPaths::setResourceFolder(const std::filesystem::path& folder) {
    std::lock_guard lock(resourceMutex());
    resourceOverride() = folder;
}
