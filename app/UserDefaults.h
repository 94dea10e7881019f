#pragma once

#include <QString>

#include <memory>
#include <optional>

class QSettings;

// The editor's user defaults, and nothing else: five keys, no registered
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

    // Where the store lies (for messages and tests).
    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};
