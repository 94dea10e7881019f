#include "model/RtfReader.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/CodePage.h"
#include "model/Utf8.h"

namespace {

using Alignment = RichText::Alignment;

// Control words the reader acts on; every other word is ignored.
enum class Word {
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    FontTable,
    ColourTable,
    SkippedDestination,
    Font,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    UnderlineColour,
    Colour,
    Plain,
    ParagraphDefault,
    AlignLeft,
    AlignCentre,
    AlignRight,
    AlignJustified,
    ParagraphEnd,
    Character,
    Unicode,
    UnicodeSkip,
    Binary,
    DoubleByte,
    SingleByte,
    RightToLeft,
    LeftToRight,
    AssociatedFont,
    AssociatedSize,
    AssociatedBold,
    AssociatedItalic,
    FootnoteMark,
};

struct WordInfo {
    Word word;
    char32_t character = 0;  // for Word::Character
};

const std::unordered_map<std::string_view, WordInfo>& words() {
    static const std::unordered_map<std::string_view, WordInfo> table = [] {
        std::unordered_map<std::string_view, WordInfo> t = {
            {"ansi", {Word::Ansi}},
            {"mac", {Word::Mac}},
            {"pc", {Word::Pc}},
            {"pca", {Word::Pca}},
            {"ansicpg", {Word::AnsiCodePage}},
            {"deff", {Word::DefaultFont}},
            {"fonttbl", {Word::FontTable}},
            {"colortbl", {Word::ColourTable}},
            {"f", {Word::Font}},
            {"fcharset", {Word::FontCharset}},
            {"cpg", {Word::FontCodePage}},
            {"red", {Word::Red}},
            {"green", {Word::Green}},
            {"blue", {Word::Blue}},
            {"fs", {Word::FontSize}},
            {"b", {Word::Bold}},
            {"i", {Word::Italic}},
            {"ulnone", {Word::UnderlineNone}},
            {"ulc", {Word::UnderlineColour}},
            {"cf", {Word::Colour}},
            {"plain", {Word::Plain}},
            {"pard", {Word::ParagraphDefault}},
            {"ql", {Word::AlignLeft}},
            {"qnatural", {Word::AlignLeft}},
            {"qc", {Word::AlignCentre}},
            {"qr", {Word::AlignRight}},
            {"qj", {Word::AlignJustified}},
            {"qd", {Word::AlignJustified}},
            {"par", {Word::ParagraphEnd}},
            {"sect", {Word::ParagraphEnd}},
            {"page", {Word::ParagraphEnd}},
            {"row", {Word::ParagraphEnd}},
            {"line", {Word::Character, 0x2028}},
            {"tab", {Word::Character, '\t'}},
            {"cell", {Word::Character, '\t'}},
            {"emdash", {Word::Character, 0x2014}},
            {"endash", {Word::Character, 0x2013}},
            {"emspace", {Word::Character, 0x2003}},
            {"enspace", {Word::Character, 0x2002}},
            {"qmspace", {Word::Character, 0x2005}},
            {"bullet", {Word::Character, 0x2022}},
            {"lquote", {Word::Character, 0x2018}},
            {"rquote", {Word::Character, 0x2019}},
            {"ldblquote", {Word::Character, 0x201C}},
            {"rdblquote", {Word::Character, 0x201D}},
            {"zwj", {Word::Character, 0x200D}},
            {"zwnj", {Word::Character, 0x200C}},
            {"ltrmark", {Word::Character, 0x200E}},
            {"rtlmark", {Word::Character, 0x200F}},
            {"chftn", {Word::FootnoteMark}},
            {"dbch", {Word::DoubleByte}},
            {"loch", {Word::SingleByte}},
            {"hich", {Word::SingleByte}},
            {"rtlch", {Word::RightToLeft}},
            {"ltrch", {Word::LeftToRight}},
            {"af", {Word::AssociatedFont}},
            {"afs", {Word::AssociatedSize}},
            {"ab", {Word::AssociatedBold}},
            {"ai", {Word::AssociatedItalic}},
            {"u", {Word::Unicode}},
            {"uc", {Word::UnicodeSkip}},
            {"bin", {Word::Binary}},
        };
        // Every underline style but "none" underlines.
        for (std::string_view style :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhair", "ulhwave", "ulldash",
              "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave",
              "ulw", "ulwave"}) {
            t.emplace(style, WordInfo{Word::Underline});
        }
        // Destinations that hold no text of the document.
        for (std::string_view destination : {"info",
                                             "stylesheet",
                                             "pict",
                                             "object",
                                             "objdata",
                                             "header",
                                             "headerl",
                                             "headerr",
                                             "headerf",
                                             "footer",
                                             "footerl",
                                             "footerr",
                                             "footerf",
                                             "footnote",
                                             "annotation",
                                             "fldinst",
                                             "xe",
                                             "tc",
                                             "txe",
                                             "rxe",
                                             "listtable",
                                             "listoverridetable",
                                             "revtbl",
                                             "rsidtbl",
                                             "filetbl",
                                             "themedata",
                                             "colorschememapping",
                                             "datastore",
                                             "latentstyles",
                                             "generator",
                                             "NeXTGraphic",
                                             "nonshppict"}) {
            t.emplace(destination, WordInfo{Word::SkippedDestination});
        }
        return t;
    }();
    return table;
}

