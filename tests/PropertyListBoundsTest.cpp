#include <gtest/gtest.h>

#include <functional>

#include "platform/PropertyList.h"
#include "support/BinaryPlist.h"

namespace {

std::string repeat(const std::string& text, int count) {
    std::string out;
    out.reserve(text.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        out += text;
    }
    return out;
}

std::string xml(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
           "</plist>";
}

// count arrays, each inside the one before.
std::string xmlNest(int count) {
    return xml(repeat("<array>", count) + repeat("</array>", count));
}

std::string binaryChain(int count, int refSize = 4) {
    BinaryPlist list(refSize);
    for (int i = 0; i < count - 1; ++i) {
        list.array({static_cast<std::uint64_t>(i + 1)});
    }
    list.array({});
    return list.bytes();
}

}  // namespace

// Every shape a hostile Info.plist can take is refused before the library
// builds it, so no reader can crash, stall or exhaust memory on one.
TEST(PropertyListBoundsTest, ShapesBeyondTheLimitsAreNotPropertyLists) {
    struct Case {
        const char* name;
        std::function<std::string()> make;
        bool readable;
    };
    const std::vector<Case> cases = {
        {"XML at the depth limit", [] { return xmlNest(65); }, true},
        {"XML one deeper", [] { return xmlNest(66); }, false},
        {"XML 30,000 deep", [] { return xmlNest(30000); }, false},
        {"closings hidden in comments",
         [] { return xml(repeat("<array><!-- </array> -->", 30000) + repeat("</array>", 30000)); },
         false},
        {"comments and CDATA are skipped whole",
         [] {
             return xml(
                 "<dict><!-- <array> --><key>a</key><string><![CDATA[</dict>]]></string>"
                 "</dict>");
         },
         true},
        {"a closing that does not match", [] { return xml("<array></dict>"); }, false},
        {"entities declared in the document type",
         [] { return "<!DOCTYPE plist [<!ENTITY a \"b\">]>" + xml("<string>&a;</string>"); },
         false},
        {"NUL as a character reference", [] { return xml("<string>a&#0;b</string>"); }, false},
        {"NUL in hex with leading zeros", [] { return xml("<key>&#x0000;</key>"); }, false},
        {"other references are fine", [] { return xml("<string>&#x41;&#66;</string>"); }, true},
        {"99,999 objects", [] { return xml("<array>" + repeat("<true/>", 99999) + "</array>"); },
         true},
        {"100,001 objects", [] { return xml("<array>" + repeat("<true/>", 100000) + "</array>"); },
         false},
        {"over 1 MiB", [] { return xml("<string>" + std::string(1 << 20, 'a') + "</string>"); },
         false},
        {"binary at the depth limit", [] { return binaryChain(65); }, true},
        {"binary one deeper", [] { return binaryChain(66); }, false},
        {"binary 100,000 deep", [] { return binaryChain(100000, 3); }, false},
        {"binary children shared 40 levels deep",
         [] {
             BinaryPlist list;
             for (std::uint64_t i = 0; i < 40; ++i) {
                 list.array({i + 1, i + 1});
             }
             list.string("leaf");
             return list.bytes();
         },
         false},
        {"binary children shared within bounds",
         [] {
             BinaryPlist list;
             for (std::uint64_t i = 0; i < 10; ++i) {
                 list.array({i + 1, i + 1});
             }
             list.string("leaf");
             return list.bytes();
         },
         true},
        {"binary array that holds itself",
         [] {
             BinaryPlist list;
             std::uint64_t self = list.reserve();
             list.setArray(self, {self});
             return list.bytes();
         },
         false},
        {"binary NUL in a key",
         [] {
             BinaryPlist list;
             list.dictionary({1}, {2});
             list.string(std::string("a\0b", 3));
             list.string("value");
             return list.bytes();
         },
         false},
        {"binary reference past the last object",
         [] {
             BinaryPlist list;
             list.array({7});
             return list.bytes();
         },
         false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PropertyList::parse(c.make()).has_value(), c.readable) << c.name;
    }
}

TEST(PropertyListBoundsTest, ShallowerLimitsAreHonoured) {
    PropertyList::Limits limits;
    limits.maxDepth = 2;
    EXPECT_TRUE(PropertyList::parse(xmlNest(3), limits));
    EXPECT_FALSE(PropertyList::parse(xmlNest(4), limits));
    limits = {};
    limits.maxObjects = 3;
    EXPECT_TRUE(PropertyList::parse(xml("<array><true/><true/></array>"), limits));
    EXPECT_FALSE(PropertyList::parse(xml("<array><true/><true/><true/></array>"), limits));
}
