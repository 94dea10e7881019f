#include "support/BinaryPlist.h"

namespace {

std::string bigEndian(std::uint64_t value, int width) {
    std::string out(static_cast<std::size_t>(width), '\0');
    for (int i = width - 1; i >= 0; --i, value >>= 8) {
        out[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xFF);
    }
    return out;
}

}  // namespace

std::uint64_t BinaryPlist::string(const std::string& ascii) {
    objects_.push_back(header(0x5, ascii.size()) + ascii);
    return objects_.size() - 1;
}

std::uint64_t BinaryPlist::array(const std::vector<std::uint64_t>& items) {
    objects_.push_back(header(0xA, items.size()) + refs(items));
    return objects_.size() - 1;
}

std::uint64_t BinaryPlist::dictionary(const std::vector<std::uint64_t>& keys,
                                      const std::vector<std::uint64_t>& values) {
    objects_.push_back(header(0xD, keys.size()) + refs(keys) + refs(values));
    return objects_.size() - 1;
}

void BinaryPlist::setArray(std::uint64_t index, const std::vector<std::uint64_t>& items) {
    objects_[index] = header(0xA, items.size()) + refs(items);
}

std::uint64_t BinaryPlist::reserve() {
    objects_.emplace_back(1, '\0');
    return objects_.size() - 1;
}

std::string BinaryPlist::bytes(std::uint64_t top) const {
    std::string out = "bplist00";
    std::string table;
    for (const std::string& object : objects_) {
        table += bigEndian(out.size(), 4);
        out += object;
    }
    std::uint64_t tableOffset = out.size();
    out += table;
    out += std::string(6, '\0');
    out += static_cast<char>(4);
    out += static_cast<char>(refSize_);
    out += bigEndian(objects_.size(), 8) + bigEndian(top, 8) + bigEndian(tableOffset, 8);
    return out;
}

std::string BinaryPlist::header(unsigned type, std::uint64_t count) const {
    if (count < 15) {
        return std::string(1, static_cast<char>((type << 4) | count));
    }
    return std::string(1, static_cast<char>((type << 4) | 0xF)) + '\x13' + bigEndian(count, 8);
}

std::string BinaryPlist::refs(const std::vector<std::uint64_t>& items) const {
    std::string out;
    for (std::uint64_t item : items) {
        out += bigEndian(item, refSize_);
    }
    return out;
}
