#include "model/RtfReader.h"
#include "support/RichTextPrinter.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

// Documents and what each must read as.
using Cases = std::vector<std::pair<std::string, std::string>>;
const fs::path kFixtures = fs::path(VELVANTO_SOURCE_DIR) / "tests/fixtures/rtf";

static std::optional<RichText> fixture(const std::string& name) {
    return RtfReader::read(TestEnvironment::readFile(kFixtures / name));
}
// The plain text of a document, "<nothing>" when it does not read.
static std::string plain(const std::string& rtf) {
    return RtfReader::read(rtf).value_or(RichText::fromPlainText("<nothing>")).plainText();
}
// Each document must read, as its plain text or, when described, as describe() gives it.
static void expectReads(const Cases& cases, bool described = false) {
    for (const auto& [rtf, expected] : cases) {
        const std::optional<RichText> text = RtfReader::read(rtf);
        ASSERT_TRUE(text) << rtf.substr(0, 80);
        EXPECT_EQ(described ? describe(*text) : text->plainText(), expected) << rtf.substr(0, 80);
    }
}

using RtfReaderTest = TestEnvironment;

TEST_F(RtfReaderTest, FixturesAndPeerDocumentsReadAsTheirProgramsShowThem) {
    EXPECT_EQ(fixture("textedit-plain.rtf"),
              RichText::fromPlainText("A calm graphite Dock with soft blue lights."));
    // A backslash at a line's end is a paragraph end; a second space after a control word is text.
    EXPECT_EQ(describe(fixture("textedit-styled.rtf").value()),
              "centre: [Graphite Glass|Helvetica 18 b rgb(0,64,128)]\n"
              "left: [A dark floor with a thin |Helvetica 12] [bright|Helvetica 12 i] "
              "[ front line and |Helvetica 12] [blue|Helvetica 12 u] [ lights.|Helvetica 12]\n"
              "left:\n"
              "left: [Made for the caf\u00e9 crowd \u2014 \u201cquiet\u201d and |LucidaGrande 12] "
              "[warm|LucidaGrande 12 rgb(128,0,0)] [.|LucidaGrande 12]\n"
              "left: [Version 1.2 {beta}|Times-Roman 14]\nOPEN");
    // \u9786? is one character, the field shows its result only, the picture is skipped.
    EXPECT_EQ(describe(fixture("other-program.rtf").value()),
              "left: [Plain theme notes|Calibri 11]\n"
              "left: [Second line with |Calibri 11] [bold|Calibri 11 b] "
              "[ and a smiley \u263a|Calibri 11]\n"
              "left: [See the |Calibri 11] [example site|Calibri 11 u] [ for more.|Calibri 11]\n"
              "END");
    EXPECT_FALSE(fixture("not-rtf.rtf"));
    EXPECT_EQ(fixture("truncated.rtf"), RichText::fromPlainText("Cut off in the mid"));

    const std::optional<RichText> stock = RtfReader::read(
        readFile(fs::path(VELVANTO_SOURCE_DIR) / "resources/DefaultDock/description.rtf"));
    EXPECT_TRUE(stock && describe(*stock).starts_with("left: [Velvanto Default|Helvetica-Bold 14 b "
                                                      "rgb(40,70,120)]\nleft: [The stock look"));
    // NAME.txt is LibreOffice's own text export of NAME.rtf (see make-peer-fixtures.py).
    for (const char* name : {"cp1255-hebrew", "cp1258-vietnamese", "cp932-japanese",
                             "charsets-multilingual", "libreoffice-multilingual"}) {
        const std::optional<RichText> text = fixture(name + std::string(".rtf"));
        ASSERT_TRUE(text) << name;
        EXPECT_EQ(text->plainText(), readFile(kFixtures / (name + std::string(".txt")))) << name;
    }
    // A font name in Shift JIS; East Asian font, size, bold and italic after \dbch.
    const std::string japanese = describe(fixture("cp932-japanese.rtf").value());
    EXPECT_TRUE(
        japanese.starts_with("left: [\u65e5\u672c\u8a9e\u30c6\u30ad\u30b9\u30c8"
                             "\u8868\u793a|\uff2d\uff33 \u660e\u671d 12]\n"))
        << japanese;
    const std::string multilingual = describe(fixture("libreoffice-multilingual.rtf").value());
    EXPECT_TRUE(multilingual.starts_with(
        "left: [Japanese: |DejaVu Serif 12] [\u65e5\u672c\u8a9e\u30c6\u30ad\u30b9\u30c8"
        "\u8868\u793a|Noto Sans CJK JP 14 b] [, |DejaVu Serif 12] "
        "[\u30c6\u30fc\u30de|DejaVu Sans 12 i] [.|DejaVu Serif 12]\n"))
        << multilingual;
}

