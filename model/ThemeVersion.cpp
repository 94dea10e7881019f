#include "model/ThemeVersion.h"

#include <cstddef>
#include <string_view>

namespace {

enum class Kind { End, Number, Letters };

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}

unsigned char lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Walks a version's runs, separators skipped.
class Runs {
public:
    explicit Runs(std::string_view text) : text_(text) { advance(); }

    Kind kind() const { return kind_; }
    // The run; a number without its leading zeros ("" for zero).
    std::string_view run() const { return run_; }

    void advance() {
        while (at_ < text_.size() && !isDigit(byte(at_)) && !isLetter(byte(at_))) {
            ++at_;
        }
        if (at_ == text_.size()) {
            kind_ = Kind::End;
            run_ = {};
            return;
        }
        const bool digits = isDigit(byte(at_));
        kind_ = digits ? Kind::Number : Kind::Letters;
        std::size_t start = at_;
        while (at_ < text_.size() && (digits ? isDigit(byte(at_)) : isLetter(byte(at_)))) {
            ++at_;
        }
        if (digits) {
            while (start < at_ && text_[start] == '0') {
                ++start;
            }
        }
        run_ = text_.substr(start, at_ - start);
    }

private:
    unsigned char byte(std::size_t i) const { return static_cast<unsigned char>(text_[i]); }

    std::string_view text_;
    std::size_t at_ = 0;
    Kind kind_ = Kind::End;
    std::string_view run_;
};

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Numbers as digit strings without leading zeros: the longer is larger, else the text decides.
int compareNumbers(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return sign(a.compare(b));
}

int compareLetters(std::string_view a, std::string_view b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const unsigned char x = lower(static_cast<unsigned char>(a[i]));
        const unsigned char y = lower(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// How the rest of a version compares with the other's end: zeros count for
// nothing, a letter run first makes it a pre-release, a number above zero newer.
int restAgainstEnd(Runs& rest) {
    while (rest.kind() == Kind::Number && rest.run().empty()) {
        rest.advance();
    }
    return rest.kind() == Kind::End ? 0 : rest.kind() == Kind::Letters ? -1 : 1;
}

}  // namespace

int ThemeVersion::compare(const std::string& a, const std::string& b) {
    Runs left(a);
    Runs right(b);
    for (;; left.advance(), right.advance()) {
        if (left.kind() == Kind::End || right.kind() == Kind::End) {
            return left.kind() == Kind::End ? -restAgainstEnd(right) : restAgainstEnd(left);
        }
        if (left.kind() != right.kind()) {
            // A letter run against a number is the pre-release.
            return left.kind() == Kind::Letters ? -1 : 1;
        }
        const int order = left.kind() == Kind::Number ? compareNumbers(left.run(), right.run())
                                                      : compareLetters(left.run(), right.run());
        if (order != 0) {
            return order;
        }
    }
}
