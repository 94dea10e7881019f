#include <algorithm>
#include <iterator>
#include <sstream>

#include "model/RtfReader.h"
#include "model/RtfWriter.h"
#include "model/Utf8.h"
#include "platform/Process.h"
#include "support/RichTextPrinter.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using Alignment = RichText::Alignment;

using RtfWriterTest = TestEnvironment;

TEST_F(RtfWriterTest, WritesTheShapeTextEditWritesAndAnyTextSurvivesARoundTripInPlainAscii) {
    const std::string header = "{\\rtf1\\ansi\\ansicpg1252\\cocoartf949\\cocoasubrtf460\\uc1\n";
    const std::string tabs =
        "\\pard\\tx566\\tx1133\\tx1700\\tx2267\\tx2834\\tx3401\\tx3968"
        "\\tx4535\\tx5102\\tx5669\\tx6236\\tx6803";
    EXPECT_EQ(RtfWriter::write(RichText()), header +
                                                "{\\fonttbl\\f0\\fnil\\fcharset0 Helvetica;}\n"
                                                "{\\colortbl;\\red255\\green255\\blue255;}\n}");
    RichText text;
    text.setAlignment(Alignment::Centre);
    // Family, size, bold, italic, underline and colour.
    text.append("Graphite Glass\n", {"Helvetica", 18, true, false, false, {0, 64, 128}});
    text.setAlignment(Alignment::Left);
    // Latin 1 as bytes; others as \uN with the letter they are made from, or '?', as a byte.
    text.append("caf\u00e9 \u201cq\u201d \u0141\u00f3d\u017a \u1ec7 \u263a \U0001F600 {x}",
                {"LucidaGrande", 12, false, false, false, {}});
    EXPECT_EQ(
        RtfWriter::write(text),
        header +
            "{\\fonttbl\\f0\\fnil\\fcharset0 Helvetica;\\f1\\fnil\\fcharset0 LucidaGrande;}\n"
            "{\\colortbl;\\red255\\green255\\blue255;\\red0\\green64\\blue128;}\n" +
            tabs + "\\qc\\pardirnatural\n\n\\f0\\b\\fs36\\cf2 Graphite Glass\\\n" + tabs +
            "\\ql\\qnatural\\pardirnatural\n\n"
            "\\f1\\b0\\fs24\\cf0 caf\\'e9 \\'93q\\'94 \\u321\\'4c\\'f3d\\u378\\'7a \\u7879\\'65 "
            "\\u9786\\'3f \\u-10179\\'3f\\u-8704\\'3f \\{x\\}}");
    std::vector<RichText> texts;
    for (const char* name :
         {"textedit-plain.rtf", "textedit-styled.rtf", "other-program.rtf", "truncated.rtf"})
        texts.push_back(
            RtfReader::read(readFile(fs::path(VELVANTO_SOURCE_DIR) / "tests/fixtures/rtf" / name))
                .value());
    const std::string plains[] = {
        "",
        "\n\n\n",
        "end with an end\n",
        "back\\slash {braces} \\par \\u9786? \\'e9 ;semicolon; \\",
        "tab\tand \x01\x1f\x7f controls",
        std::string("nul \0 inside", 12),
        "Latin 1: \u00a0\u00e9\u00ff \u20ac\u2014\u0152\u0178 C1 \u0081\u0085\u009d",
        "beyond: \u0100 \u0416 \u3042\u6f22 \uf0b7 \uffff \U0001F600\U0010FFFF",
        "separators \u2028 \u2029 \r\r\n"};
    for (const std::string& plain : plains)
        texts.push_back(RichText::fromPlainText(plain));
    // Every attribute, and font names that need escaping.
    RichText& styled = texts.emplace_back();
    std::uint8_t n = 0;
    for (Alignment alignment :
         {Alignment::Right, Alignment::Justified, Alignment::Centre, Alignment::Left}) {
        styled.setAlignment(alignment);
        for (int flags = 0; flags < 8; ++flags, ++n) {
            const RichText::Colour colour{std::uint8_t(n * 7), std::uint8_t(255 - n),
                                          std::uint8_t(n % 2 == 0 ? 255 : 0)};
            // Text that starts with what could run into a control word.
            styled.append(
                n % 2 == 0 ? " 12 spaced" : "9x",
                {n % 3 == 0 ? "Times-Roman" : "Hiragino Kaku Gothic ProN W3", 0.5f + n * 1.5f,
                 bool(flags & 1), bool(flags & 2), bool(flags & 4), colour});
        }
        styled.endParagraph();
        styled.endParagraph();
    }
    for (const char* family : {"Semi;colon", "Brace{Sans}", "Back\\slash", "Caf\u00e9 \u263a",
                               "Tab\tName", "\u30d2\u30e9\u30ae\u30ce"})
        styled.append(family, {family, 12, false, false, false, {}});
    // White is the colour table's own first entry.
    styled.append("white", {"Helvetica", 12, false, false, false, {255, 255, 255}});

    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string rtf = RtfWriter::write(texts[i]);
        EXPECT_TRUE(
            std::ranges::all_of(rtf, [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7F); }))
            << "not plain ASCII: " << rtf;
        EXPECT_EQ(RtfReader::read(rtf), texts[i]) << rtf;
    }
}

// unrtf ignores \uc and takes letters after \uN into the word; its personality writes "&#N;".
TEST_F(RtfWriterTest, UnrtfReadsEveryWordOfAMultilingualText) {
    const std::string words =
        "\u0141\u00f3d\u017a, Krak\u00f3w, \u017dlu\u0165ou\u010dk\u00fd k\u016f\u0148, "
        "\u00c1rv\u00edzt\u0171r\u0151.\n"
        "\u0393\u03b5\u03b9\u03ac \u03c3\u03bf\u03c5 \u03ba\u03cc\u03c3\u03bc\u03b5.\n"
        "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440, \u0442\u0435\u043c\u0430.\n"
        "\u65e5\u672c\u8a9e\u306e\u30c6\u30fc\u30de \u4e2d\u6587 \ud55c\uad6d\uc5b4 "
        "\u1ef3 Ti\u1ebfng Vi\u1ec7t\n";
    const fs::path config = temp() / "unrtf";
    writeFile(config / "text.conf",
              readFile("/usr/share/unrtf/text.conf") + "unisymbol_print\n\t&#%;\n");
    const fs::path file = temp() / "description.rtf";
    writeFile(file, RtfWriter::write(RichText::fromPlainText(words)));

    const auto run =
        Process::run({"/usr/bin/unrtf", "-P", config.string(), "--text", file.string()},
                     Process::Capture::Output);
    ASSERT_TRUE(run && run->exitStatus == 0) << "unrtf is installed by scripts/setup-deps";
    std::string body = run->output.substr(run->output.find("-----------------\n") + 18);
    std::string text;
    for (std::size_t pos = 0, end = 0; pos < body.size(); ++pos) {
        if (body.compare(pos, 2, "&#") == 0 && (end = body.find(';', pos)) != std::string::npos) {
            Utf8::append(text, static_cast<char32_t>(std::stoul(body.substr(pos + 2, end - pos))));
            pos = end;
        } else {
            text += body[pos];
        }
    }
    const auto split = [](const std::string& s) {
        std::istringstream in(s);
        return std::vector<std::string>(std::istream_iterator<std::string>(in), {});
    };
    EXPECT_EQ(split(text), split(words)) << run->output;
}
