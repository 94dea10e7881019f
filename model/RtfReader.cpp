#include "model/RtfReader.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "model/CodePage.h"
#include "model/RtfControlWords.h"
#include "model/RtfDocumentTables.h"
#include "model/RtfTextDecoder.h"
#include "model/Utf8.h"

namespace {

using Alignment = RichText::Alignment;
using Word = RtfControlWords::Word;

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Printable ASCII that is text wherever it stands in a text destination.
bool isPlainText(char c) {
    return c >= 0x20 && c < 0x7F && c != '{' && c != '}' && c != '\\';
}

int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Characters that Word and LibreOffice show in a document's East Asian font:
// CJK ideographs, kana, Hangul, Bopomofo, CJK symbols and full-width forms.
bool isEastAsian(char32_t c) {
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x2FDF) ||
           (c >= 0x3000 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xA960 && c <= 0xA97F) || (c >= 0xAC00 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

enum class Destination { Text, FontTable, ColourTable, Skip };

// The font, size, bold and italic of East Asian text where they differ from
// the rest: set by \af, \afs, \ab and \ai after \dbch. Unset ones follow
// \f, \fs, \b and \i.
struct EastAsian {
    std::optional<long> font;
    std::optional<long> halfPoints;
    std::optional<bool> bold;
    std::optional<bool> italic;
};

// What a group saves and restores.
struct State {
    Destination destination = Destination::Text;
    long font = -1;  // -1: the default font
    long halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    long colour = 0;
    Alignment alignment = Alignment::Left;
    long unicodeSkip = 1;
    // Where \af, \afs, \ab and \ai go: East Asian text after \dbch, and
    // nowhere after \loch, \hich or \rtlch (the first two are the text \f
    // and its kin describe, right-to-left text is not set apart).
    bool doubleByte = false;
    bool rightToLeft = false;
    EastAsian eastAsian;
};

// The character attributes of buffered text, unresolved.
struct RunKey {
    long font = -1;
    long halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    long colour = 0;
    Alignment alignment = Alignment::Left;
    bool operator==(const RunKey&) const = default;
};

// One pass over the bytes. Text is gathered in runs and handed to the
// result whenever its attributes change or a paragraph ends.
class Parser {
public:
    explicit Parser(std::string_view input) : in_(input) {}
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
    std::optional<RichText> run();

private:
    void readControl();
    void controlWord(std::string_view word, bool hasParameter, long parameter);
    void controlSymbol(char symbol);
    void hexByte(unsigned char byte);
    void literal(unsigned char byte);
    void pendingByte(unsigned char byte);
    void textCharacter(char32_t character);
    void sink(std::string_view utf8);
    void appendText(const RunKey& key, std::string_view utf8);
    void associated(Word word, bool hasParameter, long parameter);
    void flushRun();
    void endParagraph();
    void openGroup();
    void closeGroup();
    int currentCodePage() const;
    RichText::Attributes resolve(const RunKey& key) const;

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<State> stack_;
    State state_;
    bool overLimit_ = false;  // nesting, runs or paragraphs beyond the reader's limits
    std::size_t runs_ = 0;
    std::size_t paragraphs_ = 0;

    int documentCodePage_ = CodePage::kWindowsLatin1;
    RtfDocumentTables tables_;
    long footnotes_ = 0;  // automatic footnote marks so far
    RtfTextDecoder decoder_{[this](std::string_view utf8) { sink(utf8); }};
    std::string runText_;
    RunKey runKey_;
    RichText result_;
};

std::optional<RichText> Parser::run() {
    if (in_.size() > RtfReader::kMaxInputBytes || !in_.starts_with("{\\rtf")) {
        return std::nullopt;
    }
    while (pos_ < in_.size()) {
        const char c = in_[pos_++];
        if (c == '{') {
            openGroup();
        } else if (c == '}') {
            closeGroup();
            if (stack_.empty()) {
                break;
            }
        } else if (c == '\\') {
            if (pos_ >= in_.size()) {
                break;
            }
            readControl();
        } else if (decoder_.awaitsTrailByte(static_cast<unsigned char>(c))) {
            pendingByte(static_cast<unsigned char>(c));
        } else if (isPlainText(c) && state_.destination == Destination::Text &&
                   !decoder_.inFallback()) {
            // Most of a document is plain text: take it whole.
            const std::size_t start = pos_ - 1;
            while (pos_ < in_.size() && isPlainText(in_[pos_])) {
                ++pos_;
            }
            decoder_.flushBytes();
            sink(in_.substr(start, pos_ - start));
        } else {
            literal(static_cast<unsigned char>(c));
        }
        if (overLimit_) {
            return std::nullopt;
        }
    }
    decoder_.flushBytes();
    decoder_.dropSurrogate();
    flushRun();
    return overLimit_ ? std::nullopt : std::optional(std::move(result_));
}

// After a backslash: a control word with its parameter, a hex byte or a symbol.
void Parser::readControl() {
    const char next = in_[pos_];
    if (isLetter(next)) {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_])) {
            ++pos_;
        }
        const std::string_view word = in_.substr(start, pos_ - start);
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        bool hasParameter = false;
        long parameter = 0;
        for (; pos_ < in_.size() && isDigit(in_[pos_]); ++pos_) {
            hasParameter = true;
            // Saturates near 1e9, which fits a 32-bit long.
            parameter = std::min(parameter, 100'000'000L) * 10 + (in_[pos_] - '0');
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') {
            ++pos_;  // the delimiter belongs to the word
        }
        controlWord(word, hasParameter, negative ? -parameter : parameter);
    } else if (next == '\'') {
        ++pos_;
        int value = -1;
        for (int digits = 0; digits < 2 && pos_ < in_.size(); ++digits) {
            const int digit = hexValue(in_[pos_]);
            if (digit < 0) {
                break;
            }
            value = (value < 0 ? 0 : value * 16) + digit;
            ++pos_;
        }
        if (value >= 0) {
            hexByte(static_cast<unsigned char>(value));
        }
    } else {
        ++pos_;
        controlSymbol(next);
    }
}

