#include <gtest/gtest.h>

#include <tuple>

#include "platform/PropertyList.h"
#include "support/BinaryPlist.h"

namespace {

std::string repeat(const std::string& text, int count) {
    std::string out;
    while (count-- > 0)
        out += text;
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
    for (int i = 0; i < count - 1; ++i)
        list.array({static_cast<std::uint64_t>(i + 1)});
    list.array({});
    return list.bytes();
}

// Binary arrays each holding the next twice, levels deep, over one string.
std::string binaryShared(int levels) {
    BinaryPlist list;
    for (std::uint64_t i = 0; i < static_cast<std::uint64_t>(levels); ++i)
        list.array({i + 1, i + 1});
    list.string("leaf");
    return list.bytes();
}

}  // namespace

// Every shape a hostile Info.plist can take is refused before the library builds it.
TEST(PropertyListBoundsTest,
     ShapesBeyondTheLimitsAreNotPropertyListsAndShallowerLimitsAreHonoured) {
    BinaryPlist selfHolding, nulKey, pastTheEnd;
    std::uint64_t self = selfHolding.reserve();
    selfHolding.setArray(self, {self});
    nulKey.dictionary({1}, {2});
    nulKey.string(std::string("a\0b", 3));
    nulKey.string("value");
    pastTheEnd.array({7});
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"XML at the depth limit", xmlNest(65), true},
        {"XML one deeper", xmlNest(66), false},
        {"XML 30,000 deep", xmlNest(30000), false},
        {"closings hidden in comments",
         xml(repeat("<array><!-- </array> -->", 30000) + repeat("</array>", 30000)), false},
        {"comments and CDATA are skipped whole",
         xml("<dict><!-- <array> --><key>a</key><string><![CDATA[</dict>]]></string></dict>"),
         true},
        {"a closing that does not match", xml("<array></dict>"), false},
        {"entities declared in the document type",
         "<!DOCTYPE plist [<!ENTITY a \"b\">]>" + xml("<string>&a;</string>"), false},
        {"NUL as a character reference", xml("<string>a&#0;b</string>"), false},
        {"NUL in hex with leading zeros", xml("<key>&#x0000;</key>"), false},
        {"other references are fine", xml("<string>&#x41;&#66;</string>"), true},
        {"99,999 objects", xml("<array>" + repeat("<true/>", 99999) + "</array>"), true},
        {"100,001 objects", xml("<array>" + repeat("<true/>", 100000) + "</array>"), false},
        {"over 1 MiB", xml("<string>" + std::string(1 << 20, 'a') + "</string>"), false},
        {"binary at the depth limit", binaryChain(65), true},
        {"binary one deeper", binaryChain(66), false},
        {"binary 100,000 deep", binaryChain(100000, 3), false},
        {"binary children shared 40 levels deep", binaryShared(40), false},
        {"binary children shared within bounds", binaryShared(10), true},
        {"binary array that holds itself", selfHolding.bytes(), false},
        {"binary NUL in a key", nulKey.bytes(), false},
        {"binary reference past the last object", pastTheEnd.bytes(), false},
    };
    for (const auto& [name, bytes, readable] : cases)
        EXPECT_EQ(PropertyList::parse(bytes).has_value(), readable) << name;
    const PropertyList::Limits shallow{.maxDepth = 2}, few{.maxObjects = 3};
    EXPECT_TRUE(PropertyList::parse(xmlNest(3), shallow));
    EXPECT_FALSE(PropertyList::parse(xmlNest(4), shallow));
    EXPECT_TRUE(PropertyList::parse(xml("<array><true/><true/></array>"), few));
    EXPECT_FALSE(PropertyList::parse(xml("<array><true/><true/><true/></array>"), few));
}
