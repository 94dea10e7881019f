#include "model/RtfReader.h"
#include "support/RichTextPrinter.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using Alignment = RichText::Alignment;
using Attributes = RichText::Attributes;
using Colour = RichText::Colour;

class RtfReaderTest : public TestEnvironment {
protected:
    static std::string fixture(const std::string& name) {
        return readFile(fs::path(VELVANTO_SOURCE_DIR) / "tests/fixtures/rtf" / name);
    }
    // The plain text of a document that must read.
    static std::string plain(const std::string& rtf) {
        const std::optional<RichText> text = RtfReader::read(rtf);
        EXPECT_TRUE(text) << rtf;
        return text ? text->plainText() : "<nothing>";
    }
    static const RichText::Run& run(const RichText& text, std::size_t paragraph,
                                    std::size_t index) {
        return text.paragraphs().at(paragraph).runs.at(index);
    }
};

TEST_F(RtfReaderTest, TextEditPlainFixture) {
    const std::optional<RichText> text = RtfReader::read(fixture("textedit-plain.rtf"));
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, RichText::fromPlainText("A calm graphite Dock with soft blue lights."));
}

TEST_F(RtfReaderTest, TextEditStyledFixture) {
    const std::optional<RichText> text = RtfReader::read(fixture("textedit-styled.rtf"));
    ASSERT_TRUE(text);
    EXPECT_EQ(
        text->plainText(),
        "Graphite Glass\nA dark floor with a thin bright front line and blue lights.\n\n"
        "Made for the caf\u00e9 crowd \u2014 \u201cquiet\u201d and warm.\nVersion 1.2 {beta}");

    RichText expected;
    Attributes title;
    title.bold = true;
    title.size = 18;
    title.colour = {0, 64, 128};
    expected.setAlignment(Alignment::Centre);
    expected.append("Graphite Glass", title);
    expected.endParagraph();
    expected.setAlignment(Alignment::Left);
    Attributes italic;
    italic.italic = true;
    Attributes underline;
    underline.underline = true;
    expected.append("A dark floor with a thin ", {});
    expected.append("bright", italic);
    expected.append(" front line and ", {});
    expected.append("blue", underline);
    expected.append(" lights.\n\n", {});
    Attributes lucida;
    lucida.fontFamily = "LucidaGrande";
    Attributes warm = lucida;
    warm.colour = {128, 0, 0};
    expected.append("Made for the caf\u00e9 crowd \u2014 \u201cquiet\u201d and ", lucida);
    expected.append("warm", warm);
    expected.append(".\n", lucida);
    Attributes times;
    times.fontFamily = "Times-Roman";
    times.size = 14;
    expected.append("Version 1.2 {beta}", times);
    EXPECT_EQ(*text, expected);
}

TEST_F(RtfReaderTest, OtherProgramFixture) {
    const std::optional<RichText> text = RtfReader::read(fixture("other-program.rtf"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->plainText(),
              "Plain theme notes\nSecond line with bold and a smiley \u263a\n"
              "See the example site for more.\n");
    EXPECT_TRUE(text->endsWithParagraphEnd());
    EXPECT_EQ(run(*text, 0, 0).attributes.fontFamily, "Calibri");
    EXPECT_EQ(run(*text, 0, 0).attributes.size, 11.0f);
    EXPECT_EQ(run(*text, 1, 1).text, "bold");
    EXPECT_TRUE(run(*text, 1, 1).attributes.bold);
    EXPECT_EQ(run(*text, 1, 2).text, " and a smiley \u263a");
    EXPECT_FALSE(run(*text, 1, 2).attributes.bold);
    EXPECT_EQ(run(*text, 2, 1).text, "example site");
    EXPECT_TRUE(run(*text, 2, 1).attributes.underline);
    EXPECT_FALSE(run(*text, 2, 2).attributes.underline);
}

TEST_F(RtfReaderTest, NotRtfAndTruncatedFixtures) {
    EXPECT_FALSE(RtfReader::read(fixture("not-rtf.rtf")));
    const std::optional<RichText> truncated = RtfReader::read(fixture("truncated.rtf"));
    ASSERT_TRUE(truncated);
    EXPECT_EQ(*truncated, RichText::fromPlainText("Cut off in the mid"));
}

TEST_F(RtfReaderTest, StockThemeDescription) {
    const fs::path file = fs::path(VELVANTO_SOURCE_DIR) / "resources/DefaultDock/description.rtf";
    const std::optional<RichText> text = RtfReader::read(readFile(file));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->paragraphs().size(), 4u);
    EXPECT_EQ(run(*text, 0, 0).text, "Velvanto Default");
    EXPECT_TRUE(run(*text, 0, 0).attributes.bold);
    EXPECT_EQ(run(*text, 0, 0).attributes.colour, (Colour{40, 70, 120}));
    EXPECT_FALSE(run(*text, 1, 0).attributes.bold);
    EXPECT_FALSE(text->endsWithParagraphEnd());
}