void Parser::controlWord(std::string_view word, bool hasParameter, long parameter) {
    decoder_.flushBytes();
    const RtfControlWords::Info* found = RtfControlWords::find(word);
    if (found != nullptr && found->word == Word::Binary) {
        // Raw bytes follow; they are never text.
        const auto length = static_cast<std::size_t>(std::max(parameter, 0L));
        pos_ += std::min(length, in_.size() - pos_);
    }
    if (state_.destination == Destination::Skip || decoder_.skipsFallback() || found == nullptr) {
        return;
    }
    const bool on = !hasParameter || parameter != 0;
    const Destination destination = state_.destination;
    switch (found->word) {
        case Word::Ansi:
            documentCodePage_ = CodePage::kWindowsLatin1;
            break;
        case Word::Mac:
            documentCodePage_ = 10000;
            break;
        case Word::Pc:
            documentCodePage_ = 437;
            break;
        case Word::Pca:
            documentCodePage_ = 850;
            break;
        case Word::AnsiCodePage:
            if (hasParameter) {
                documentCodePage_ = static_cast<int>(parameter);
            }
            break;
        case Word::DefaultFont:
            tables_.setDefaultFont(parameter);
            break;
        case Word::FontTable:
            state_.destination = Destination::FontTable;
            tables_.startFontTable();
            break;
        case Word::ColourTable:
            state_.destination = Destination::ColourTable;
            tables_.startColourTable();
            break;
        case Word::SkippedDestination:
            state_.destination = Destination::Skip;
            break;
        case Word::Font:
            if (destination == Destination::FontTable) {
                tables_.startFont(parameter);
            } else {
                state_.font = parameter;
            }
            break;
        case Word::FontCharset:
            if (destination == Destination::FontTable) {
                tables_.setFontCodePage(RtfControlWords::codePageOfCharset(parameter));
            }
            break;
        case Word::FontCodePage:
            if (destination == Destination::FontTable) {
                tables_.setFontCodePage(static_cast<int>(parameter));
            }
            break;
        case Word::Red:
        case Word::Green:
        case Word::Blue:
            if (destination == Destination::ColourTable) {
                const auto value = static_cast<std::uint8_t>(std::clamp(parameter, 0L, 255L));
                tables_.setColourComponent(found->word, value);
            }
            break;
        case Word::FontSize:
            state_.halfPoints = hasParameter ? std::clamp(parameter, 1L, 32767L) : 24;
            break;
        case Word::Bold:
            state_.bold = on;
            break;
        case Word::Italic:
            state_.italic = on;
            break;
        case Word::Underline:
            state_.underline = on;
            break;
        case Word::UnderlineNone:
            state_.underline = false;
            break;
        case Word::UnderlineColour:
            break;
        case Word::Colour:
            state_.colour = parameter;
            break;
        case Word::Plain:
            state_.font = -1;
            state_.halfPoints = 24;
            state_.bold = state_.italic = state_.underline = false;
            state_.colour = 0;
            state_.doubleByte = state_.rightToLeft = false;
            state_.eastAsian = EastAsian{};
            break;
        case Word::ParagraphDefault:
        case Word::AlignLeft:
            state_.alignment = Alignment::Left;
            break;
        case Word::AlignCentre:
            state_.alignment = Alignment::Centre;
            break;
        case Word::AlignRight:
            state_.alignment = Alignment::Right;
            break;
        case Word::AlignJustified:
            state_.alignment = Alignment::Justified;
            break;
        case Word::ParagraphEnd:
            endParagraph();
            break;
        case Word::Character:
            textCharacter(found->character);
            break;
        case Word::Unicode:
            if (hasParameter) {
                decoder_.unicodeUnit(parameter);
                decoder_.startFallback(state_.unicodeSkip);
            }
            break;
        case Word::UnicodeSkip:
            state_.unicodeSkip = std::clamp(parameter, 0L, 255L);
            break;
        case Word::Binary:
            break;
        case Word::DoubleByte:
            state_.doubleByte = true;
            break;
        case Word::SingleByte:
            state_.doubleByte = false;
            break;
        case Word::RightToLeft:
            state_.rightToLeft = true;
            break;
        case Word::LeftToRight:
            state_.rightToLeft = false;
            break;
        case Word::AssociatedFont:
        case Word::AssociatedSize:
        case Word::AssociatedBold:
        case Word::AssociatedItalic:
            associated(found->word, hasParameter, parameter);
            break;
        case Word::FootnoteMark:
            // The automatic mark of a footnote shows its number.
            if (destination == Destination::Text) {
                sink(std::to_string(++footnotes_));
            }
            break;
    }
}

