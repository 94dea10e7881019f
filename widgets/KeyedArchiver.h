#pragma once

#include <cstdint>
#include <string>

#include "platform/PlistValue.h"
#include "platform/PropertyList.h"
#include "widgets/Coder.h"

// Archives one object in NSKeyedArchiver's property-list layout:
//   $archiver "NSKeyedArchiver", $version 100000, $top {root: UID 1},
//   $objects ["$null", the object's values with $class: UID 2,
//             {$classname: the class name, $classes: [it, "NSObject"]}]
// where a UID is the dictionary {CF$UID: n}, as the XML form writes it.
// Keyed integers go under their keys, unkeyed values under "$0", "$1", ...
// in the order written. Objects holding other objects are not supported.
// T needs `static const char* className()` and
// `void encodeWithCoder(Coder&) const`. Nothing is written to disk.
class KeyedArchiver : public Coder {
public:
    template <class T>
    static PlistValue archivedRootObject(const T& root) {
        KeyedArchiver archiver;
        root.encodeWithCoder(archiver);
        return archiver.archive(T::className());
    }
    // The archive's XML form.
    template <class T>
    static std::string archivedDataWithRootObject(const T& root) {
        return PropertyList::toXML(archivedRootObject(root));
    }

    // How the archive refers to object number index.
    static PlistValue uid(std::int64_t index);

    bool allowsKeyedCoding() const override { return true; }
    void encodeValueOfObjCType(const char* type, const void* address) override;
    // An archiver only encodes: throws InvalidArchiveOperationException.
    void decodeValueOfObjCType(const char* type, void* address) override;
    void encodeInt(int value, const std::string& key) override;
    // An archiver only encodes: throws InvalidArchiveOperationException.
    int decodeIntForKey(const std::string& key) override;

private:
    KeyedArchiver();

    PlistValue archive(const std::string& className) const;

    PlistValue object_;
    int unkeyedCount_ = 0;
};
