#include "platform/PlistBounds.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace {

constexpr std::string_view kBinaryMagic = "bplist00";
constexpr std::size_t kTrailerSize = 32;

std::uint64_t bigEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// Walks the object graph of a binary list from its top object, each object
// once: its expanded size and height are kept, so shared objects cost nothing
// more. Recursion never goes deeper than the depth limit.
class BinaryWalker {
public:
    BinaryWalker(std::string_view bytes, const PlistBounds::Limits& limits)
        : bytes_(bytes), limits_(limits) {}

    bool walk() {
        if (bytes_.size() < kBinaryMagic.size() + kTrailerSize) {
            return false;
        }
        std::size_t trailer = bytes_.size() - kTrailerSize;
        offsetSize_ = static_cast<unsigned char>(bytes_[trailer + 6]);
        refSize_ = static_cast<unsigned char>(bytes_[trailer + 7]);
        std::uint64_t count = bigEndian(bytes_, trailer + 8, 8);
        std::uint64_t top = bigEndian(bytes_, trailer + 16, 8);
        tableOffset_ = bigEndian(bytes_, trailer + 24, 8);
        end_ = trailer;
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8 || count == 0 ||
            count > bytes_.size() || top >= count || tableOffset_ < kBinaryMagic.size() ||
            tableOffset_ > end_ || (end_ - tableOffset_) / offsetSize_ < count) {
            return false;
        }
        objects_.assign(count, Object{});
        auto height = visit(top, 0);
        return height && *height <= limits_.maxDepth && objects_[top].size <= limits_.maxObjects;
    }

private:
    enum class State : std::uint8_t { Unseen, Open, Done };
    struct Object {
        State state = State::Unseen;
        int height = 0;
        std::size_t size = 0;
    };

    // The object's height (containers below it); nothing when it breaks a rule.
    std::optional<int> visit(std::uint64_t index, int depth) {
        if (depth > limits_.maxDepth) {
            return std::nullopt;
        }
        Object& object = objects_[index];
        if (object.state == State::Done) {
            return object.height;
        }
        if (object.state == State::Open) {
            return std::nullopt;  // a container that holds itself
        }
        object.state = State::Open;
        std::uint64_t offset = bigEndian(bytes_, tableOffset_ + index * offsetSize_, offsetSize_);
        std::vector<std::uint64_t> children;
        if (offset < kBinaryMagic.size() || offset >= tableOffset_ ||
            !readObject(offset, children)) {
            return std::nullopt;
        }
        int height = 0;
        std::size_t size = 1;
        for (std::uint64_t child : children) {
            auto childHeight = visit(child, depth + 1);
            if (!childHeight) {
                return std::nullopt;
            }
            height = std::max(height, *childHeight + 1);
            // Saturates just above the limit, so no sum can overflow.
            size = std::min(size + objects_[child].size, limits_.maxObjects + 1);
        }
        Object& done = objects_[index];
        done.state = State::Done;
        done.height = height;
        done.size = size;
        return height;
    }

    // Reads the object at offset: checks that it lies inside the object area
    // and holds no NUL character when it is a string; fills children with the
    // references of a container.
    bool readObject(std::uint64_t offset, std::vector<std::uint64_t>& children) const {
        unsigned char marker = static_cast<unsigned char>(bytes_[offset]);
        unsigned type = marker >> 4;
        std::uint64_t low = marker & 0x0F;
        std::uint64_t at = offset + 1;
        auto fits = [&](std::uint64_t length) { return at <= end_ && length <= end_ - at; };
        switch (type) {
            case 0x0:
                return true;
            case 0x1:
            case 0x2:
                return low <= 3 && fits(std::uint64_t{1} << low);
            case 0x3:
                return fits(8);
            case 0x8:
                return fits(low + 1);
            case 0x4:
            case 0x5:
            case 0x6:
            case 0xA:
            case 0xC:
            case 0xD:
                break;
            default:
                return false;
        }
        std::uint64_t count = low;
        if (low == 0x0F) {
            // The count follows as an integer object of 1, 2, 4 or 8 bytes.
            if (!fits(1)) {
                return false;
            }
            unsigned char countMarker = static_cast<unsigned char>(bytes_[at]);
            std::uint64_t width = std::uint64_t{1} << (countMarker & 0x0F);
            ++at;
            if ((countMarker >> 4) != 0x1 || width > 8 || !fits(width)) {
                return false;
            }
            count = bigEndian(bytes_, at, width);
            at += width;
        }
        if (type == 0x4) {
            return fits(count);
        }
        if (type == 0x5) {
            return fits(count) && bytes_.substr(at, count).find('\0') == std::string_view::npos;
        }
        if (type == 0x6) {
            if (count > end_ || !fits(count * 2)) {
                return false;
            }
            for (std::uint64_t i = 0; i < count; ++i) {
                if (bytes_[at + 2 * i] == '\0' && bytes_[at + 2 * i + 1] == '\0') {
                    return false;
                }
            }
            return true;
        }
        std::uint64_t refs = type == 0xD ? count * 2 : count;
        if (count > end_ || !fits(refs * refSize_)) {
            return false;
        }
        children.reserve(refs);
        for (std::uint64_t i = 0; i < refs; ++i) {
            std::uint64_t ref = bigEndian(bytes_, at + i * refSize_, refSize_);
            if (ref >= objects_.size()) {
                return false;
            }
            children.push_back(ref);
        }
        return true;
    }

    std::string_view bytes_;
    const PlistBounds::Limits& limits_;
    std::size_t offsetSize_ = 0;
    std::size_t refSize_ = 0;
    std::uint64_t tableOffset_ = 0;
    std::uint64_t end_ = 0;
    std::vector<Object> objects_;
};

