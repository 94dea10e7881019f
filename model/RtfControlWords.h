#pragma once

#include <string_view>

// The RTF control words the reader acts on and the destinations it skips;
// every other word is ignored. Stateless; any thread may call.
class RtfControlWords {
public:
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

    struct Info {
        Word word;
        char32_t character = 0;  // for Word::Character
    };

    // What word does; nullptr for a word the reader ignores.
    static const Info* find(std::string_view word);

    // The code page of an \fcharset value; 0 for "the document's".
    static int codePageOfCharset(long charset);
};
