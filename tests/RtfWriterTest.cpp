#include "model/RtfReader.h"
#include "model/RtfWriter.h"
#include "platform/FileManager.h"
#include "support/RichTextPrinter.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using Alignment = RichText::Alignment;
using Attributes = RichText::Attributes;

class RtfWriterTest : public TestEnvironment {
protected:
    // Writes text and reads it back.
    static std::optional<RichText> roundTrip(const RichText& text) {
        return RtfReader::read(RtfWriter::write(text));
    }
    static Attributes font(const std::string& family, float size = 12) {
        Attributes a;
        a.fontFamily = family;
        a.size = size;
        return a;
    }
};

TEST_F(RtfWriterTest, WritesTheShapeTextEditWrites) {
    RichText text;
    Attributes title = font("Helvetica", 18);
    title.bold = true;
    title.colour = {0, 64, 128};
    text.setAlignment(Alignment::Centre);
    text.append("Graphite Glass\n", title);
    text.setAlignment(Alignment::Left);
    text.append("caf\u00e9 \u201cq\u201d \u263a \U0001F600 {x}", font("LucidaGrande"));
    EXPECT_EQ(RtfWriter::write(text),
              "{\\rtf1\\ansi\\ansicpg1252\\cocoartf949\\cocoasubrtf460\n"
              "{\\fonttbl\\f0\\fnil\\fcharset0 Helvetica;\\f1\\fnil\\fcharset0 LucidaGrande;}\n"
              "{\\colortbl;\\red255\\green255\\blue255;\\red0\\green64\\blue128;}\n"
              "\\pard\\tx566\\tx1133\\tx1700\\tx2267\\tx2834\\tx3401\\tx3968\\tx4535\\tx5102"
              "\\tx5669\\tx6236\\tx6803\\qc\\pardirnatural\n\n"
              "\\f0\\b\\fs36\\cf2 Graphite Glass\\\n"
              "\\pard\\tx566\\tx1133\\tx1700\\tx2267\\tx2834\\tx3401\\tx3968\\tx4535\\tx5102"
              "\\tx5669\\tx6236\\tx6803\\ql\\qnatural\\pardirnatural\n\n"
              "\\f1\\b0\\fs24\\cf0 caf\\'e9 \\'93q\\'94 \\uc0\\u9786  \\u55357 \\u56832  \\{x\\}}");
}

TEST_F(RtfWriterTest, EmptyTextIsADocumentWithoutText) {
    const std::string rtf = RtfWriter::write(RichText());
    EXPECT_EQ(rtf,
              "{\\rtf1\\ansi\\ansicpg1252\\cocoartf949\\cocoasubrtf460\n"
              "{\\fonttbl\\f0\\fnil\\fcharset0 Helvetica;}\n"
              "{\\colortbl;\\red255\\green255\\blue255;}\n}");
    EXPECT_EQ(RtfReader::read(rtf), RichText());
}

TEST_F(RtfWriterTest, FixturesSurviveARoundTrip) {
    for (const char* name :
         {"textedit-plain.rtf", "textedit-styled.rtf", "other-program.rtf", "truncated.rtf"}) {
        const std::optional<RichText> text =
            RtfReader::read(readFile(fs::path(VELVANTO_SOURCE_DIR) / "tests/fixtures/rtf" / name));
        ASSERT_TRUE(text) << name;
        EXPECT_EQ(roundTrip(*text), text) << name;
    }
}

TEST_F(RtfWriterTest, EveryAttributeSurvivesARoundTrip) {
    RichText text;
    const Alignment alignments[] = {Alignment::Right, Alignment::Justified, Alignment::Centre,
                                    Alignment::Left};
    int n = 0;
    for (Alignment alignment : alignments) {
        text.setAlignment(alignment);
        for (int flags = 0; flags < 8; ++flags) {
            Attributes a = font(n % 3 == 0 ? "Times-Roman" : "Hiragino Kaku Gothic ProN W3",
                                0.5f + static_cast<float>(n) * 1.5f);
            a.bold = (flags & 1) != 0;
            a.italic = (flags & 2) != 0;
            a.underline = (flags & 4) != 0;
            a.colour = {static_cast<std::uint8_t>(n * 7), static_cast<std::uint8_t>(255 - n),
                        static_cast<std::uint8_t>(n % 2 == 0 ? 255 : 0)};
            // Text that starts with what could run into a control word.
            text.append(n % 2 == 0 ? " 12 spaced" : "9x", a);
            ++n;
        }
        text.endParagraph();
        text.endParagraph();
    }
    text.append("white", [] {
        Attributes a;
        a.colour = {255, 255, 255};
        return a;
    }());
    EXPECT_EQ(roundTrip(text), text);
}

TEST_F(RtfWriterTest, AnyTextSurvivesARoundTrip) {
    const std::string texts[] = {
        "",
        "\n",
        "\n\n\n",
        "end with an end\n",
        "back\\slash {braces} \\par \\u9786? \\'e9 ;semicolon; \\",
        "tab\tand \x01\x1f\x7f controls",
        std::string("nul \0 inside", 12),
        "Latin 1: \u00a0\u00e9\u00ff \u20ac\u2014\u0152\u0178 C1 \u0081\u0085\u009d",
        "beyond: \u0100 \u0416\u0438 \u3042\u6f22 \uf0b7 \uffff \U0001F600\U0010FFFF",
        "separators \u2028 \u2029 \r\r\n",
    };
    for (const std::string& plain : texts) {
        const RichText text = RichText::fromPlainText(plain);
        const std::string rtf = RtfWriter::write(text);
        EXPECT_EQ(RtfReader::read(rtf), text) << rtf;
        for (const char c : rtf) {
            ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "not plain ASCII: " << rtf;
        }
    }
}

TEST_F(RtfWriterTest, FontNamesThatNeedEscapingSurviveARoundTrip) {
    RichText text;
    for (const char* family : {"Semi;colon", "Brace{Sans}", "Back\\slash", "Caf\u00e9 \u263a",
                               "Tab\tName", "\u30d2\u30e9\u30ae\u30ce"}) {
        text.append(family, font(family));
    }
    const std::optional<RichText> back = roundTrip(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, text);
    EXPECT_EQ(back->paragraphs().at(0).runs.size(), 6u);
}

TEST_F(RtfWriterTest, ADescriptionWrittenToDiskReadsBack) {
    const RichText text = *RtfReader::read(
        readFile(fs::path(VELVANTO_SOURCE_DIR) / "tests/fixtures/rtf/textedit-styled.rtf"));
    const fs::path file = temp() / "Theme.docktheme/description.rtf";
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(FileManager::writeFileAtomically(file, RtfWriter::write(text)));
    const std::optional<std::string> bytes = FileManager::readFile(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(RtfReader::read(*bytes), text);
}