void Parser::associated(Word word, bool hasParameter, long parameter) {
    if (!state_.doubleByte || state_.rightToLeft) {
        return;
    }
    EastAsian& eastAsian = state_.eastAsian;
    const bool on = !hasParameter || parameter != 0;
    switch (word) {
        case Word::AssociatedFont:
            eastAsian.font = parameter;
            break;
        case Word::AssociatedSize:
            eastAsian.halfPoints = hasParameter ? std::clamp(parameter, 1L, 32767L) : 24;
            break;
        case Word::AssociatedBold:
            eastAsian.bold = on;
            break;
        default:
            eastAsian.italic = on;
            break;
    }
}

void Parser::controlSymbol(char symbol) {
    if (decoder_.awaitsTrailByte(static_cast<unsigned char>(symbol))) {
        pendingByte(static_cast<unsigned char>(symbol));  // \\ \{ \} as a trail byte
        return;
    }
    decoder_.flushBytes();
    if (state_.destination == Destination::Skip) {
        return;
    }
    if (symbol == '*') {
        // An ignorable destination: none of them holds text we show.
        state_.destination = Destination::Skip;
        return;
    }
    if (decoder_.skipsFallback()) {
        return;
    }
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            textCharacter(static_cast<unsigned char>(symbol));
            break;
        case '~':
            textCharacter(0x00A0);
            break;
        case '_':
            textCharacter(0x2011);
            break;
        case '-':
            textCharacter(0x00AD);
            break;
        case '\n':
        case '\r':
            endParagraph();
            break;
        default:
            break;  // \: and \| formula marks
    }
}

void Parser::hexByte(unsigned char byte) {
    if (state_.destination == Destination::Skip || decoder_.skipsFallback()) {
        return;
    }
    pendingByte(byte);
}

void Parser::literal(unsigned char byte) {
    if (byte == '\n' || byte == '\r' || state_.destination == Destination::Skip) {
        return;
    }
    if (decoder_.skipsFallback()) {
        return;
    }
    if (byte >= 0x80 || decoder_.awaitsTrailByte(byte)) {
        pendingByte(byte);
        return;
    }
    decoder_.flushBytes();
    if (byte < 0x20 && byte != '\t') {
        return;  // stray control bytes in the file
    }
    if (byte == ';' && state_.destination == Destination::FontTable) {
        tables_.commitFont();
    } else if (byte == ';' && state_.destination == Destination::ColourTable) {
        tables_.commitColour();
    } else {
        textCharacter(byte);
    }
}