TEST_F(RtfReaderTest, OnlyDocumentsStartingWithTheRtfGroupRead) {
    for (const char* bytes : {"", "{", "{\\", "{\\rt", "rtf1", " {\\rtf1 a}",
                              "\xEF\xBB\xBF{\\rtf1 a}", "{\\RTF1 a}", "{ \\rtf1 a}", "\\rtf1 a"}) {
        EXPECT_FALSE(RtfReader::read(bytes)) << bytes;
    }
    EXPECT_EQ(plain("{\\rtf"), "");
    EXPECT_EQ(plain("{\\rtf1}"), "");
    EXPECT_EQ(*RtfReader::read("{\\rtf1 Hi}"), RichText::fromPlainText("Hi"));
}

TEST_F(RtfReaderTest, ControlWordDelimitersAndEscapes) {
    EXPECT_EQ(plain("{\\rtf1 \\b  two\\b0 x}"), " twox");
    EXPECT_EQ(plain("{\\rtf1 a\\b0\\i0;b}"), "a;b");
    EXPECT_EQ(plain("{\\rtf1 \\fs24-1}"), "-1");  // a hyphen not followed by a digit is text
    EXPECT_EQ(plain("{\\rtf1 \\\\ \\{ \\} a\\~b\\tab c\\emdash\\endash\\-d\\_e}"),
              "\\ { } a\u00a0b\tc\u2014\u2013d\u2011e");
    EXPECT_EQ(plain("{\\rtf1 \\lquote\\rquote\\ldblquote\\rdblquote\\bullet}"),
              "\u2018\u2019\u201c\u201d\u2022");
    EXPECT_EQ(plain("{\\rtf1 one\\line two}"), "one\u2028two");
    EXPECT_EQ(plain("{\\rtf1 lines\nare\r\njoined}"), "linesarejoined");
    EXPECT_EQ(plain("{\\rtf1 a\\\nb\\\r\nc\\par d\\sect e\\page}"), "a\nb\nc\nd\ne\n");
    EXPECT_EQ(plain("{\\rtf1 a\\unknownword99 b\\zzz c}"), "abc");
    EXPECT_EQ(plain("{\\rtf1 tab\there}"), "tab\there");
    EXPECT_EQ(plain(std::string("{\\rtf1 nul\0 bel\a}", 17)), "nul bel");
}

TEST_F(RtfReaderTest, WindowsLatinOneHexEscapes) {
    EXPECT_EQ(plain("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80 \\'97 \\'93x\\'94 \\'E9}"),
              "caf\u00e9 \u20ac \u2014 \u201cx\u201d \u00e9");
    // Bytes 1252 leaves undefined read as the C1 control of the same value.
    EXPECT_EQ(plain("{\\rtf1 \\'81\\'9d}"), "\u0081\u009d");
    EXPECT_EQ(plain("{\\rtf1 \\'4}"), "\x04");  // one hex digit is a byte too
    EXPECT_EQ(plain("{\\rtf1 \\'zz}"), "zz");   // no hex digit, no byte
    EXPECT_EQ(plain("{\\rtf1 \\'00x}"), std::string("\0x", 2));
    // Without \ansicpg, \ansi is 1252; 8-bit bytes in the file read the same way.
    EXPECT_EQ(plain("{\\rtf1\\ansi caf\xE9}"), "caf\u00e9");
}

