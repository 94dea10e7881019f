#include <cmath>
#include <limits>

#include "model/RichText.h"
#include "support/RichTextPrinter.h"
#include "support/TestEnvironment.h"

using Alignment = RichText::Alignment;
using Attributes = RichText::Attributes;

class RichTextTest : public TestEnvironment {
protected:
    static Attributes bold() {
        Attributes a;
        a.bold = true;
        return a;
    }
    // The attributes a run keeps when appended with these.
    static Attributes stored(const Attributes& attributes) {
        RichText text;
        text.append("x", attributes);
        return text.paragraphs().at(0).runs.at(0).attributes;
    }
};

TEST_F(RichTextTest, PlainTextIsHelveticaTwelveLeftBlack) {
    RichText text = RichText::fromPlainText("No Description Available");
    ASSERT_EQ(text.paragraphs().size(), 1u);
    const RichText::Paragraph& paragraph = text.paragraphs()[0];
    EXPECT_EQ(paragraph.alignment, Alignment::Left);
    ASSERT_EQ(paragraph.runs.size(), 1u);
    EXPECT_EQ(paragraph.runs[0].text, "No Description Available");
    const Attributes& a = paragraph.runs[0].attributes;
    EXPECT_EQ(a.fontFamily, "Helvetica");
    EXPECT_EQ(a.size, 12.0f);
    EXPECT_FALSE(a.bold || a.italic || a.underline);
    EXPECT_EQ(a.colour, (RichText::Colour{0, 0, 0}));
    EXPECT_EQ(text.plainText(), "No Description Available");
    EXPECT_FALSE(text.endsWithParagraphEnd());
}

TEST_F(RichTextTest, AFinalParagraphEndIsKept) {
    const RichText open = RichText::fromPlainText("a");
    const RichText ended = RichText::fromPlainText("a\n");
    EXPECT_NE(open, ended);
    EXPECT_TRUE(ended.endsWithParagraphEnd());
    EXPECT_EQ(ended.paragraphs().size(), 1u);
    EXPECT_EQ(ended.plainText(), "a\n");

    for (const char* plain : {"", "\n", "\n\n", "a\n\nb", "a\n\nb\n", "\na"}) {
        EXPECT_EQ(RichText::fromPlainText(plain).plainText(), plain);
    }
    EXPECT_TRUE(RichText::fromPlainText("").empty());
    EXPECT_FALSE(RichText::fromPlainText("").endsWithParagraphEnd());
    EXPECT_EQ(RichText::fromPlainText(""), RichText());
    const RichText gap = RichText::fromPlainText("a\n\nb");
    ASSERT_EQ(gap.paragraphs().size(), 3u);
    EXPECT_TRUE(gap.paragraphs()[1].runs.empty());
}

TEST_F(RichTextTest, CarriageReturnsInPlainTextEndParagraphs) {
    EXPECT_EQ(RichText::fromPlainText("a\r\nb\rc\r\n"), RichText::fromPlainText("a\nb\nc\n"));
    EXPECT_EQ(RichText::fromPlainText("\r").plainText(), "\n");
}

TEST_F(RichTextTest, EqualTextsCompareEqualHoweverBuilt) {
    RichText pieces;
    pieces.append("Gra", Attributes{});
    pieces.append("", bold());
    pieces.append("phite", Attributes{});
    pieces.append(" Glass", bold());
    RichText whole;
    whole.append("Graphite", Attributes{});
    whole.append(" Glass", bold());
    EXPECT_EQ(pieces, whole);
    ASSERT_EQ(pieces.paragraphs()[0].runs.size(), 2u);
    EXPECT_EQ(pieces.paragraphs()[0].runs[0].text, "Graphite");

    RichText other;
    other.append("Graphite", Attributes{});
    other.append(" Glass", Attributes{});
    EXPECT_NE(pieces, other);
    EXPECT_EQ(pieces.plainText(), other.plainText());
}

TEST_F(RichTextTest, ParagraphsTakeTheirOwnAlignment) {
    RichText text;
    text.setAlignment(Alignment::Centre);  // for the paragraph to open next
    text.append("Title\nBody", bold());
    text.setAlignment(Alignment::Justified);
    text.endParagraph();
    text.endParagraph();  // an empty paragraph, justified like the one before
    text.setAlignment(Alignment::Right);
    text.append("End", Attributes{});
    ASSERT_EQ(text.paragraphs().size(), 4u);
    EXPECT_EQ(text.paragraphs()[0].alignment, Alignment::Centre);
    EXPECT_EQ(text.paragraphs()[1].alignment, Alignment::Justified);
    EXPECT_EQ(text.paragraphs()[2].alignment, Alignment::Justified);
    EXPECT_TRUE(text.paragraphs()[2].runs.empty());
    EXPECT_EQ(text.paragraphs()[3].alignment, Alignment::Right);
    EXPECT_EQ(text.plainText(), "Title\nBody\n\nEnd");

    // An alignment set with no paragraph open changes nothing already there.
    RichText ended = RichText::fromPlainText("a\n");
    RichText changed = ended;
    changed.setAlignment(Alignment::Right);
    EXPECT_EQ(changed, ended);
}

TEST_F(RichTextTest, MalformedUtf8BecomesReplacementCharacters) {
    RichText text;
    text.append("ok \xC3 \xED\xA0\x80 \xC0\xAF \xF4\x90\x80\x80 caf\xC3\xA9 \xF0\x9F\x98\x80",
                Attributes{});
    EXPECT_EQ(text.plainText(),
              "ok \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD "
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(RichText::fromPlainText("cut \xE2\x82").plainText(), "cut \xEF\xBF\xBD");
}

TEST_F(RichTextTest, SizesAreKeptToHalfPointsRtfCanStore) {
    const auto sizeOf = [](float size) {
        Attributes a;
        a.size = size;
        return stored(a).size;
    };
    EXPECT_EQ(sizeOf(12.3f), 12.5f);
    EXPECT_EQ(sizeOf(12.2f), 12.0f);
    EXPECT_EQ(sizeOf(0.0f), 0.5f);
    EXPECT_EQ(sizeOf(-4.0f), 0.5f);
    EXPECT_EQ(sizeOf(1e9f), 16383.5f);
    EXPECT_EQ(sizeOf(std::numeric_limits<float>::infinity()), 12.0f);
    EXPECT_EQ(sizeOf(std::nanf("")), 12.0f);
}

TEST_F(RichTextTest, FamiliesAreTrimmedCappedAndNeverEmpty) {
    const auto familyOf = [](const std::string& family) {
        Attributes a;
        a.fontFamily = family;
        return stored(a).fontFamily;
    };
    EXPECT_EQ(familyOf(""), "Helvetica");
    EXPECT_EQ(familyOf("   "), "Helvetica");
    EXPECT_EQ(familyOf("  Lucida Grande "), "Lucida Grande");
    EXPECT_EQ(familyOf("Bad\xFF"), "Bad\xEF\xBF\xBD");
    // 254 bytes and a two-byte character: the character doesn't fit and goes whole.
    const std::string longName = std::string(254, 'a') + "\xC3\xA9" + "tail";
    EXPECT_EQ(familyOf(longName), std::string(254, 'a'));
    EXPECT_EQ(familyOf(std::string(300, 'b')).size(), RichText::kMaxFamilyBytes);
}
