#pragma once

#include <stdexcept>
#include <string>

// Raised where Cocoa raises NSRangeException: an index or position that names
// no element. what() is the reason text.
class RangeException : public std::out_of_range {
public:
    explicit RangeException(const std::string& reason) : std::out_of_range(reason) {}
};
