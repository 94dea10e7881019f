#pragma once

#include <string>

// What an object sees of an archiver or unarchiver while it encodes or
// decodes itself (NSCoder): keyed integers and unkeyed values that are read
// back in the order they were written. Only the calls the widgets need.
// A coder is used by one thread, for one object graph.
class Coder {
public:
    virtual ~Coder();

    virtual bool allowsKeyedCoding() const = 0;

    // An unkeyed value at address; type is an Objective-C type code, "f"
    // (float) or "i" (int). Another code throws std::invalid_argument.
    virtual void encodeValueOfObjCType(const char* type, const void* address) = 0;
    // Reads the next unkeyed value into address. A decoder throws
    // InvalidUnarchiveOperationException when the archive has no such value.
    virtual void decodeValueOfObjCType(const char* type, void* address) = 0;

    virtual void encodeInt(int value, const std::string& key) = 0;
    // 0 when the key is absent.
    virtual int decodeIntForKey(const std::string& key) = 0;

protected:
    // True for "f", false for "i"; throws std::invalid_argument for any other code.
    static bool isFloatType(const char* type);
};
