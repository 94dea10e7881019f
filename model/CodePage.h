#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// A Windows or Mac code page, the encoding of 8-bit text in RTF documents.
// Windows Latin 1 (1252) is built in; the other code pages that RTF writers
// name go through the C library's iconv. A number that is not known, or that
// the C library cannot convert, falls back to 1252, so decoding never fails.
//
// A single-byte code page decodes each byte on its own, as Windows and other
// RTF readers do: a combining mark (Hebrew points, Vietnamese tones) stays a
// character of its own and is never merged with the letter before it.
//
// An instance owns its converter: use it from one thread at a time.
class CodePage {
public:
    static constexpr int kWindowsLatin1 = 1252;

    explicit CodePage(int number);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    // The code page actually used: the requested number, or 1252 after a fallback.
    int number() const { return number_; }

    // True when byte starts a character of two or more bytes (Shift JIS,
    // GBK, Big5, the Korean code pages, UTF-8); always false in single-byte
    // code pages.
    bool isLeadByte(unsigned char byte) const { return single_[byte] == kLead; }

    // Appends bytes decoded to UTF-8. A byte or sequence with no character in
    // the code page, or a multi-byte sequence cut off at the end, gives U+FFFD.
    void decode(std::string_view bytes, std::string& out) const;

    // The Windows Latin 1 byte for codePoint; nothing when 1252 has no such
    // character. ASCII maps to itself.
    static std::optional<unsigned char> encodeWindowsLatin1(char32_t codePoint);

private:
    static constexpr char32_t kLead = 0xFFFFFFFF;

    int number_;
    bool multiByte_ = false;
    std::array<char32_t, 256> single_{};  // each byte alone: its character, or kLead
    void* converter_ = nullptr;           // iconv_t, kept for multi-byte code pages
};
