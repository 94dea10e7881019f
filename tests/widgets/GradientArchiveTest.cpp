#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"
#include "widgets/InvalidArchiveOperationException.h"
#include "widgets/KeyedArchiver.h"
#include "widgets/KeyedUnarchiver.h"
#include "widgets/QGGradient.h"

namespace {

class GradientArchiveTest : public TestEnvironment {
protected:
    static std::unique_ptr<QGGradient> roundTrip(const QGGradient& gradient) {
        return KeyedUnarchiver::unarchiveObjectWithData<QGGradient>(
            KeyedArchiver::archivedDataWithRootObject(gradient));
    }
    static std::unique_ptr<QGGradient> unarchive(const PlistValue& archive) {
        return KeyedUnarchiver::unarchiveRootObject<QGGradient>(archive);
    }
    // The stops as raw bits, so NaNs and signed zeros compare too.
    static std::vector<std::uint32_t> bits(const QGGradient& gradient) {
        std::vector<std::uint32_t> result;
        for (std::size_t i = 0; const QGGradientElement* e = gradient.elementAtIndex(i); ++i) {
            for (float value : {e->red, e->green, e->blue, e->alpha, e->position}) {
                std::uint32_t word;
                std::memcpy(&word, &value, sizeof word);
                result.push_back(word);
            }
        }
        return result;
    }
    static PlistValue& rootObject(PlistValue& archive) {
        return (*archive.find("$objects")->asArray())[1];
    }
};

// A coder that is not keyed, recording what reaches it.
class SequentialCoder : public Coder {
public:
    bool allowsKeyedCoding() const override { return false; }
    void encodeValueOfObjCType(const char*, const void*) override { calls.push_back("value"); }
    void decodeValueOfObjCType(const char*, void*) override { calls.push_back("decode"); }
    void encodeInt(int, const std::string& key) override { calls.push_back(key); }
    int decodeIntForKey(const std::string& key) override {
        calls.push_back(key);
        return 0;
    }
    std::vector<std::string> calls;
};

}  // namespace

TEST_F(GradientArchiveTest, KeyedRoundTripKeepsStopsInOrderAndTheMode) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<QGGradient> gradients = {
        QGGradient(),
        QGGradient::aquaSelectedGradient(),
        QGGradient::hydrogenSpectrumGradient().gradientWithBlendingMode(2),
        QGGradient::rainbowGradient().addColorStop(QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f), nan),
    };
    for (const QGGradient& gradient : gradients) {
        auto copy = roundTrip(gradient);
        ASSERT_TRUE(copy);
        EXPECT_EQ(bits(*copy), bits(gradient));
        EXPECT_EQ(copy->blendingMode(), gradient.blendingMode());
    }
}

TEST_F(GradientArchiveTest, ArchiveHasTheKeyedArchiverLayout) {
    PlistValue archive = KeyedArchiver::archivedRootObject(
        QGGradient::unifiedDarkGradient().gradientWithBlendingMode(1));
    EXPECT_EQ(*archive.stringFor("$archiver"), "NSKeyedArchiver");
    EXPECT_EQ(*archive.find("$version")->asInteger(), 100000);
    EXPECT_EQ(*archive.find("$top")->find("root"), KeyedArchiver::uid(1));
    const auto& objects = *archive.find("$objects")->asArray();
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(*objects[0].asString(), "$null");
    const PlistValue& gradient = objects[1];
    EXPECT_EQ(*gradient.find("$class"), KeyedArchiver::uid(2));
    EXPECT_EQ(*gradient.find("QGGradientElementCount")->asInteger(), 2);
    EXPECT_EQ(*gradient.find("QGGradientBlendingMode")->asInteger(), 1);
    // Five floats per stop in writing order: red, green, blue, alpha, position.
    EXPECT_EQ(*gradient.find("$0")->asReal(), static_cast<double>(0.68f));
    EXPECT_EQ(*gradient.find("$3")->asReal(), 1.0);
    EXPECT_EQ(*gradient.find("$9")->asReal(), 1.0);
    EXPECT_EQ(gradient.find("$10"), nullptr);
    EXPECT_EQ(*objects[2].stringFor("$classname"), "QGGradient");

    // The XML form reads back the same.
    EXPECT_EQ(PropertyList::parse(PropertyList::toXML(archive)), archive);
}

