#include "model/RtfWriter.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>
#include <vector>

#include "model/CodePage.h"
#include "model/Utf8.h"

namespace {

using Alignment = RichText::Alignment;
using Colour = RichText::Colour;

// TextEdit's default tab stops, written with every paragraph style.
constexpr std::string_view kTabStops =
    "\\tx566\\tx1133\\tx1700\\tx2267\\tx2834\\tx3401\\tx3968\\tx4535\\tx5102\\tx5669\\tx6236"
    "\\tx6803";

constexpr Colour kWhite{255, 255, 255};

std::string_view alignmentWords(Alignment alignment) {
    switch (alignment) {
        case Alignment::Centre:
            return "\\qc";
        case Alignment::Right:
            return "\\qr";
        case Alignment::Justified:
            return "\\qj";
        case Alignment::Left:
            break;
    }
    return "\\ql\\qnatural";
}

void appendHexByte(std::string& out, unsigned char byte) {
    static constexpr std::string_view kDigits = "0123456789abcdef";
    out += "\\'";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

// The character a reader that doesn't know \uN shows in its place: the
// letter an accented Latin letter is made from, else '?'.
char fallbackOf(char32_t c) {
    // U+0100 to U+024F (Latin Extended-A and -B) and U+1E00 to U+1EFF (Latin
    // Extended Additional, Vietnamese among others), from their decompositions.
    static constexpr std::string_view kLatinExtended =
        "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??JjKkkLlLlLlL"
        "lLlNnNnNn?NnOoOoOo??RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZz?"
        "bB?????CcDD??????F?G???IKkl??Nn?Oo??Pp?????tTtTUu?VYyZz?????????"
        "?????????????AaIiOoUuUuUuUuUu?AaAa????GgKkOoOo??j???Gg??NnAa????"
        "AaAaEeEeIiIiOoOoRrRrUuUuSsTt??Hh?d??ZzAaEeOoOoOoOoYylntj??ACcLTs"
        "z??BU?EeJjQqRrYy";
    static constexpr std::string_view kLatinAdditional =
        "AaBbBbBbCcDdDdDdDdDdEeEeEeEeEeFfGgHhHhHhHhHhIiIiKkKkKkLlLlLlLlMm"
        "MmMmNnNnNnNnOoOoOoOoPpPpRrRrRrRrSsSsSsSsSsTtTtTtTtUuUuUuUuUuVvVv"
        "WwWwWwWwWwXxXxYyZzZzZzhtwy??????AaAaAaAaAaAaAaAaAaAaAaAaEeEeEeEe"
        "EeEeEeEeIiIiOoOoOoOoOoOoOoOoOoOoOoOoUuUuUuUuUuUuUuYyYyYyYy??????";
    if (c >= 0x100 && c - 0x100 < kLatinExtended.size()) {
        return kLatinExtended[c - 0x100];
    }
    if (c >= 0x1E00 && c - 0x1E00 < kLatinAdditional.size()) {
        return kLatinAdditional[c - 0x1E00];
    }
    return '?';
}

// Appends c as \uN with one fallback character each (\uc1, which every
// common reader honours or assumes), N a signed 16-bit value and a character
// beyond U+FFFF as its two UTF-16 halves. The fallback is written as \'hh:
// unrtf takes letters right after \uN as part of the word, and pandoc skips
// one character more after a plain '?'.
void appendUnicode(std::string& out, char32_t c) {
    std::array<char32_t, 2> units = {c, 0};
    if (c > 0xFFFF) {
        units = {0xD800 + ((c - 0x10000) >> 10), 0xDC00 + ((c - 0x10000) & 0x3FF)};
    }
    for (const char32_t unit : units) {
        if (unit != 0) {
            out += "\\u" + std::to_string(static_cast<std::int16_t>(unit));
            appendHexByte(out, static_cast<unsigned char>(fallbackOf(unit)));
        }
    }
}

// Appends text escaped for RTF.
void appendEscaped(std::string& out, std::string_view text, bool inFontTable) {
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = Utf8::next(text, pos);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c >= 0x20 && c < 0x7F && !(inFontTable && c == ';')) {
            out += static_cast<char>(c);
        } else if (const auto byte = CodePage::encodeWindowsLatin1(c)) {
            appendHexByte(out, *byte);
        } else {
            appendUnicode(out, c);
        }
    }
}