TEST_F(RtfReaderTest, ControlWordsDestinationsCodePagesUnicodeAndTheAttributesOfRuns) {
    expectReads({
        // One space ends a word, a second is text; so do ';' and a hyphen without a digit.
        {"{\\rtf1 \\b  two\\b0 x\\b0\\i0;b\\fs24-1}", " twox;b-1"},
        {"{\\rtf1 \\\\ \\{ \\} a\\~b\\tab c\\emdash\\endash\\-d\\_e}",
         "\\ { } a\u00a0b\tc\u2014\u2013\u00add\u2011e"},
        {"{\\rtf1 \\lquote\\rquote\\ldblquote\\rdblquote\\bullet one\\line two}",
         "\u2018\u2019\u201c\u201d\u2022one\u2028two"},
        {"{\\rtf1 \\ltrmark a\\rtlmark b}", "\u200ea\u200fb"},
        // An automatic footnote mark shows the footnote's number; the footnote itself is skipped.
        {"{\\rtf1 x{\\super\\chftn}{\\footnote\\chftn a} y{\\super\\chftn{\\*\\footnote\\chftn "
         "b}}}",
         "x1 y2"},
        {"{\\rtf1 lines\nare\r\njoined, tab\there}", "linesarejoined, tab\there"},
        {"{\\rtf1 a\\\nb\\\r\nc\\par d\\sect e\\page}", "a\nb\nc\nd\ne\n"},
        {"{\\rtf1 a\\unknownword99 b\\zzz c}", "abc"},
        {std::string("{\\rtf1 nul\0 bel\a}", 17), "nul bel"},
        {"{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}a{\\*\\generator Gen;}"
         "{\\*\\expandedcolortbl;;}{\\header h}{\\*\\unknown {nested} text}b}",
         "ab"},
        {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}}", "shown"},
        // Binary data may hold anything, braces included.
        {"{\\rtf1 a{\\pict\\bin4 }}{{b}c}", "ac"},
        {"{\\rtf1 a\\bin3 {\\}b\\bin-3 c}", "abc"},
        {"{\\rtf1 a\\bin999 bc}", "a"},
        // Code pages and Unicode.
        // Bytes 1252 leaves undefined read as the C1 control of the same value.
        {"{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80 \\'97 \\'93x\\'94 \\'E9 \\'81\\'9d}",
         "caf\u00e9 \u20ac \u2014 \u201cx\u201d \u00e9 \u0081\u009d"},
        {"{\\rtf1 \\'zz\\'00x\\'4}", std::string("zz\0x\x04", 5)},  // one hex digit is a byte
        {"{\\rtf1\\ansi caf\xE9}", "caf\u00e9"},  // \ansi alone and raw bytes are 1252
        {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}",
         "\u041f\u0440\u0438\u0432\u0435\u0442"},
        {"{\\rtf1\\mac caf\\'8e \\'d0}", "caf\u00e9 \u2013"},
        {"{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0 cut \\'82}", "\u3042 cut \ufffd"},  // Shift JIS
        {"{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4}", "\u4e2d"},
        // A run's last letter is kept; a combining mark stays a character (as Windows reads it).
        {"{\\rtf1\\ansi\\ansicpg1255 \\'f9\\'ec\\'e5\\'ed}", "\u05e9\u05dc\u05d5\u05dd"},
        {"{\\rtf1\\ansi\\ansicpg1258 A\\'e0B \\'ea\\'ec}", "A\u00e0B \u00ea\u0301"},
        // Second bytes as text or escaped symbols, first bytes raw; a lone first byte is cut off.
        {"{\\rtf1\\ansi\\ansicpg932 \\'83e\\'83L\\'83X\\'83g \\'95\\\\\\'8e\\'a6 \\'83\\}\x83"
         "e}",
         "\u30c6\u30ad\u30b9\u30c8 \u8868\u793a \u30de\u30c6"},
        {"{\\rtf1\\ansi\\ansicpg932 \\'83 x\\'83\\b e\\'83{e}\\'83\\'83}",
         "\ufffd x\ufffde\ufffde\u30e3"},
        {"{\\rtf1{\\fonttbl\\f0\\fcharset136 PMingLiU;}\\f0 \\'c1c\\'c5\\'e9}", "\u7e41\u9ad4"},
        {"{\\rtf1\\ansi\\ansicpg65001 \\'e6\\'97\\'a5 \\'e6A}", "\u65e5 \ufffdA"},
        // A font's charset overrides the document's code page for its text.
        {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0 Helvetica;\\f1\\fcharset204 Arial;"
         "\\f2\\cpg1253 Greek;}\\f1 \\'c4\\f0 \\'c4\\f2 \\'c4}",
         "\u0414\u00c4\u0394"},
        {"{\\rtf1\\ansi\\ansicpg4242 \\'e9}", "\u00e9"},  // unknown code pages are 1252
        {"{\\rtf1\\ansi\\ansicpg-5 \\'e9}", "\u00e9"},
        // \uc1 by default; negatives from 65536; fallbacks end with their group, skip line ends.
        {"{\\rtf1 \\u9786?x\\u-3913?{\\uc1 \\u9786}?\\u9786\nx}", "\u263ax\uf0b7\u263a?\u263a"},
        // \'hh counts as one, so does a control word.
        {"{\\rtf1\\uc2 \\u9786\\'3f\\'3fx\\u9786\\tab y}", "\u263ax\u263a"},
        {"{\\rtf1\\uc0 \\u9786 ?}", "\u263a?"},
        {"{\\rtf1\\uc1 {\\uc0 a}\\u9786?}", "a\u263a"},  // \uc is scoped to its group
        {"{\\rtf1 \\u}", ""},
        {"{\\rtf1 \\u-10179?\\u-8704?{\\uc0 \\u55357\\u56832 }}", "\U0001F600\U0001F600"},
        // Lone or doubled halves and values beyond 16 bits.
        {"{\\rtf1\\uc0 \\u55357 x\\u56832 y\\u55357\\u55357\\u56832 }",
         "\ufffdx\ufffdy\ufffd\U0001F600"},
        {"{\\rtf1\\uc0 \\u55357\\par\\u70000 \\u-40000 \\u55357}", "\ufffd\n\ufffd\ufffd\ufffd"},
    });
    // Word's font groups; \deff1 back for unknown fonts and \plain; colour 0 (real here) until
    // a \cf, entry 2 "auto" (black), 9 and -1 missing.
    expectReads(
        {{"{\\rtf1\\deff1{\\fonttbl{\\f0\\froman Times New Roman{\\*\\panose 0203}"
          "{\\*\\falt X};}{\\f1\\fswiss Caf\\'e9 Sans;}}{\\colortbl\\red9\\green8\\blue7;"
          "\\red1\\green2\\blue3;;}a\\f0 b\\f7 c\\plain d\\cf1 e\\cf0 f\\cf2 g\\cf9 h\\cf-1 i}",
          "left: [a|Caf\u00e9 Sans 12 rgb(9,8,7)] [b|Times New Roman 12 rgb(9,8,7)] "
          "[cd|Caf\u00e9 Sans 12 rgb(9,8,7)] [e|Caf\u00e9 Sans 12 rgb(1,2,3)] "
          "[f|Caf\u00e9 Sans 12 rgb(9,8,7)] [ghi|Caf\u00e9 Sans 12]\nOPEN"},
         {"{\\rtf1 \\f3\\cf4 x}", "left: [x|Helvetica 12]\nOPEN"},
         // \af \afs \ab \ai after \dbch (in its font's code page) until the group's end or \plain;
         // after \loch, \hich or \rtlch they are no text's.
         {"{\\rtf1{\\fonttbl\\f0 Latin;\\f1\\fcharset128 Asian;}\\f0 a{\\dbch\\af1\\afs28\\ab\\ai "
          "\\'93\\'fa b\\u26412?}c\\dbch\\ab\\loch\\ai\\hich\\af0\\rtlch\\afs9\\ltrch "
          "\\u26085?\\plain\\f0 "
          "\\u26085?}",
          "left: [a|Latin 12] [\u65e5|Asian 14 b i] [ b|Latin 12] [\u672c|Asian 14 b i] "
          "[c|Latin 12] [\u65e5|Latin 12 b] [\u65e5|Latin 12]\nOPEN"},
         // A font table cut off before its ';' or '}' still names its fonts.
         {"{\\rtf1{\\fonttbl\\f0 Courier}\\f0 x}", "left: [x|Courier 12]\nOPEN"},
         {"{\\rtf1{\\fonttbl\\f0 A\\'3bB\\{\\u9786?;}\\f0 x}", "left: [x|A;B{\u263a 12]\nOPEN"},
         {"{\\rtf1{\\fonttbl\\f0 " + std::string(1000, 'F') + ";}\\f0 x}",
          "left: [x|" + std::string(RichText::kMaxFamilyBytes, 'F') + " 12]\nOPEN"},
         // \uld underlines; a group's italic and underline end with it; \fs alone is the default.
         {"{\\rtf1 \\b b{\\i bi\\ul biu\\ulnone bi\\uld biu2}b\\b0\\i1 i\\i0\\ul1 u\\ul0 n\\fs0 s"
          "\\fs99999 L\\fs x\\fs31 h}",
          "left: [b|Helvetica 12 b] [bi|Helvetica 12 b i] [biu|Helvetica 12 b i u] "
          "[bi|Helvetica 12 b i] [biu2|Helvetica 12 b i u] [b|Helvetica 12 b] [i|Helvetica 12 i] "
          "[u|Helvetica 12 u] [n|Helvetica 12] [s|Helvetica 0.5] [L|Helvetica 16383.5] "
          "[x|Helvetica 12] [h|Helvetica 15.5]\nOPEN"},
         // A paragraph takes the alignment at its end; it lasts past paragraph ends until \pard.
         {"{\\rtf1\\qc a\\par\\qr b\\qj\\par c\\pard\\par{\\qr d}\\par\\par\\qd e}",
          "centre: [a|Helvetica 12]\njustified: [b|Helvetica 12]\nleft: [c|Helvetica 12]\n"
          "left: [d|Helvetica 12]\nleft:\njustified: [e|Helvetica 12]\nOPEN"},
         {"{\\rtf1\\qr a\\par b\\par\\pard c}",
          "right: [a|Helvetica 12]\nright: [b|Helvetica 12]\nleft: [c|Helvetica 12]\nOPEN"}},
        true);
}

