#include <cmath>
#include <limits>

#include "model/RichText.h"
#include "support/RichTextPrinter.h"
#include "support/TestEnvironment.h"

using Alignment = RichText::Alignment;
using Attributes = RichText::Attributes;

// The attributes a run keeps when appended with these.
static Attributes stored(const Attributes& attributes) {
    RichText text;
    text.append("x", attributes);
    return text.paragraphs().at(0).runs.at(0).attributes;
}

using RichTextTest = TestEnvironment;

TEST_F(RichTextTest, PlainTextParagraphEndsMalformedUtf8RunsAlignmentsAndAttributesThatFitRtf) {
    EXPECT_EQ(describe(RichText::fromPlainText("No Description Available")),
              "left: [No Description Available|Helvetica 12]\nOPEN");
    EXPECT_EQ(describe(RichText::fromPlainText("a\n\nb\n")),
              "left: [a|Helvetica 12]\nleft:\nleft: [b|Helvetica 12]\nEND");
    EXPECT_NE(RichText::fromPlainText("a"), RichText::fromPlainText("a\n"));
    EXPECT_EQ(RichText::fromPlainText(""), RichText());
    EXPECT_FALSE(RichText().endsWithParagraphEnd());
    for (const char* plain : {"", "\n", "\n\n", "a\n", "a\n\nb", "\na"}) {
        EXPECT_EQ(RichText::fromPlainText(plain).plainText(), plain) << plain;
    }
    EXPECT_EQ(RichText::fromPlainText("a\r\nb\rc\r\n"), RichText::fromPlainText("a\nb\nc\n"));
    EXPECT_EQ(RichText::fromPlainText("\r").plainText(), "\n");
    // Malformed UTF-8 becomes replacement characters.
    RichText text;
    text.append("ok \xC3 \xED\xA0\x80 \xC0\xAF \xF4\x90\x80\x80 caf\xC3\xA9 \xF0\x9F\x98\x80",
                Attributes{});
    EXPECT_EQ(text.plainText(),
              "ok \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD "
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(RichText::fromPlainText("cut \xE2\x82").plainText(), "cut \xEF\xBF\xBD");
    const Attributes bold{"Helvetica", 12, true, false, false, {}};
    RichText styled;
    styled.setAlignment(Alignment::Centre);  // for the paragraph to open next
    styled.append("Ti", bold);
    styled.append("", Attributes{});  // an empty run is no run, and equal neighbours merge
    styled.append("tle\nBo", bold);
    styled.append("dy", bold);
    styled.setAlignment(Alignment::Justified);
    styled.endParagraph();
    styled.endParagraph();  // an empty paragraph, justified like the one before
    styled.setAlignment(Alignment::Right);
    styled.append("End", Attributes{});
    EXPECT_EQ(describe(styled),
              "centre: [Title|Helvetica 12 b]\njustified: [Body|Helvetica 12 b]\njustified:\n"
              "right: [End|Helvetica 12]\nOPEN");

    // An alignment set with no paragraph open changes nothing already there.
    RichText changed = RichText::fromPlainText("a\n");
    changed.setAlignment(Alignment::Right);
    EXPECT_EQ(changed, RichText::fromPlainText("a\n"));
    const float infinity = std::numeric_limits<float>::infinity();
    const std::pair<float, float> sizes[] = {
        {12.3f, 12.5f},   {12.2f, 12.0f},    {0.0f, 0.5f},          {-4.0f, 0.5f},
        {1e9f, 16383.5f}, {infinity, 12.0f}, {std::nanf(""), 12.0f}};
    for (const auto& [size, kept] : sizes)
        EXPECT_EQ(stored({"Helvetica", size, false, false, false, {}}).size, kept) << size;
    // 254 bytes and a two-byte character: the character doesn't fit and goes whole.
    const std::pair<std::string, std::string> families[] = {
        {"", "Helvetica"},
        {"   ", "Helvetica"},
        {"  Lucida Grande ", "Lucida Grande"},
        {"Bad\xFF", "Bad\xEF\xBF\xBD"},
        {std::string(254, 'a') + "\xC3\xA9" + "tail", std::string(254, 'a')},
        {std::string(300, 'b'), std::string(RichText::kMaxFamilyBytes, 'b')}};
    for (const auto& [family, kept] : families)
        EXPECT_EQ(stored({family, 12, false, false, false, {}}).fontFamily, kept) << family;
}
