#pragma once

#include <stdexcept>
#include <string>

// Raised where Cocoa raises NSInvalidUnarchiveOperationException: an archive
// that lacks a value being decoded, or holds one of the wrong kind.
class InvalidUnarchiveOperationException : public std::runtime_error {
public:
    explicit InvalidUnarchiveOperationException(const std::string& reason)
        : std::runtime_error(reason) {}
};
