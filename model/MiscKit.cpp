#include "model/MiscKit.h"

#include <uuid/uuid.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <memory>
#include <mutex>

#include "platform/Log.h"
#include "platform/Process.h"
#include "platform/PropertyList.h"
#include "platform/SystemPaths.h"

namespace {

const std::vector<std::string>& allFileKeys() {
    static const std::vector<std::string> keys = {
        "Frontline",
        "Keystone_Base_L",
        "Keystone_Base_M",
        "Keystone_Base_SM",
        "Keystone_Base_XL",
        "Opened_App_Indicator_L",
        "Opened_App_Indicator_M",
        "Opened_App_Indicator_S",
        "Resize_Cursor_H",
        "Resize_Cursor_V",
        "Separator_3D",
        "Shadow",
        "Stack_Arrow",
        "Stack_Arrow_Left",
        "Stack_Arrow_Right",
        "Stack_Open",
        "2D_Opened_App_Indicator_M",
        "2D_Opened_App_Indicator_S",
        "Angle_Left_Bottom",
        "Angle_Left_Up",
        "Angle_Right_Down",
        "Angle_Right_Up",
        "Border_Left_Bottom",
        "Border_Left_External",
        "Border_Left_Up",
        "Border_Right_Border",
        "Border_Right_Bottom",
        "Border_Right_External",
        "Separator_Horizontal",
        "Separator_Vertical",
    };
    return keys;
}

std::unique_ptr<MiscKit>& sharedMiscKit() {
    static std::unique_ptr<MiscKit> instance;
    return instance;
}

std::mutex& sharedMutex() {
    static std::mutex mutex;
    return mutex;
}

// Reads a decimal number from the start of text, after blanks; 0 when none.
float leadingNumber(const std::string& text) {
    auto begin = std::find_if_not(text.begin(), text.end(),
                                  [](unsigned char c) { return std::isspace(c) != 0; });
    const char* first = text.data() + (begin - text.begin());
    const char* last = text.data() + text.size();
    if (first < last && *first == '+') {
        ++first;
    }
    float value = 0;
    auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    return error == std::errc() ? value : 0.0f;
}

std::filesystem::path databasePath() {
    return SystemPaths::resourceFolder() / "DatabaseInfo.plist";
}

}  // namespace

MiscKit& MiscKit::sharedFiles() {
    std::lock_guard lock(sharedMutex());
    if (!sharedMiscKit()) {
        sharedMiscKit() = std::make_unique<MiscKit>(databasePath());
    }
    return *sharedMiscKit();
}

MiscKit* MiscKit::init() {
    std::lock_guard lock(sharedMutex());
    if (sharedMiscKit()) {
        return nullptr;
    }
    sharedMiscKit() = std::make_unique<MiscKit>(databasePath());
    return sharedMiscKit().get();
}

MiscKit::MiscKit(const std::filesystem::path& databaseFile)
    : fileKeys_List_(allFileKeys()),
      sizes_List_(PropertyList::readDictionary(databaseFile).value_or(PlistValue::dictionary())) {}

std::vector<PlistValue> MiscKit::dockFilesList() const {
    std::vector<PlistValue> records;
    for (const auto& [key, record] : *sizes_List_.asDictionary()) {
        records.push_back(record);
    }
    return records;
}

std::optional<std::string> MiscKit::getNaturalNameForKey(const std::string& key) const {
    return recordString(key, "Natural");
}

std::optional<std::string> MiscKit::getDescriptionForKey(const std::string& key) const {
    return recordString(key, "Description");
}

std::optional<std::string> MiscKit::getOriginalFileNameForKey(const std::string& key) const {
    return recordString(key, "Original");
}

DockSize MiscKit::getSizeForFileKey(const std::string& key) const {
    auto size = recordString(key, "Size");
    return size ? parseSize(*size) : DockSize{};
}

int MiscKit::currentDockType() {
    auto preferences = PropertyList::readDictionary(SystemPaths::dockPreferencesPath());
    if (!preferences) {
        return 0;
    }
    const PlistValue* noGlass = preferences->find("no-glass");
    if (!noGlass) {
        return 0;
    }
    // The Dock writes a boolean; take a number or "YES"/"1" text as the Dock's own reader would.
    if (const bool* flag = noGlass->asBoolean()) {
        return *flag ? 1 : 0;
    }
    if (const std::int64_t* number = noGlass->asInteger()) {
        return *number != 0 ? 1 : 0;
    }
    if (const std::string* text = noGlass->asString()) {
        return (*text == "YES" || *text == "yes" || *text == "1" || *text == "true") ? 1 : 0;
    }
    return 0;
}

void MiscKit::setCurrentDock(int style) {
    std::string path = SystemPaths::dockPreferencesPath();
    if (auto preferences = PropertyList::readDictionary(path)) {
        if (style == 0) {
            preferences->remove("no-glass");
        } else {
            preferences->set("no-glass", PlistValue(true));
        }
        if (PropertyList::write(path, *preferences)) {
            Log::write("Dock info wrote");
        }
    }
    killdock();
}

void MiscKit::killdock() {
    Process::startDetached({SystemPaths::killallPath(), "Dock"});
}

std::string MiscKit::UUIDString() {
    uuid_t uuid;
    uuid_generate(uuid);
    char text[37];
    uuid_unparse_upper(uuid, text);
    return text;
}

DockSize MiscKit::parseSize(const std::string& text) {
    auto separator = text.find('x');
    if (separator == std::string::npos) {
        return DockSize{};
    }
    auto second = text.substr(separator + 1);
    second = second.substr(0, second.find('x'));
    return DockSize{leadingNumber(text.substr(0, separator)), leadingNumber(second)};
}

std::optional<std::string> MiscKit::recordString(const std::string& key, const char* field) const {
    const PlistValue* record = sizes_List_.find(key);
    const std::string* value = record ? record->stringFor(field) : nullptr;
    return value ? std::optional<std::string>(*value) : std::nullopt;
}
