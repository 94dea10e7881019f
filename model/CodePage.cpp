#include "model/CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>

#include "model/Utf8.h"

namespace {

// Bytes 0x80 to 0x9F of Windows Latin 1. The five bytes Windows leaves
// undefined map to the C1 control of the same value, as Windows itself does,
// so every byte has a character and every such character a byte.
constexpr std::array<char16_t, 32> kWindowsLatin1High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The iconv name of each code page RTF writers use besides 1252.
const char* iconvName(int number) {
    switch (number) {
        case 437:
            return "CP437";
        case 850:
            return "CP850";
        case 874:
            return "CP874";
        case 932:
            return "CP932";
        case 936:
            return "CP936";
        case 949:
            return "CP949";
        case 950:
            return "CP950";
        case 1250:
            return "CP1250";
        case 1251:
            return "CP1251";
        case 1253:
            return "CP1253";
        case 1254:
            return "CP1254";
        case 1255:
            return "CP1255";
        case 1256:
            return "CP1256";
        case 1257:
            return "CP1257";
        case 1258:
            return "CP1258";
        case 1361:
            return "JOHAB";
        case 10000:
            return "MACINTOSH";
        case 65001:
            return "UTF-8";
        default:
            return nullptr;
    }
}

}  // namespace

CodePage::CodePage(int number) : number_(kWindowsLatin1) {
    for (std::size_t byte = 0; byte < single_.size(); ++byte) {
        const bool high = byte >= 0x80 && byte < 0xA0;
        single_[byte] = high ? kWindowsLatin1High[byte - 0x80] : char32_t(byte);
    }
    const char* name = iconvName(number);
    if (name == nullptr) {
        return;
    }
    iconv_t converter = ::iconv_open("UTF-8", name);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return;
    }
    number_ = number;
    // Each byte alone tells its character, or that it needs more bytes.
    for (std::size_t byte = 0; byte < single_.size(); ++byte) {
        char in = static_cast<char>(byte);
        char* inPointer = &in;
        std::size_t inLeft = 1;
        std::array<char, 16> buffer;
        char* result = buffer.data();
        std::size_t resultLeft = buffer.size();
        ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
        const std::size_t done = ::iconv(converter, &inPointer, &inLeft, &result, &resultLeft);
        const int error = errno;
        // A converter that holds a letter back for a combining mark gives it up here.
        ::iconv(converter, nullptr, nullptr, &result, &resultLeft);
        const std::string_view utf8(buffer.data(), buffer.size() - resultLeft);
        std::size_t pos = 0;
        if (done == static_cast<std::size_t>(-1) && error == EINVAL) {
            single_[byte] = kLead;
            multiByte_ = true;
        } else if (done == static_cast<std::size_t>(-1) || utf8.empty()) {
            single_[byte] = Utf8::kReplacement;
        } else {
            single_[byte] = Utf8::next(utf8, pos);
        }
    }
    if (multiByte_) {
        converter_ = converter;
    } else {
        ::iconv_close(converter);
    }
}

CodePage::~CodePage() {
    if (converter_ != nullptr) {
        ::iconv_close(static_cast<iconv_t>(converter_));
    }
}

void CodePage::decode(std::string_view bytes, std::string& out) const {
    if (converter_ == nullptr) {
        for (const char c : bytes) {
            Utf8::append(out, single_[static_cast<unsigned char>(c)]);
        }
        return;
    }
    auto converter = static_cast<iconv_t>(converter_);
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::array<char, 256> buffer;
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* result = buffer.data();
        std::size_t resultLeft = buffer.size();
        const std::size_t done = ::iconv(converter, &in, &inLeft, &result, &resultLeft);
        const int error = errno;
        out.append(buffer.data(), static_cast<std::size_t>(result - buffer.data()));
        if (done != static_cast<std::size_t>(-1) || error == E2BIG) {
            continue;
        }
        Utf8::append(out, Utf8::kReplacement);
        if (error != EILSEQ) {
            break;  // a sequence cut off at the end, or an unexpected failure
        }
        ++in;
        --inLeft;
        ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
}

std::optional<unsigned char> CodePage::encodeWindowsLatin1(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<unsigned char>(codePoint);
    }
    for (std::size_t i = 0; i < kWindowsLatin1High.size(); ++i) {
        if (kWindowsLatin1High[i] == codePoint) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}
