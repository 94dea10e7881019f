#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/RichText.h"
#include "model/RtfControlWords.h"

// The font and colour tables of an RTF document, filled as the reader meets
// their entries: a font is its number, name and code page, a colour its
// index in the table (an entry with no \red, \green or \blue is "auto").
// Font numbers below 0 stand for the default font. Use from one thread at
// a time.
class RtfDocumentTables {
public:
    // \deff: the font of text that names none.
    void setDefaultFont(long number) { defaultFont_ = number; }

    // \fonttbl: no font entry is open.
    void startFontTable();

    // \f in the font table: commits the open entry and opens font number.
    void startFont(long number);

    // \fcharset or \cpg of the open entry; 0 for the document's code page.
    void setFontCodePage(int codePage) { pendingFont_.codePage = codePage; }

    // The code page of the open entry; 0 for the document's.
    int fontTableCodePage() const { return pendingFont_.codePage; }

    // Adds text to the name of the open entry; a name keeps a few bytes more
    // than RichText::kMaxFamilyBytes before its spaces are trimmed.
    void appendFontName(std::string_view utf8);

    // Ends the open entry, if any: its name loses leading and trailing spaces.
    void commitFont();

    // \colortbl: the next entry starts unset.
    void startColourTable();

    // \red, \green or \blue of the entry being read.
    void setColourComponent(RtfControlWords::Word component, std::uint8_t value);

    // ";" in the colour table: ends the entry being read.
    void commitColour();

    // The code page that font names; 0 when it names none or is unknown.
    int codePageOf(long font) const;

    // Sets the family of font (the default font when font is unknown) and the
    // colour at index colour in attributes, where the tables give them.
    void describe(long font, long colour, RichText::Attributes& attributes) const;

private:
    struct Font {
        std::string name;
        int codePage = 0;  // 0: the document's
    };

    long defaultFont_ = -1;
    std::map<long, Font> fonts_;
    long fontNumber_ = 0;
    Font pendingFont_;
    bool fontStarted_ = false;
    std::vector<std::optional<RichText::Colour>> colours_;
    RichText::Colour pendingColour_;
    bool colourSet_ = false;
};
