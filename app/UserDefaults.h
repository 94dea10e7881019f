#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSettings;

// The editor's user defaults, and nothing else: a few keys, no registered
// values (an absent key is the state of a fresh installation). Kept with
// QSettings (organisation and application "Velvanto"): on macOS the
// application's defaults domain, elsewhere
// $XDG_CONFIG_HOME/Velvanto/Velvanto.conf, found anew each time a store is
// made. Each change is written to disk before the setter returns.
// GUI thread only.
class UserDefaults {
public:
    static constexpr const char* kFirst = "FIRST";
    static constexpr const char* kEditor = "EDITOR";
    static constexpr const char* kStartWithEditor = "StartWithEditor";
    static constexpr const char* kAutoDockStyle = "AutoDockStyle";
    // Whether replaced images get generated unique names (the preferences' check box).
    static constexpr const char* kGenerateUUID = "GenerateUUID";
    // Whether the editor view shows the live Dock (View > Live Dock; absent: shown), and its icon
    // size.
    static constexpr const char* kShowLiveDock = "ShowLiveDock";
    static constexpr const char* kLiveDockSize = "LiveDockSize";
    // The themes opened last (File > Open Recent), most recent first.
    static constexpr const char* kRecentThemes = "RecentThemes";
    static constexpr std::size_t kMaxRecentThemes = 10;

    UserDefaults();
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The stored boolean; a stored value of another type reads as its boolean value.
    std::optional<bool> boolForKey(const char* key) const;
    // boolForKey, with an absent key counting as NO.
    bool isSet(const char* key) const { return boolForKey(key).value_or(false); }
    void setBool(const char* key, bool value);
    std::optional<QString> stringForKey(const char* key) const;
    void setString(const char* key, const QString& value);
    void remove(const char* key);
    // The recent themes' bundle paths, as the file system's bytes (a folder
    // name that is not UTF-8 opens that very folder again).
    std::vector<std::string> recentThemes() const;
    // Puts path first among the recent themes, once; the oldest beyond
    // kMaxRecentThemes go.
    void addRecentTheme(const std::string& path);
    void setRecentThemes(const std::vector<std::string>& paths);

    // Where the store lies (for messages and tests).
    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};