TEST_F(RtfReaderTest, OtherCodePages) {
    EXPECT_EQ(plain("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}"),
              "\u041f\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(plain("{\\rtf1\\mac caf\\'8e \\'d0}"), "caf\u00e9 \u2013");
    // A two-byte character of Shift JIS.
    EXPECT_EQ(plain("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}"), "\u3042");
    EXPECT_EQ(plain("{\\rtf1\\ansi\\ansicpg932 cut \\'82}"), "cut \ufffd");
    EXPECT_EQ(plain("{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4}"), "\u4e2d");
    // A font's charset overrides the document's code page for its text.
    EXPECT_EQ(plain("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0 Helvetica;\\f1\\fcharset204 "
                    "Arial;\\f2\\cpg1253 Greek;}\\f1 \\'c4\\f0 \\'c4\\f2 \\'c4}"),
              "\u0414\u00c4\u0394");
    // Code pages nobody writes fall back to 1252.
    EXPECT_EQ(plain("{\\rtf1\\ansi\\ansicpg4242 \\'e9}"), "\u00e9");
    EXPECT_EQ(plain("{\\rtf1\\ansi\\ansicpg-5 \\'e9}"), "\u00e9");
}

TEST_F(RtfReaderTest, UnicodeWithFallbacks) {
    EXPECT_EQ(plain("{\\rtf1 \\u9786?x}"), "\u263ax");                // \uc1 is the default
    EXPECT_EQ(plain("{\\rtf1\\uc2 \\u9786\\'3f\\'3fx}"), "\u263ax");  // \'hh counts as one
    EXPECT_EQ(plain("{\\rtf1\\uc2 \\u9786\\tab y}"), "\u263a");       // so does a control word
    EXPECT_EQ(plain("{\\rtf1\\uc0 \\u9786 ?}"), "\u263a?");
    EXPECT_EQ(plain("{\\rtf1 \\u-3913?}"), "\uf0b7");                // negative: from 65536
    EXPECT_EQ(plain("{\\rtf1 {\\uc1 \\u9786}?}"), "\u263a?");        // fallback ends with a group
    EXPECT_EQ(plain("{\\rtf1\\uc1 {\\uc0 a}\\u9786?}"), "a\u263a");  // \uc is scoped to its group
    EXPECT_EQ(plain("{\\rtf1 \\u9786\nx}"), "\u263a");               // line ends don't count
    EXPECT_EQ(plain("{\\rtf1 \\u}"), "");
}

TEST_F(RtfReaderTest, SurrogatePairsAndLoneHalves) {
    EXPECT_EQ(plain("{\\rtf1\\uc0 \\u55357\\u56832 }"), "\U0001F600");
    EXPECT_EQ(plain("{\\rtf1 \\u-10179?\\u-8704?}"), "\U0001F600");
    EXPECT_EQ(plain("{\\rtf1\\uc0 \\u55357 x}"), "\ufffdx");
    EXPECT_EQ(plain("{\\rtf1\\uc0 \\u56832 x}"), "\ufffdx");
    EXPECT_EQ(plain("{\\rtf1\\uc0 \\u55357\\u55357\\u56832 }"), "\ufffd\U0001F600");
    EXPECT_EQ(plain("{\\rtf1\\uc0 \\u55357\\par}"), "\ufffd\n");
    EXPECT_EQ(plain("{\\rtf1\\uc0 \\u55357}"), "\ufffd");
    EXPECT_EQ(plain("{\\rtf1\\uc0 \\u70000 \\u-40000 }"), "\ufffd\ufffd");
}

TEST_F(RtfReaderTest, DestinationsWithoutText) {
    EXPECT_EQ(plain("{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}a"
                    "{\\*\\generator Gen;}{\\*\\expandedcolortbl;;}{\\header h}b}"),
              "ab");
    EXPECT_EQ(plain("{\\rtf1 a{\\*\\unknown {nested} text}b}"), "ab");
    EXPECT_EQ(plain("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}}"), "shown");
    // Binary data may hold anything, braces included.
    EXPECT_EQ(plain("{\\rtf1 a{\\pict\\bin4 }}{{b}c}"), "ac");
    EXPECT_EQ(plain("{\\rtf1 a\\bin3 {\\}b}"), "ab");
    EXPECT_EQ(plain("{\\rtf1 a\\bin999 bc}"), "a");
    EXPECT_EQ(plain("{\\rtf1 a\\bin-3 b}"), "ab");
}

TEST_F(RtfReaderTest, FontAndColourTables) {
    // Word puts each font in a group of its own, with \*\panose and \*\falt inside.
    const std::optional<RichText> text = RtfReader::read(
        "{\\rtf1\\deff1{\\fonttbl{\\f0\\froman Times New Roman{\\*\\panose 0203}{\\*\\falt "
        "X};}{\\f1\\fswiss Caf\\'e9 Sans;}}{\\colortbl\\red9\\green8\\blue7;\\red1\\green2\\blue3;"
        ";}a\\f0 b\\f7 c\\plain d\\cf1 e\\cf0 f\\cf2 g\\cf9 h\\cf-1 i}");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->plainText(), "abcdefghi");
    const auto& runs = text->paragraphs().at(0).runs;
    ASSERT_EQ(runs.size(), 6u) << describe(*text);
    EXPECT_EQ(runs[0].text, "a");  // \deff1
    EXPECT_EQ(runs[0].attributes.fontFamily, "Caf\u00e9 Sans");
    EXPECT_EQ(runs[1].text, "b");
    EXPECT_EQ(runs[1].attributes.fontFamily, "Times New Roman");
    EXPECT_EQ(runs[2].text, "cd");  // an unknown font and \plain give the default font
    EXPECT_EQ(runs[2].attributes.fontFamily, "Caf\u00e9 Sans");
    EXPECT_EQ(runs[3].text, "e");
    EXPECT_EQ(runs[3].attributes.colour, (Colour{1, 2, 3}));
    // Entry 0 of this table is a real colour; entry 2 is "auto", black; 9 and -1 don't exist.
    EXPECT_EQ(runs[4].text, "f");
    EXPECT_EQ(runs[4].attributes.colour, (Colour{9, 8, 7}));
    EXPECT_EQ(runs[5].text, "ghi");
    EXPECT_EQ(runs[5].attributes.colour, (Colour{}));

    const std::optional<RichText> noTable = RtfReader::read("{\\rtf1 \\f3\\cf4 x}");
    ASSERT_TRUE(noTable);
    EXPECT_EQ(*noTable, RichText::fromPlainText("x"));
    // A font table cut off before its ';' or '}' still names its fonts.
    const std::optional<RichText> unended =
        RtfReader::read("{\\rtf1{\\fonttbl\\f0 Courier}\\f0 x}");
    ASSERT_TRUE(unended);
    EXPECT_EQ(run(*unended, 0, 0).attributes.fontFamily, "Courier");
    const std::optional<RichText> escaped =
        RtfReader::read("{\\rtf1{\\fonttbl\\f0 A\\'3bB\\{\\u9786?;}\\f0 x}");
    ASSERT_TRUE(escaped);
    EXPECT_EQ(run(*escaped, 0, 0).attributes.fontFamily, "A;B{\u263a");
}