// A font or colour table: entries in the order of first use.
template <typename T, typename Key = T>
class Table {
public:
    std::size_t indexOf(const T& value, const Key& key) {
        const auto [found, added] = index_.try_emplace(key, entries_.size());
        if (added) {
            entries_.push_back(value);
        }
        return found->second;
    }
    const std::vector<T>& entries() const { return entries_; }

private:
    std::vector<T> entries_;
    std::map<Key, std::size_t> index_;
};

using ColourKey = std::tuple<int, int, int>;

ColourKey keyOf(const Colour& c) {
    return {c.r, c.g, c.b};
}

}  // namespace

std::string RtfWriter::write(const RichText& text) {
    // Colour 0 is the default (black) and 1 white, as TextEdit writes them.
    Table<std::string> fonts;
    Table<Colour, ColourKey> colours;
    colours.indexOf(Colour{}, keyOf(Colour{}));
    colours.indexOf(kWhite, keyOf(kWhite));
    for (const RichText::Paragraph& paragraph : text.paragraphs()) {
        for (const RichText::Run& run : paragraph.runs) {
            fonts.indexOf(run.attributes.fontFamily, run.attributes.fontFamily);
            colours.indexOf(run.attributes.colour, keyOf(run.attributes.colour));
        }
    }
    const std::string defaultFamily = RichText::Attributes{}.fontFamily;
    fonts.indexOf(defaultFamily, defaultFamily);  // an empty text still has a font table

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\cocoartf949\\cocoasubrtf460\\uc1\n{\\fonttbl";
    for (std::size_t i = 0; i < fonts.entries().size(); ++i) {
        out += "\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
        appendEscaped(out, fonts.entries()[i], true);
        out += ';';
    }
    out += "}\n{\\colortbl;";
    for (std::size_t i = 1; i < colours.entries().size(); ++i) {
        const Colour& c = colours.entries()[i];
        out += "\\red" + std::to_string(c.r) + "\\green" + std::to_string(c.g) + "\\blue" +
               std::to_string(c.b) + ';';
    }
    out += "}\n";

    // What the reader has in force; font and size are unknown until the first run.
    std::optional<Alignment> alignment;
    std::size_t font = fonts.entries().size();
    long halfPoints = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::size_t colour = 0;
    const auto& paragraphs = text.paragraphs();
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        if (alignment != paragraphs[p].alignment) {
            alignment = paragraphs[p].alignment;
            out += "\\pard";
            out += kTabStops;
            out += alignmentWords(*alignment);
            out += "\\pardirnatural\n\n";
        }
        for (const RichText::Run& run : paragraphs[p].runs) {
            const RichText::Attributes& a = run.attributes;
            std::string words;
            if (const std::size_t f = fonts.indexOf(a.fontFamily, a.fontFamily); f != font) {
                font = f;
                words += "\\f" + std::to_string(f);
            }
            if (a.bold != bold) {
                bold = a.bold;
                words += bold ? "\\b" : "\\b0";
            }
            if (a.italic != italic) {
                italic = a.italic;
                words += italic ? "\\i" : "\\i0";
            }
            if (a.underline != underline) {
                underline = a.underline;
                words += underline ? "\\ul" : "\\ulnone";
            }
            if (const long h = std::lround(a.size * 2.0f); h != halfPoints) {
                halfPoints = h;
                words += "\\fs" + std::to_string(h);
            }
            if (const std::size_t c = colours.indexOf(a.colour, keyOf(a.colour)); c != colour) {
                colour = c;
                words += "\\cf" + std::to_string(c);
            }
            if (!words.empty()) {
                out += words;
                out += ' ';
            }
            appendEscaped(out, run.text, false);
        }
        if (p + 1 < paragraphs.size() || text.endsWithParagraphEnd()) {
            out += "\\\n";
        }
    }
    out += '}';
    return out;
}