TEST_F(GradientArchiveTest, ReferencesMayBePlainIntegersAsTheBinaryFormReadsBack) {
    PlistValue archive = KeyedArchiver::archivedRootObject(QGGradient::aquaNormalGradient());
    archive.find("$top")->set("root", PlistValue(1));
    rootObject(archive).set("$class", PlistValue(2));
    auto gradient = unarchive(archive);
    ASSERT_TRUE(gradient);
    EXPECT_EQ(bits(*gradient), bits(QGGradient::aquaNormalGradient()));
}

TEST_F(GradientArchiveTest, NonKeyedCoderRaisesAndGetsNothing) {
    SequentialCoder coder;
    try {
        QGGradient::aquaNormalGradient().encodeWithCoder(coder);
        FAIL() << "no exception";
    } catch (const InvalidArchiveOperationException& error) {
        EXPECT_STREQ(error.what(), "Only supports NSKeyedArchiver coders");
    }
    EXPECT_TRUE(coder.calls.empty());
}

TEST_F(GradientArchiveTest, MalformedArchivesGiveNothing) {
    const PlistValue good = KeyedArchiver::archivedRootObject(QGGradient::aquaNormalGradient());
    ASSERT_TRUE(unarchive(good));
    auto broken = [&](auto change) {
        PlistValue archive = good;
        change(archive);
        return unarchive(archive) == nullptr;
    };
    EXPECT_TRUE(broken([](PlistValue& a) { a.set("$archiver", "NSArchiver"); }));
    EXPECT_TRUE(broken([](PlistValue& a) { a.remove("$objects"); }));
    EXPECT_TRUE(broken([](PlistValue& a) { a.find("$top")->set("root", KeyedArchiver::uid(9)); }));
    EXPECT_TRUE(broken([](PlistValue& a) { a.find("$top")->set("root", KeyedArchiver::uid(-1)); }));
    EXPECT_TRUE(broken([](PlistValue& a) { a.find("$top")->set("root", "one"); }));
    EXPECT_TRUE(broken([](PlistValue& a) { a.find("$top")->set("root", KeyedArchiver::uid(0)); }));
    EXPECT_TRUE(broken(
        [](PlistValue& a) { (*a.find("$objects")->asArray())[2].set("$classname", "NSColor"); }));
    EXPECT_TRUE(broken([&](PlistValue& a) { rootObject(a).set("QGGradientBlendingMode", 3); }));
    EXPECT_TRUE(broken([&](PlistValue& a) { rootObject(a).set("QGGradientElementCount", 5); }));
    EXPECT_TRUE(broken([&](PlistValue& a) {
        rootObject(a).set("QGGradientElementCount", std::numeric_limits<int>::max());
    }));
    EXPECT_TRUE(broken([&](PlistValue& a) {
        rootObject(a).set("QGGradientElementCount", PlistValue(std::int64_t{1} << 40));
    }));
    EXPECT_TRUE(broken([&](PlistValue& a) { rootObject(a).set("QGGradientElementCount", 1.5); }));
    EXPECT_TRUE(broken([&](PlistValue& a) { rootObject(a).set("$2", "blue"); }));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData<QGGradient>("not a property list"));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData<QGGradient>(""));

    // Absent keys read as 0: an empty gradient in linear mode.
    PlistValue bare = good;
    rootObject(bare).remove("QGGradientElementCount");
    rootObject(bare).remove("QGGradientBlendingMode");
    auto empty = unarchive(bare);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->elementAtIndex(0), nullptr);
    EXPECT_EQ(empty->blendingMode(), 0);
}