TEST_F(RtfReaderTest, CharacterAttributesFollowGroupsAndSwitches) {
    const std::optional<RichText> text = RtfReader::read(
        "{\\rtf1 \\b b{\\i bi\\ul biu\\ulnone bi\\uld biu2}b\\b0\\i1 i\\i0\\ul1 u\\ul0 n\\fs0 s"
        "\\fs99999 L\\fs x\\fs31 h}");
    ASSERT_TRUE(text);
    const auto& runs = text->paragraphs().at(0).runs;
    ASSERT_EQ(runs.size(), 13u) << describe(*text);
    const auto flags = [](const RichText::Run& r) {
        return std::string(r.attributes.bold ? "b" : "") + (r.attributes.italic ? "i" : "") +
               (r.attributes.underline ? "u" : "");
    };
    const char* const expected[] = {"b", "bi", "biu", "bi", "biu", "b", "i",
                                    "u", "",   "",    "",   "",    ""};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(flags(runs[i]), expected[i]) << i << " " << runs[i].text;
    }
    EXPECT_EQ(runs[4].text, "biu2");  // \uld is an underline too
    EXPECT_EQ(runs[5].text, "b");     // the group's italic and underline ended with it
    EXPECT_EQ(runs[9].attributes.size, 0.5f);
    EXPECT_EQ(runs[10].attributes.size, 16383.5f);
    EXPECT_EQ(runs[11].attributes.size, 12.0f);  // \fs alone is the default
    EXPECT_EQ(runs[12].attributes.size, 15.5f);
}

TEST_F(RtfReaderTest, AParagraphTakesTheAlignmentInForceAtItsEnd) {
    const std::optional<RichText> text =
        RtfReader::read("{\\rtf1\\qc a\\par\\qr b\\qj\\par c\\pard\\par{\\qr d}\\par\\par\\qd e}");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->plainText(), "a\nb\nc\nd\n\ne");
    const Alignment expected[] = {Alignment::Centre, Alignment::Justified, Alignment::Left,
                                  Alignment::Left,   Alignment::Left,      Alignment::Justified};
    ASSERT_EQ(text->paragraphs().size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(text->paragraphs()[i].alignment, expected[i]) << i;
    }
    // Paragraph properties outlast paragraph ends until \pard.
    const std::optional<RichText> kept = RtfReader::read("{\\rtf1\\qr a\\par b\\par\\pard c}");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->paragraphs().at(1).alignment, Alignment::Right);
    EXPECT_EQ(kept->paragraphs().at(2).alignment, Alignment::Left);
}

