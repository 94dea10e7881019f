#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Log.h"
#include "platform/PlistValue.h"

// The log's lines while it lives, from any thread; the sink before it comes back after.
class CapturedLog {
public:
    CapturedLog() {
        previous_ = Log::setSink([this](const std::string& line) {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        });
    }
    ~CapturedLog() { Log::setSink(previous_); }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    bool has(const std::string& line) const {
        const auto all = lines();
        return std::find(all.begin(), all.end(), line) != all.end();
    }
    void clear() {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    Log::Sink previous_;
};

// Base fixture: its own temporary folder with HOME, VELVANTO_ROOT and the XDG folders in it,
// a recorder in place of killall and the build's resources; all restored and removed after.
class TestEnvironment : public ::testing::Test {
public:
    static void writeFile(const std::filesystem::path& path, const std::string& bytes);
    static std::string readFile(const std::filesystem::path& path);
    // A FIFO in place of whatever is at path.
    static void makeFifo(const std::filesystem::path& path);
    // A file of size bytes that takes no room on the disk.
    static void writeSparse(const std::filesystem::path& path, std::uintmax_t size);
    // An sh script at path, runnable by its owner, that runs body.
    static void writeScript(const std::filesystem::path& path, const std::string& body);
    // Moves path to elsewhere and leaves a link to it in its place.
    static void linkAway(const std::filesystem::path& path, const std::filesystem::path& elsewhere);
    // The names in folder, hidden ones too, sorted.
    static std::vector<std::string> entries(const std::filesystem::path& folder);
    // The build's application resources (DatabaseInfo.plist, the stock theme, the tool).
    static std::filesystem::path appResources();
    static std::filesystem::path stockTheme() { return appResources() / "DefaultDock.docktheme"; }

protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& temp() const { return temp_; }
    std::filesystem::path root() const { return temp_ / "root"; }
    std::filesystem::path home() const { return temp_ / "home"; }
    // The Dock's preferences in the temporary home.
    std::filesystem::path dockPreferences() const {
        return home() / "Library/Preferences/com.apple.dock.plist";
    }
    // The Dock resources folder under the temporary root (made empty for each test).
    std::filesystem::path dockResources() const;

    // Each line the killall recorder was started with, e.g. "Dock".
    std::vector<std::string> killallCalls() const;
    // Waits (bounded) until the recorder has been called count times.
    bool waitForKillall(std::size_t count) const {
        return eventually([&] { return killallCalls().size() >= count; });
    }
    // Polls done until it holds or a generous bound passes; done()'s last value.
    static bool eventually(const std::function<bool()>& done);

    // Every regular file under folder, relative path to content (links as
    // "-> target", files over 1 MiB as their size, other files as "(special)").
    static std::map<std::string, std::string> snapshot(const std::filesystem::path& folder);
    // The entries that differ between two snapshots, as "name: before -> after"
    // (contents cut short); empty when nothing changed.
    static std::vector<std::string> changes(const std::map<std::string, std::string>& before,
                                            const std::map<std::string, std::string>& after);

    // The snapshot without the entries whose names start with any of prefixes.
    static std::map<std::string, std::string> without(std::map<std::string, std::string> files,
                                                      const std::vector<std::string>& prefixes);

    void setEnv(const char* name, const std::string& value);

    using Table = std::vector<std::pair<std::string, std::string>>;  // key, file name
    // An Info.plist dictionary with "VL_BasePath" images/ and the two tables.
    static PlistValue themeInfo(const Table& flat, const Table& glass);
    // Writes a bundle: Info.plist from info and, for every file name of its
    // tables, an image whose content is "image:<name>".
    static void writeBundle(const std::filesystem::path& bundle, const PlistValue& info);
    // The binary form of value, as the Dock writes its preferences.
    static std::string binaryPlist(const PlistValue& value);

private:
    std::filesystem::path temp_;
    std::map<std::string, std::optional<std::string>> saved_;
};

// Runs a program to its end and returns its exit code and standard error.
struct ProgramRun {
    int exitCode = -1;
    std::string standardError;
};
ProgramRun runProgram(const std::vector<std::string>& argv);
