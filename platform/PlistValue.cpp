#include "platform/PlistValue.h"

#include <algorithm>

PlistValue::PlistValue() : value_(Dictionary{}) {}
PlistValue::PlistValue(std::string text) : value_(std::move(text)) {}
PlistValue::PlistValue(const char* text) : value_(std::string(text)) {}
PlistValue::PlistValue(bool flag) : value_(flag) {}
PlistValue::PlistValue(std::int64_t number) : value_(number) {}
PlistValue::PlistValue(int number) : value_(static_cast<std::int64_t>(number)) {}
PlistValue::PlistValue(double number) : value_(number) {}
PlistValue::PlistValue(Data data) : value_(std::move(data)) {}
PlistValue::PlistValue(Date date) : value_(date) {}
PlistValue::PlistValue(Array items) : value_(std::move(items)) {}
PlistValue::PlistValue(Dictionary entries) : value_(std::move(entries)) {}

PlistValue::Type PlistValue::type() const {
    return static_cast<Type>(value_.index());
}

const std::string* PlistValue::asString() const {
    return std::get_if<std::string>(&value_);
}
const bool* PlistValue::asBoolean() const {
    return std::get_if<bool>(&value_);
}
const std::int64_t* PlistValue::asInteger() const {
    return std::get_if<std::int64_t>(&value_);
}
const double* PlistValue::asReal() const {
    return std::get_if<double>(&value_);
}
const PlistValue::Data* PlistValue::asData() const {
    return std::get_if<Data>(&value_);
}
const PlistValue::Date* PlistValue::asDate() const {
    return std::get_if<Date>(&value_);
}
const PlistValue::Array* PlistValue::asArray() const {
    return std::get_if<Array>(&value_);
}
PlistValue::Array* PlistValue::asArray() {
    return std::get_if<Array>(&value_);
}
const PlistValue::Dictionary* PlistValue::asDictionary() const {
    return std::get_if<Dictionary>(&value_);
}
PlistValue::Dictionary* PlistValue::asDictionary() {
    return std::get_if<Dictionary>(&value_);
}

const PlistValue* PlistValue::find(const std::string& key) const {
    const Dictionary* entries = asDictionary();
    if (!entries) {
        return nullptr;
    }
    auto it = std::find_if(entries->begin(), entries->end(),
                           [&](const Entry& entry) { return entry.first == key; });
    return it == entries->end() ? nullptr : &it->second;
}

PlistValue* PlistValue::find(const std::string& key) {
    return const_cast<PlistValue*>(std::as_const(*this).find(key));
}

const std::string* PlistValue::stringFor(const std::string& key) const {
    const PlistValue* value = find(key);
    return value ? value->asString() : nullptr;
}

void PlistValue::set(const std::string& key, PlistValue value) {
    Dictionary* entries = asDictionary();
    if (!entries) {
        return;
    }
    if (PlistValue* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    entries->emplace_back(key, std::move(value));
}

bool PlistValue::remove(const std::string& key) {
    Dictionary* entries = asDictionary();
    if (!entries) {
        return false;
    }
    auto it = std::find_if(entries->begin(), entries->end(),
                           [&](const Entry& entry) { return entry.first == key; });
    if (it == entries->end()) {
        return false;
    }
    entries->erase(it);
    return true;
}
