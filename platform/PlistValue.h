#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// One property-list value: string, boolean, integer, real, data, date, array
// or dictionary. Dictionaries keep their keys in the order they were read or
// inserted, so a file written back lists its keys as it did before.
// A plain value type; not shared between threads while being changed.
class PlistValue {
public:
    enum class Type { String, Boolean, Integer, Real, Data, Date, Array, Dictionary };

    using Array = std::vector<PlistValue>;
    using Entry = std::pair<std::string, PlistValue>;
    using Dictionary = std::vector<Entry>;
    struct Data {
        std::vector<std::uint8_t> bytes;
        bool operator==(const Data&) const = default;
    };
    // Seconds since 2001-01-01 00:00:00 UTC, as property lists count them.
    struct Date {
        double seconds = 0;
        bool operator==(const Date&) const = default;
    };

    PlistValue();  // an empty dictionary
    PlistValue(std::string text);
    PlistValue(const char* text);
    PlistValue(bool flag);
    PlistValue(std::int64_t number);
    PlistValue(int number);
    PlistValue(double number);
    PlistValue(Data data);
    PlistValue(Date date);
    PlistValue(Array items);
    PlistValue(Dictionary entries);

    static PlistValue dictionary() { return PlistValue(Dictionary{}); }
    static PlistValue array() { return PlistValue(Array{}); }

    Type type() const;
    bool isString() const { return type() == Type::String; }
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isArray() const { return type() == Type::Array; }

    // Typed access; each returns nullptr when the value is of another type.
    const std::string* asString() const;
    const bool* asBoolean() const;
    const std::int64_t* asInteger() const;
    const double* asReal() const;
    const Data* asData() const;
    const Date* asDate() const;
    const Array* asArray() const;
    Array* asArray();
    const Dictionary* asDictionary() const;
    Dictionary* asDictionary();

    // Dictionary access; all return nullptr / do nothing on a non-dictionary.
    const PlistValue* find(const std::string& key) const;
    PlistValue* find(const std::string& key);
    // The string stored under key, or nullptr when absent or not a string.
    const std::string* stringFor(const std::string& key) const;
    // Replaces the value of key in place, or appends key at the end.
    void set(const std::string& key, PlistValue value);
    // Returns whether the key was there.
    bool remove(const std::string& key);

    bool operator==(const PlistValue&) const = default;

private:
    std::variant<std::string, bool, std::int64_t, double, Data, Date, Array, Dictionary> value_;
};