TEST_F(RtfReaderTest, MalformedDocumentsGiveTextOrNothing) {
    EXPECT_EQ(plain("{\\rtf1 a}b}c{d}"), "a");  // nothing after the document's group
    EXPECT_EQ(plain("{\\rtf1 a\\"), "a");
    EXPECT_EQ(plain("{\\rtf1 a\\'"), "a");
    EXPECT_EQ(plain("{\\rtf1 a\\'e"), "a\x0e");
    EXPECT_EQ(plain("{\\rtf1 a\\b"), "a");
    EXPECT_EQ(plain("{\\rtf1 {{{a"), "a");
    EXPECT_EQ(plain("{\\rtf1 \\b99999999999999999999999 a\\fs-99999999999999999 b}"), "ab");
    EXPECT_EQ(plain("{\\rtf1 \\u99999999999999999999?x}"), "\ufffdx");
    EXPECT_EQ(plain("{\\rtf1 \\uc99999999999 \\u9786 abc}"), "\u263a");
    EXPECT_EQ(plain("{\\rtf1 \\" + std::string(100000, 'x') + "123 a}"), "a");
    EXPECT_EQ(plain("{\\rtf1 {\\*}a{\\*\\*\\*}b\\*}c"), "ab");
    EXPECT_EQ(
        plain("{\\rtf1{\\fonttbl;;;\\f;\\f\\f}{\\colortbl\\red;\\red-5\\green999;}\\f\\cf2 a}"),
        "a");
}

TEST_F(RtfReaderTest, NestingIsLimited) {
    const auto nested = [](std::size_t depth) {
        return "{\\rtf1 " + std::string(depth - 1, '{') + "x" + std::string(depth, '}');
    };
    EXPECT_EQ(plain(nested(RtfReader::kMaxGroupDepth)), "x");
    EXPECT_FALSE(RtfReader::read(nested(RtfReader::kMaxGroupDepth + 1)));
    EXPECT_FALSE(RtfReader::read("{\\rtf1 " + std::string(1000000, '{')));
    // Many groups one after the other are no nesting.
    std::string flat = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i) {
        flat += "{\\b x}";
    }
    EXPECT_EQ(plain(flat + "}").size(), 100000u);
}

TEST_F(RtfReaderTest, RunsAndParagraphsAreLimited) {
    const auto runs = [](std::size_t count) {
        std::string rtf = "{\\rtf1 ";
        for (std::size_t i = 0; i < count; ++i) {
            rtf += i % 2 == 0 ? "\\b x" : "\\b0 x";
        }
        return rtf + "}";
    };
    const std::optional<RichText> most = RtfReader::read(runs(RtfReader::kMaxRuns));
    ASSERT_TRUE(most);
    EXPECT_EQ(most->paragraphs().at(0).runs.size(), RtfReader::kMaxRuns);
    EXPECT_FALSE(RtfReader::read(runs(RtfReader::kMaxRuns + 1)));

    std::string paragraphs = "{\\rtf1 ";
    for (std::size_t i = 0; i < RtfReader::kMaxParagraphs; ++i) {
        paragraphs += "\\par";
    }
    EXPECT_EQ(plain(paragraphs).size(), RtfReader::kMaxParagraphs);
    EXPECT_FALSE(RtfReader::read(paragraphs + "\\par}"));
}

TEST_F(RtfReaderTest, LargeDocumentsRead) {
    std::string styled = "{\\rtf1{\\fonttbl\\f0 " + std::string(1000, 'F') + ";}\\f0 ";
    for (int i = 0; i < 20000; ++i) {
        styled += "\\b a\\b0 b";
    }
    const std::optional<RichText> text = RtfReader::read(styled + "}");
    ASSERT_TRUE(text);
    ASSERT_EQ(text->paragraphs().at(0).runs.size(), 40000u);
    EXPECT_EQ(text->paragraphs()[0].runs[0].attributes.fontFamily.size(),
              RichText::kMaxFamilyBytes);

    std::string unicode = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i) {
        unicode += "\\u9786?\\'e9\\par ";
    }
    EXPECT_EQ(plain(unicode + "}").size(), 20000u * 6);

    std::string tooLong = "{\\rtf1 " + std::string(RtfReader::kMaxInputBytes, 'a') + "}";
    EXPECT_FALSE(RtfReader::read(tooLong));
}