// The bytes of a character reach the code page together, whether written as
// \'hh, as 8-bit bytes or, for the second byte of a double-byte character,
// as a plain character ("\'83e", as word processors write Shift JIS).
void Parser::pendingByte(unsigned char byte) {
    if (!decoder_.holdsBytes()) {
        decoder_.startBytes(currentCodePage());
    }
    decoder_.addByte(byte);
}

void Parser::textCharacter(char32_t character) {
    std::string utf8;
    Utf8::append(utf8, character);
    sink(utf8);
}

// Hands decoded text to the current destination.
void Parser::sink(std::string_view utf8) {
    decoder_.dropSurrogate();
    if (state_.destination == Destination::FontTable) {
        tables_.appendFontName(utf8);
        return;
    }
    if (state_.destination != Destination::Text) {
        return;
    }
    const RunKey key{state_.font,      state_.halfPoints, state_.bold,     state_.italic,
                     state_.underline, state_.colour,     state_.alignment};
    const EastAsian& eastAsian = state_.eastAsian;
    RunKey eastAsianKey = key;
    eastAsianKey.font = eastAsian.font.value_or(key.font);
    eastAsianKey.halfPoints = eastAsian.halfPoints.value_or(key.halfPoints);
    eastAsianKey.bold = eastAsian.bold.value_or(key.bold);
    eastAsianKey.italic = eastAsian.italic.value_or(key.italic);
    if (eastAsianKey == key) {
        appendText(key, utf8);
        return;
    }
    // Split the text where it changes between East Asian and other characters.
    std::size_t start = 0;
    bool inEastAsian = false;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t at = pos;
        if (const bool next = isEastAsian(Utf8::next(utf8, pos)); next != inEastAsian) {
            appendText(inEastAsian ? eastAsianKey : key, utf8.substr(start, at - start));
            start = at;
            inEastAsian = next;
        }
    }
    appendText(inEastAsian ? eastAsianKey : key, utf8.substr(start));
}

void Parser::appendText(const RunKey& key, std::string_view utf8) {
    if (utf8.empty()) {
        return;
    }
    if (!(key == runKey_)) {
        flushRun();
        runKey_ = key;
    }
    runText_ += utf8;
}

void Parser::flushRun() {
    if (runText_.empty()) {
        return;
    }
    result_.append(runText_, resolve(runKey_));
    result_.setAlignment(runKey_.alignment);
    runText_.clear();
    overLimit_ = overLimit_ || ++runs_ > RtfReader::kMaxRuns;
}

void Parser::endParagraph() {
    if (state_.destination != Destination::Text) {
        return;
    }
    decoder_.dropSurrogate();
    flushRun();
    result_.setAlignment(state_.alignment);
    result_.endParagraph();
    overLimit_ = overLimit_ || ++paragraphs_ > RtfReader::kMaxParagraphs;
}

void Parser::openGroup() {
    decoder_.flushBytes();
    decoder_.endFallback();
    if (stack_.size() >= RtfReader::kMaxGroupDepth) {
        overLimit_ = true;
        return;
    }
    stack_.push_back(state_);
}

void Parser::closeGroup() {
    decoder_.flushBytes();
    decoder_.dropSurrogate();
    decoder_.endFallback();
    if (state_.destination == Destination::FontTable) {
        tables_.commitFont();
    }
    if (!stack_.empty()) {
        state_ = stack_.back();
        stack_.pop_back();
    }
}

int Parser::currentCodePage() const {
    if (state_.destination == Destination::FontTable) {
        const int fontCodePage = tables_.fontTableCodePage();
        return fontCodePage != 0 ? fontCodePage : documentCodePage_;
    }
    // After \dbch, bytes are in the East Asian font's code page when it names one.
    const std::optional<long> eastAsianFont = state_.eastAsian.font;
    for (const long number :
         {state_.doubleByte && eastAsianFont ? *eastAsianFont : state_.font, state_.font}) {
        if (const int fontCodePage = tables_.codePageOf(number); fontCodePage != 0) {
            return fontCodePage;
        }
    }
    return documentCodePage_;
}

RichText::Attributes Parser::resolve(const RunKey& key) const {
    RichText::Attributes attributes;
    tables_.describe(key.font, key.colour, attributes);
    attributes.size = static_cast<float>(key.halfPoints) / 2.0f;
    attributes.bold = key.bold;
    attributes.italic = key.italic;
    attributes.underline = key.underline;
    return attributes;
}

}  // namespace

std::optional<RichText> RtfReader::read(const std::string& bytes) {
    return Parser(bytes).run();
}
