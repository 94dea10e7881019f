#include "widgets/KeyedArchiver.h"

#include "widgets/InvalidArchiveOperationException.h"

PlistValue KeyedArchiver::uid(std::int64_t index) {
    PlistValue reference = PlistValue::dictionary();
    reference.set("CF$UID", PlistValue(index));
    return reference;
}

void KeyedArchiver::encodeValueOfObjCType(const char* type, const void* address) {
    const std::string key = "$" + std::to_string(unkeyedCount_++);
    if (isFloatType(type)) {
        object_.set(key, PlistValue(static_cast<double>(*static_cast<const float*>(address))));
    } else {
        object_.set(key, PlistValue(*static_cast<const int*>(address)));
    }
}

void KeyedArchiver::decodeValueOfObjCType(const char*, void*) {
    throw InvalidArchiveOperationException("an archiver cannot decode");
}

void KeyedArchiver::encodeInt(int value, const std::string& key) {
    object_.set(key, value);
}

int KeyedArchiver::decodeIntForKey(const std::string&) {
    throw InvalidArchiveOperationException("an archiver cannot decode");
}

KeyedArchiver::KeyedArchiver() {
    object_.set("$class", uid(2));
}

PlistValue KeyedArchiver::archive(const std::string& className) const {
    PlistValue classRecord = PlistValue::dictionary();
    classRecord.set("$classname", className);
    classRecord.set("$classes", PlistValue::Array{PlistValue(className), PlistValue("NSObject")});

    PlistValue top = PlistValue::dictionary();
    top.set("root", uid(1));

    PlistValue archive = PlistValue::dictionary();
    archive.set("$archiver", "NSKeyedArchiver");
    archive.set("$version", 100000);
    archive.set("$top", std::move(top));
    archive.set("$objects", PlistValue::Array{PlistValue("$null"), object_, classRecord});
    return archive;
}
