#include "model/RtfControlWords.h"

#include <unordered_map>

namespace {

using Word = RtfControlWords::Word;
using Info = RtfControlWords::Info;

const std::unordered_map<std::string_view, Info>& words() {
    static const std::unordered_map<std::string_view, Info> table = [] {
        std::unordered_map<std::string_view, Info> t = {
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
            t.emplace(style, Info{Word::Underline});
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
            t.emplace(destination, Info{Word::SkippedDestination});
        }
        return t;
    }();
    return table;
}

}  // namespace

const RtfControlWords::Info* RtfControlWords::find(std::string_view word) {
    const auto found = words().find(word);
    return found != words().end() ? &found->second : nullptr;
}

int RtfControlWords::codePageOfCharset(long charset) {
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
