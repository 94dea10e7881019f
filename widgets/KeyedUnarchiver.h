#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/PlistValue.h"
#include "platform/PropertyList.h"
#include "widgets/Coder.h"
#include "widgets/InvalidUnarchiveOperationException.h"

// Reads an archive in NSKeyedArchiver's property-list layout (see
// KeyedArchiver), in the XML or the binary form. Object references may be
// {CF$UID: n} dictionaries or plain integers (how a binary UID reads back).
// Only the root object's own values are decoded; objects inside it are not.
// T needs `static const char* className()` and
// `static std::unique_ptr<T> initWithCoder(Coder&)`.
// Archives may come from anywhere: malformed ones give nothing, never a crash.
class KeyedUnarchiver : public Coder {
public:
    // Nothing when archive is not in the layout or its root is not an object
    // with a class name.
    static std::unique_ptr<KeyedUnarchiver> forArchive(const PlistValue& archive);

    // The root object, or nothing when the archive is malformed, its root is
    // of another class, or T refuses the values.
    template <class T>
    static std::unique_ptr<T> unarchiveRootObject(const PlistValue& archive) {
        auto unarchiver = forArchive(archive);
        if (!unarchiver || unarchiver->rootClassName() != T::className()) {
            return nullptr;
        }
        try {
            return T::initWithCoder(*unarchiver);
        } catch (const InvalidUnarchiveOperationException&) {
            return nullptr;
        }
    }
    template <class T>
    static std::unique_ptr<T> unarchiveObjectWithData(const std::string& data) {
        auto archive = PropertyList::parse(data);
        return archive ? unarchiveRootObject<T>(*archive) : nullptr;
    }

    const std::string& rootClassName() const { return rootClassName_; }

    bool allowsKeyedCoding() const override { return true; }
    // An unarchiver only decodes: throws InvalidArchiveOperationException.
    void encodeValueOfObjCType(const char* type, const void* address) override;
    // Throws InvalidUnarchiveOperationException when the next value is
    // missing, not a number, or (for "i") not a whole number in range.
    void decodeValueOfObjCType(const char* type, void* address) override;
    // An unarchiver only decodes: throws InvalidArchiveOperationException.
    void encodeInt(int value, const std::string& key) override;
    // 0 when the key is absent; throws InvalidUnarchiveOperationException
    // when its value is not a whole number in range.
    int decodeIntForKey(const std::string& key) override;

private:
    KeyedUnarchiver(PlistValue object, std::string rootClassName);

    // The object number a reference names, or nothing.
    static std::optional<std::int64_t> referenceIndex(const PlistValue* reference);
    static const PlistValue* objectAt(const PlistValue::Array& objects,
                                      const PlistValue* reference);
    static int integerValue(const PlistValue& value, const std::string& key);

    PlistValue object_;
    std::string rootClassName_;
    int unkeyedCount_ = 0;
};