// The code page of an \fcharset value; 0 for "the document's".
int codePageOfCharset(long charset) {
    switch (charset) {
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return 0;
    }
}

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

struct Font {
    std::string name;
    int codePage = 0;  // 0: the document's
};

// One pass over the bytes. Text is gathered in runs and handed to the
// result whenever its attributes change or a paragraph ends.
class Parser {
public:
    explicit Parser(std::string_view input) : in_(input) {}
    std::optional<RichText> run();

private:
    void readControl();
    void controlWord(std::string_view word, bool hasParameter, long parameter);
    void controlSymbol(char symbol);
    void hexByte(unsigned char byte);
    void literal(unsigned char byte);
    void pendingByte(unsigned char byte);
    bool awaitsTrailByte(unsigned char byte) const;
    bool skipsFallback();
    void textCharacter(char32_t character);
    void unicodeUnit(long unit);
    void sink(std::string_view utf8);
    void appendText(const RunKey& key, std::string_view utf8);
    void associated(Word word, bool hasParameter, long parameter);
    void dropSurrogate();
    void flushBytes();
    void flushRun();
    void endParagraph();
    void openGroup();
    void closeGroup();
    void startFont(long number);
    void commitFont();
    void commitColour();
    int currentCodePage() const;
    const CodePage& codePage(int number);
    RichText::Attributes resolve(const RunKey& key) const;

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<State> stack_;
    State state_;
    bool overLimit_ = false;  // nesting, runs or paragraphs beyond the reader's limits
    std::size_t runs_ = 0;
    std::size_t paragraphs_ = 0;

    int documentCodePage_ = CodePage::kWindowsLatin1;
    long defaultFont_ = -1;
    std::map<long, Font> fonts_;
    long fontNumber_ = 0;
    Font pendingFont_;
    bool fontStarted_ = false;
    std::vector<std::optional<RichText::Colour>> colours_;
    RichText::Colour pendingColour_;
    bool colourSet_ = false;
    std::map<int, std::unique_ptr<CodePage>> codePages_;

