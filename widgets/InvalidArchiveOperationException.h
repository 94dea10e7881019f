#pragma once

#include <stdexcept>
#include <string>

// Raised where Cocoa raises NSInvalidArchiveOperationException: an object
// asked to encode itself with a coder it does not support. what() is the
// reason text.
class InvalidArchiveOperationException : public std::logic_error {
public:
    explicit InvalidArchiveOperationException(const std::string& reason)
        : std::logic_error(reason) {}
};
