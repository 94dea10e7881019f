#include "widgets/KeyedUnarchiver.h"

#include <cmath>
#include <limits>

#include "widgets/InvalidArchiveOperationException.h"

std::unique_ptr<KeyedUnarchiver> KeyedUnarchiver::forArchive(const PlistValue& archive) {
    const std::string* archiver = archive.stringFor("$archiver");
    const PlistValue* top = archive.find("$top");
    const PlistValue* objects = archive.find("$objects");
    if (!archiver || *archiver != "NSKeyedArchiver" || !top || !objects || !objects->isArray()) {
        return nullptr;
    }
    const PlistValue* root = objectAt(*objects->asArray(), top->find("root"));
    if (!root || !root->isDictionary()) {
        return nullptr;
    }
    const PlistValue* classRecord = objectAt(*objects->asArray(), root->find("$class"));
    const std::string* className = classRecord ? classRecord->stringFor("$classname") : nullptr;
    if (!className) {
        return nullptr;
    }
    return std::unique_ptr<KeyedUnarchiver>(new KeyedUnarchiver(*root, *className));
}

void KeyedUnarchiver::encodeValueOfObjCType(const char*, const void*) {
    throw InvalidArchiveOperationException("an unarchiver cannot encode");
}

void KeyedUnarchiver::decodeValueOfObjCType(const char* type, void* address) {
    const bool isFloat = isFloatType(type);
    const std::string key = "$" + std::to_string(unkeyedCount_++);
    const PlistValue* value = object_.find(key);
    if (!value) {
        throw InvalidUnarchiveOperationException("no value for " + key);
    }
    if (!isFloat) {
        *static_cast<int*>(address) = integerValue(*value, key);
    } else if (const double* real = value->asReal()) {
        *static_cast<float*>(address) = static_cast<float>(*real);
    } else if (const std::int64_t* integer = value->asInteger()) {
        *static_cast<float*>(address) = static_cast<float>(*integer);
    } else {
        throw InvalidUnarchiveOperationException("not a number: " + key);
    }
}

void KeyedUnarchiver::encodeInt(int, const std::string&) {
    throw InvalidArchiveOperationException("an unarchiver cannot encode");
}

int KeyedUnarchiver::decodeIntForKey(const std::string& key) {
    const PlistValue* value = object_.find(key);
    return value ? integerValue(*value, key) : 0;
}

KeyedUnarchiver::KeyedUnarchiver(PlistValue object, std::string rootClassName)
    : object_(std::move(object)), rootClassName_(std::move(rootClassName)) {}

std::optional<std::int64_t> KeyedUnarchiver::referenceIndex(const PlistValue* reference) {
    if (!reference) {
        return std::nullopt;
    }
    if (const PlistValue* uid = reference->find("CF$UID")) {
        reference = uid;
    }
    const std::int64_t* index = reference->asInteger();
    return index ? std::optional<std::int64_t>(*index) : std::nullopt;
}

const PlistValue* KeyedUnarchiver::objectAt(const PlistValue::Array& objects,
                                            const PlistValue* reference) {
    auto index = referenceIndex(reference);
    if (!index || *index < 0 || static_cast<std::uint64_t>(*index) >= objects.size()) {
        return nullptr;
    }
    return &objects[static_cast<std::size_t>(*index)];
}

int KeyedUnarchiver::integerValue(const PlistValue& value, const std::string& key) {
    double number = 0;
    if (const std::int64_t* integer = value.asInteger()) {
        number = static_cast<double>(*integer);
    } else if (const double* real = value.asReal()) {
        number = *real;
    } else {
        throw InvalidUnarchiveOperationException("not a number: " + key);
    }
    if (!(number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max()) ||
        number != std::trunc(number)) {
        throw InvalidUnarchiveOperationException("not an int: " + key);
    }
    return static_cast<int>(number);
}