TEST_F(RtfReaderTest,
       MalformedDocumentsGiveTextOrNothingAndNestingRunsParagraphsAndSizeAreLimited) {
    for (const char* bytes : {"", "{", "{\\", "{\\rt", "rtf1", " {\\rtf1 a}",
                              "\xEF\xBB\xBF{\\rtf1 a}", "{\\RTF1 a}", "{ \\rtf1 a}", "\\rtf1 a"})
        EXPECT_FALSE(RtfReader::read(bytes)) << bytes;
    expectReads({
        {"{\\rtf", ""},
        {"{\\rtf1}", ""},
        {"{\\rtf1 a\\'e", "a\x0e"},
        {"{\\rtf1 \\b99999999999999999999999 a\\fs-99999999999999999 b\\u99999999999999999999?x}",
         "ab\ufffdx"},
        {"{\\rtf1 \\uc99999999999 \\u9786 abc}", "\u263a"},
        {"{\\rtf1 \\" + std::string(100000, 'x') + "123 a}", "a"},
        {"{\\rtf1 {\\*}a{\\*\\*\\*}b\\*}c", "ab"},
        {"{\\rtf1{\\fonttbl;;;\\f;\\f\\f}{\\colortbl\\red;\\red-5\\green999;}\\f\\cf2 a}", "a"},
    });
    // Cut off anywhere, or with more after the document's group, it reads as far as it goes.
    for (const char* rtf :
         {"{\\rtf1 a}b}c{d}", "{\\rtf1 a\\", "{\\rtf1 a\\'", "{\\rtf1 a\\b", "{\\rtf1 {{{a"})
        EXPECT_EQ(plain(rtf), "a") << rtf;
    const auto repeated = [](const std::string& piece, std::size_t count) {
        std::string rtf = "{\\rtf1 ";
        while (count-- > 0)
            rtf += piece;
        return rtf;
    };
    const std::size_t depth = RtfReader::kMaxGroupDepth;
    EXPECT_EQ(plain(repeated("{", depth - 1) + "x" + std::string(depth, '}')), "x");
    EXPECT_FALSE(RtfReader::read(repeated("{", depth) + "x" + std::string(depth + 1, '}')));
    EXPECT_FALSE(RtfReader::read(repeated("{", 1000000)));
    // Many groups one after the other are no nesting.
    EXPECT_EQ(plain(repeated("{\\b x}", 100000) + "}").size(), 100000u);

    const std::string runs = repeated("\\b x\\b0 x", RtfReader::kMaxRuns / 2);
    const std::optional<RichText> most = RtfReader::read(runs + "}");
    ASSERT_TRUE(most);
    EXPECT_EQ(most->paragraphs().at(0).runs.size(), RtfReader::kMaxRuns);
    EXPECT_FALSE(RtfReader::read(runs + "\\b x}"));
    const std::string paragraphs = repeated("\\u9786?\\'e9\\par ", RtfReader::kMaxParagraphs);
    EXPECT_EQ(plain(paragraphs).size(), RtfReader::kMaxParagraphs * 6);
    EXPECT_FALSE(RtfReader::read(paragraphs + "\\par}"));
    EXPECT_FALSE(RtfReader::read("{\\rtf1 " + std::string(RtfReader::kMaxInputBytes, 'a') + "}"));
}
