#include "model/MiscKit.h"

#include <uuid/uuid.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>

#include "platform/Log.h"
#include "platform/Process.h"
#include "platform/PropertyList.h"
#include "platform/SystemPaths.h"

namespace {

struct KeyEntry {
    const char* key;
    DockCategory category;
};

// Every file key in its fixed order, with the category a theme keeps it in.
constexpr KeyEntry kFileKeys[] = {
    {"Frontline", DockCategory::ThreeD},
    {"Keystone_Base_L", DockCategory::ThreeD},
    {"Keystone_Base_M", DockCategory::ThreeD},
    {"Keystone_Base_SM", DockCategory::ThreeD},
    {"Keystone_Base_XL", DockCategory::ThreeD},
    {"Opened_App_Indicator_L", DockCategory::ThreeD},
    {"Opened_App_Indicator_M", DockCategory::ThreeD},
    {"Opened_App_Indicator_S", DockCategory::ThreeD},
    {"Resize_Cursor_H", DockCategory::ThreeD},
    {"Resize_Cursor_V", DockCategory::ThreeD},
    {"Separator_3D", DockCategory::ThreeD},
    {"Shadow", DockCategory::ThreeD},
    {"Stack_Arrow", DockCategory::ThreeD},
    {"Stack_Arrow_Left", DockCategory::ThreeD},
    {"Stack_Arrow_Right", DockCategory::ThreeD},
    {"Stack_Open", DockCategory::ThreeD},
    {"2D_Opened_App_Indicator_M", DockCategory::TwoD},
    {"2D_Opened_App_Indicator_S", DockCategory::TwoD},
    {"Angle_Left_Bottom", DockCategory::TwoD},
    {"Angle_Left_Up", DockCategory::TwoD},
    {"Angle_Right_Down", DockCategory::TwoD},
    {"Angle_Right_Up", DockCategory::TwoD},
    {"Border_Left_Bottom", DockCategory::TwoD},
    {"Border_Left_External", DockCategory::TwoD},
    {"Border_Left_Up", DockCategory::TwoD},
    {"Border_Right_Border", DockCategory::TwoD},
    {"Border_Right_Bottom", DockCategory::TwoD},
    {"Border_Right_External", DockCategory::TwoD},
    {"Separator_Horizontal", DockCategory::TwoD},
    {"Separator_Vertical", DockCategory::TwoD},
};

const std::vector<std::string>& allFileKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> names;
        for (const KeyEntry& entry : kFileKeys) {
            names.emplace_back(entry.key);
        }
        return names;
    }();
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

std::optional<DockCategory> MiscKit::categoryForKey(const std::string& key) {
    for (const KeyEntry& entry : kFileKeys) {
        if (key == entry.key) {
            return entry.category;
        }
    }
    return std::nullopt;
}

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

DockStyle MiscKit::currentDockType() {
    auto preferences = PropertyList::readDictionary(SystemPaths::dockPreferencesPath());
    const PlistValue* noGlass = preferences ? preferences->find("no-glass") : nullptr;
    if (!noGlass) {
        return DockStyle::ThreeD;
    }
    // The Dock writes a boolean; take a number or "YES"/"1" text as the Dock's own reader would.
    bool flat = false;
    if (const bool* flag = noGlass->asBoolean()) {
        flat = *flag;
    } else if (const std::int64_t* number = noGlass->asInteger()) {
        flat = *number != 0;
    } else if (const std::string* text = noGlass->asString()) {
        flat = *text == "YES" || *text == "yes" || *text == "1" || *text == "true";
    }
    return flat ? DockStyle::TwoD : DockStyle::ThreeD;
}

void MiscKit::setCurrentDock(DockStyle style) {
    std::string path = SystemPaths::dockPreferencesPath();
    if (auto preferences = PropertyList::readDictionary(path)) {
        if (style == DockStyle::ThreeD) {
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

bool MiscKit::holdsDockImages(const std::string& folder) const {
    for (const PlistValue& record : dockFilesList()) {
        const std::string* original = record.stringFor("Original");
        std::error_code error;
        if (original && std::filesystem::is_regular_file(folder + "/" + *original, error)) {
            return true;
        }
    }
    return false;
}