// True when a character reference "&#…;" starting at text[at] stands for NUL
// or for no character at all.
bool nulReference(std::string_view text, std::size_t at) {
    std::size_t i = at + 2;
    int base = 10;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    }
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'                 ? c - '0'
                    : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
        if (digit < 0) {
            break;
        }
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0x10FFFF) {
            return true;
        }
        ++digits;
    }
    return digits > 0 && value == 0;
}

bool isNameEnd(char c) {
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

bool PlistBounds::within(std::string_view bytes, const Limits& limits) {
    if (bytes.empty() || bytes.size() > limits.maxBytes) {
        return false;
    }
    return bytes.substr(0, kBinaryMagic.size()) == kBinaryMagic ? binaryWithin(bytes, limits)
                                                                : xmlWithin(bytes, limits);
}

bool PlistBounds::binaryWithin(std::string_view bytes, const Limits& limits) {
    return BinaryWalker(bytes, limits).walk();
}

// Follows the elements as the XML reader does: processing instructions,
// comments, CDATA sections and the document type are skipped whole; every
// closing tag must close the element opened last. Only "array" and "dict"
// count towards the depth; every element but "plist" and "key" is an object.
bool PlistBounds::xmlWithin(std::string_view bytes, const Limits& limits) {
    if (bytes.find('\0') != std::string_view::npos) {
        return false;
    }
    for (std::size_t at = bytes.find("&#"); at != std::string_view::npos;
         at = bytes.find("&#", at + 2)) {
        if (nulReference(bytes, at)) {
            return false;
        }
    }
    auto skipPast = [&](std::size_t& at, std::string_view end) {
        std::size_t found = bytes.find(end, at);
        if (found == std::string_view::npos) {
            return false;
        }
        at = found + end.size();
        return true;
    };
    std::vector<std::string_view> open;  // names of the elements not yet closed
    int depth = 0;
    std::size_t objects = 0;
    const std::size_t maxElementDepth = static_cast<std::size_t>(limits.maxDepth) + 4;
    std::size_t at = 0;
    while ((at = bytes.find('<', at)) != std::string_view::npos) {
        std::string_view rest = bytes.substr(at);
        if (rest.starts_with("<?")) {
            if (!skipPast(at, "?>")) {
                return false;
            }
        } else if (rest.starts_with("<!--")) {
            at += 4;
            if (!skipPast(at, "-->")) {
                return false;
            }
        } else if (rest.starts_with("<![CDATA[")) {
            if (!skipPast(at, "]]>")) {
                return false;
            }
        } else if (rest.starts_with("<!")) {
            // A document type with an internal subset could declare entities.
            std::size_t close = bytes.find('>', at);
            if (close == std::string_view::npos ||
                bytes.substr(at, close - at).find('[') != std::string_view::npos) {
                return false;
            }
            at = close + 1;
        } else {
            bool closing = rest.starts_with("</");
            std::size_t nameStart = at + (closing ? 2 : 1);
            std::size_t nameEnd = nameStart;
            while (nameEnd < bytes.size() && !isNameEnd(bytes[nameEnd])) {
                ++nameEnd;
            }
            std::size_t close = bytes.find('>', nameEnd);
            if (close == std::string_view::npos || nameEnd == nameStart) {
                return false;
            }
            std::string_view name = bytes.substr(nameStart, nameEnd - nameStart);
            bool container = name == "array" || name == "dict";
            if (closing) {
                if (open.empty() || open.back() != name) {
                    return false;
                }
                open.pop_back();
                depth -= container ? 1 : 0;
            } else {
                if (name != "plist" && name != "key" && ++objects > limits.maxObjects) {
                    return false;
                }
                if (bytes[close - 1] != '/') {
                    open.push_back(name);
                    depth += container ? 1 : 0;
                    // The top container is at depth 0.
                    if (depth - 1 > limits.maxDepth || open.size() > maxElementDepth) {
                        return false;
                    }
                }
            }
            at = close + 1;
        }
    }
    return open.empty();
}
