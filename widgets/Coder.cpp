#include "widgets/Coder.h"

#include <cstring>
#include <stdexcept>

Coder::~Coder() = default;

bool Coder::isFloatType(const char* type) {
    if (type && std::strcmp(type, "f") == 0) {
        return true;
    }
    if (type && std::strcmp(type, "i") == 0) {
        return false;
    }
    throw std::invalid_argument(std::string("unsupported Objective-C type code: ") +
                                (type ? type : "(null)"));
}
