#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Attributed text, as a theme's description holds it: paragraphs with an
// alignment, each a list of runs of UTF-8 text in one set of character
// attributes. A paragraph end is the character "\n"; the last paragraph may
// have none, so "a" and "a\n" are different texts.
//
// The text is kept in one canonical form, so that equal texts compare equal:
// runs are never empty, neighbouring runs of equal attributes are merged,
// text is valid UTF-8 (malformed bytes become U+FFFD), a font size is a
// multiple of half a point between 0.5 and 16383.5 (what RTF can store), a
// family has no spaces at its ends, keeps at most kMaxFamilyBytes and is
// "Helvetica" when empty.
// An empty paragraph carries its alignment but no runs.
//
// A plain value: copy it freely; one thread at a time may change an instance.
class RichText {
public:
    enum class Alignment { Left, Centre, Right, Justified };

    struct Colour {
        std::uint8_t r = 0;
        std::uint8_t g = 0;
        std::uint8_t b = 0;
        bool operator==(const Colour&) const = default;
    };

    struct Attributes {
        std::string fontFamily = "Helvetica";
        float size = 12.0f;  // points
        bool bold = false;
        bool italic = false;
        bool underline = false;
        Colour colour;
        bool operator==(const Attributes&) const = default;
    };

    struct Run {
        std::string text;
        Attributes attributes;
        bool operator==(const Run&) const = default;
    };

    struct Paragraph {
        Alignment alignment = Alignment::Left;
        std::vector<Run> runs;
        bool operator==(const Paragraph&) const = default;
    };

    static constexpr std::size_t kMaxFamilyBytes = 255;

    // Empty text.
    RichText() = default;

    // text in Helvetica 12, left aligned, black; "\r\n" and "\r" count as "\n".
    static RichText fromPlainText(const std::string& text);

    // The text with a "\n" after every paragraph that has an end.
    std::string plainText() const;

    const std::vector<Paragraph>& paragraphs() const { return paragraphs_; }
    // True when the text ends with a paragraph end ("a\n"), false for "a" and "".
    bool endsWithParagraphEnd() const { return !paragraphs_.empty() && !open_; }
    bool empty() const { return paragraphs_.empty(); }

    // Adds text in attributes (normalised as above) at the end. Each "\n" in
    // text ends the open paragraph; a paragraph opened here takes the
    // alignment set last (left at first).
    void append(std::string_view text, const Attributes& attributes);
    // Ends the open paragraph, or adds an empty paragraph when none is open.
    void endParagraph();
    // Sets the alignment of the open paragraph, or of the next one to open
    // when none is.
    void setAlignment(Alignment alignment);

    bool operator==(const RichText& other) const;

private:
    Paragraph& openParagraph();
    void appendRun(std::string_view text, const Attributes& attributes);

    // When open_, the last paragraph has no end yet (and holds text).
    std::vector<Paragraph> paragraphs_;
    bool open_ = false;
    Alignment nextAlignment_ = Alignment::Left;
};