    std::string pendingBytes_;               // \'hh and 8-bit bytes, decoded together
    const CodePage* pendingPage_ = nullptr;  // the code page of pendingBytes_
    bool awaitingTrail_ = false;             // pendingBytes_ ends with a lead byte
    long footnotes_ = 0;                     // automatic footnote marks so far
    long fallbackLeft_ = 0;                  // characters of a \u fallback still to skip
    char32_t highSurrogate_ = 0;
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
        } else if (awaitsTrailByte(static_cast<unsigned char>(c))) {
            pendingByte(static_cast<unsigned char>(c));
        } else if (isPlainText(c) && state_.destination == Destination::Text &&
                   fallbackLeft_ == 0) {
            // Most of a document is plain text: take it whole.
            const std::size_t start = pos_ - 1;
            while (pos_ < in_.size() && isPlainText(in_[pos_])) {
                ++pos_;
            }
            flushBytes();
            sink(in_.substr(start, pos_ - start));
        } else {
            literal(static_cast<unsigned char>(c));
        }
        if (overLimit_) {
            return std::nullopt;
        }
    }
    flushBytes();
    dropSurrogate();
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
    flushBytes();
    const auto found = words().find(word);
    if (found != words().end() && found->second.word == Word::Binary) {
        // Raw bytes follow; they are never text.
        const auto length = static_cast<std::size_t>(std::max(parameter, 0L));
        pos_ += std::min(length, in_.size() - pos_);
    }
    if (state_.destination == Destination::Skip || skipsFallback() || found == words().end()) {
        return;
    }
    const bool on = !hasParameter || parameter != 0;
    const Destination destination = state_.destination;
    switch (found->second.word) {
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
            defaultFont_ = parameter;
            break;
        case Word::FontTable:
            state_.destination = Destination::FontTable;
            fontStarted_ = false;
            pendingFont_ = Font{};
            break;
        case Word::ColourTable:
            state_.destination = Destination::ColourTable;
            colourSet_ = false;
            pendingColour_ = {};
            break;
        case Word::SkippedDestination:
            state_.destination = Destination::Skip;
            break;
        case Word::Font:
            if (destination == Destination::FontTable) {
                startFont(parameter);
            } else {
                state_.font = parameter;
            }
            break;
        case Word::FontCharset:
            if (destination == Destination::FontTable) {
                pendingFont_.codePage = codePageOfCharset(parameter);
            }
            break;
        case Word::FontCodePage:
            if (destination == Destination::FontTable) {
                pendingFont_.codePage = static_cast<int>(parameter);
            }
            break;
        case Word::Red:
        case Word::Green:
        case Word::Blue:
            if (destination == Destination::ColourTable) {
                const auto value = static_cast<std::uint8_t>(std::clamp(parameter, 0L, 255L));
                const Word component = found->second.word;
                (component == Word::Red     ? pendingColour_.r
                 : component == Word::Green ? pendingColour_.g
                                            : pendingColour_.b) = value;
                colourSet_ = true;
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
            textCharacter(found->second.character);
            break;
        case Word::Unicode:
            if (hasParameter) {
                unicodeUnit(parameter);
                fallbackLeft_ = state_.unicodeSkip;
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
            associated(found->second.word, hasParameter, parameter);
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
    if (awaitsTrailByte(static_cast<unsigned char>(symbol))) {
        pendingByte(static_cast<unsigned char>(symbol));  // \\ \{ \} as a trail byte
        return;
    }
    flushBytes();
    if (state_.destination == Destination::Skip) {
        return;
    }
    if (symbol == '*') {
        // An ignorable destination: none of them holds text we show.
        state_.destination = Destination::Skip;
        return;
    }
    if (skipsFallback()) {
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
    if (state_.destination == Destination::Skip || skipsFallback()) {
        return;
    }
    pendingByte(byte);
}

void Parser::literal(unsigned char byte) {
    if (byte == '\n' || byte == '\r' || state_.destination == Destination::Skip) {
        return;
    }
    if (skipsFallback()) {
        return;
    }
    if (byte >= 0x80 || awaitsTrailByte(byte)) {
        pendingByte(byte);
        return;
    }
    flushBytes();
    if (byte < 0x20 && byte != '\t') {
        return;  // stray control bytes in the file
    }
    if (byte == ';' && state_.destination == Destination::FontTable) {
        commitFont();
    } else if (byte == ';' && state_.destination == Destination::ColourTable) {
        commitColour();
    } else {
        textCharacter(byte);
    }
}

// The bytes of a character reach the code page together, whether written as
// \'hh, as 8-bit bytes or, for the second byte of a double-byte character,
// as a plain character ("\'83e", as word processors write Shift JIS).
void Parser::pendingByte(unsigned char byte) {
    if (pendingBytes_.empty()) {
        pendingPage_ = &codePage(currentCodePage());
        awaitingTrail_ = false;
    }
    pendingBytes_ += static_cast<char>(byte);
    awaitingTrail_ = !awaitingTrail_ && pendingPage_->isLeadByte(byte);
}

// True when byte is ASCII that completes a double-byte character; every
// double-byte code page's second bytes start at 0x40.
bool Parser::awaitsTrailByte(unsigned char byte) const {
    return awaitingTrail_ && byte >= 0x40 && byte < 0x80;
}

// Counts one character against a \u fallback; true when it is skipped.
bool Parser::skipsFallback() {
    if (fallbackLeft_ <= 0) {
        return false;
    }
    --fallbackLeft_;
    return true;
}

void Parser::textCharacter(char32_t character) {
    std::string utf8;
    Utf8::append(utf8, character);
    sink(utf8);
}

// A UTF-16 unit of \uN (negative values count from 65536); surrogate
// halves are paired, a lone half becomes U+FFFD.
void Parser::unicodeUnit(long unit) {
    if (unit < 0 && unit >= -32768) {
        unit += 65536;
    }
    if (unit < 0 || unit > 0xFFFF) {
        textCharacter(Utf8::kReplacement);
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
        dropSurrogate();
        highSurrogate_ = static_cast<char32_t>(unit);
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (highSurrogate_ == 0) {
            textCharacter(Utf8::kReplacement);
        } else {
            const char32_t high = highSurrogate_;
            highSurrogate_ = 0;
            textCharacter(0x10000 + ((high - 0xD800) << 10) +
                          (static_cast<char32_t>(unit) - 0xDC00));
        }
    } else {
        textCharacter(static_cast<char32_t>(unit));
    }
}

// Hands decoded text to the current destination.
void Parser::sink(std::string_view utf8) {
    dropSurrogate();
    if (state_.destination == Destination::FontTable) {
        // Leading spaces are trimmed later, so keep a few bytes beyond the limit.
        std::string& name = pendingFont_.name;
        const std::size_t room =
            RichText::kMaxFamilyBytes + 16 - std::min(name.size(), RichText::kMaxFamilyBytes + 16);
        name += Utf8::prefix(utf8, room);
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

void Parser::dropSurrogate() {
    if (highSurrogate_ != 0) {
        highSurrogate_ = 0;
        textCharacter(Utf8::kReplacement);
    }
}

void Parser::flushBytes() {
    if (pendingBytes_.empty()) {
        return;
    }
    std::string decoded;
    pendingPage_->decode(pendingBytes_, decoded);
    pendingBytes_.clear();
    awaitingTrail_ = false;
    sink(decoded);
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
    dropSurrogate();
    flushRun();
    result_.setAlignment(state_.alignment);
    result_.endParagraph();
    overLimit_ = overLimit_ || ++paragraphs_ > RtfReader::kMaxParagraphs;
}

void Parser::openGroup() {
    flushBytes();
    fallbackLeft_ = 0;
    if (stack_.size() >= RtfReader::kMaxGroupDepth) {
        overLimit_ = true;
        return;
    }
    stack_.push_back(state_);
}

void Parser::closeGroup() {
    flushBytes();
    dropSurrogate();
    fallbackLeft_ = 0;
    if (state_.destination == Destination::FontTable) {
        commitFont();
    }
    if (!stack_.empty()) {
        state_ = stack_.back();
        stack_.pop_back();
    }
}

void Parser::startFont(long number) {
    commitFont();
    fontNumber_ = number;
    fontStarted_ = true;
}

void Parser::commitFont() {
    if (fontStarted_ || !pendingFont_.name.empty()) {
        std::string& name = pendingFont_.name;
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        fonts_.insert_or_assign(fontNumber_, std::move(pendingFont_));
    }
    pendingFont_ = Font{};
    fontStarted_ = false;
}

void Parser::commitColour() {
    colours_.push_back(colourSet_ ? std::optional(pendingColour_) : std::nullopt);
    pendingColour_ = {};
    colourSet_ = false;
}

int Parser::currentCodePage() const {
    if (state_.destination == Destination::FontTable) {
        return pendingFont_.codePage != 0 ? pendingFont_.codePage : documentCodePage_;
    }
    // After \dbch, bytes are in the East Asian font's code page when it names one.
    const std::optional<long> eastAsianFont = state_.eastAsian.font;
    for (const long number :
         {state_.doubleByte && eastAsianFont ? *eastAsianFont : state_.font, state_.font}) {
        auto font = fonts_.find(number < 0 ? defaultFont_ : number);
        if (font != fonts_.end() && font->second.codePage != 0) {
            return font->second.codePage;
        }
    }
    return documentCodePage_;
}

const CodePage& Parser::codePage(int number) {
    std::unique_ptr<CodePage>& page = codePages_[number];
    if (!page) {
        page = std::make_unique<CodePage>(number);
    }
    return *page;
}

RichText::Attributes Parser::resolve(const RunKey& key) const {
    RichText::Attributes attributes;
    auto font = fonts_.find(key.font < 0 ? defaultFont_ : key.font);
    if (font == fonts_.end()) {
        font = fonts_.find(defaultFont_);
    }
    if (font != fonts_.end() && !font->second.name.empty()) {
        attributes.fontFamily = font->second.name;
    }
    attributes.size = static_cast<float>(key.halfPoints) / 2.0f;
    attributes.bold = key.bold;
    attributes.italic = key.italic;
    attributes.underline = key.underline;
    if (key.colour >= 0 && static_cast<std::size_t>(key.colour) < colours_.size() &&
        colours_[static_cast<std::size_t>(key.colour)]) {
        attributes.colour = *colours_[static_cast<std::size_t>(key.colour)];
    }
    return attributes;
}

}  // namespace

std::optional<RichText> RtfReader::read(const std::string& bytes) {
    return Parser(bytes).run();
}
