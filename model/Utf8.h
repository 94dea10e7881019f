#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 encoding and decoding for the text the core keeps. Malformed input
// (stray continuation bytes, overlong forms, surrogates, values past
// U+10FFFF, cut-off sequences) decodes to U+FFFD, so callers always get
// valid text. Stateless; any thread may call.
class Utf8 {
public:
    static constexpr char32_t kReplacement = 0xFFFD;

    // Appends the encoding of codePoint; a surrogate or a value past U+10FFFF
    // appends U+FFFD instead.
    static void append(std::string& out, char32_t codePoint);

    // Decodes the character starting at pos and moves pos past it. A malformed
    // sequence gives U+FFFD and moves pos past its longest valid prefix (at
    // least one byte). pos must be below text.size().
    static char32_t next(std::string_view text, std::size_t& pos);

    // The longest prefix of text of at most maxBytes that doesn't cut a
    // character in two.
    static std::string_view prefix(std::string_view text, std::size_t maxBytes);

    // text with every malformed sequence replaced by U+FFFD.
    static std::string sanitize(std::string_view text);
};
