#include <bit>
#include <limits>
#include <vector>

#include "support/TestEnvironment.h"
#include "widgets/InvalidArchiveOperationException.h"
#include "widgets/KeyedArchiver.h"
#include "widgets/KeyedUnarchiver.h"
#include "widgets/QGGradient.h"

namespace {

class GradientArchiveTest : public TestEnvironment {
protected:
    static std::unique_ptr<QGGradient> unarchive(const PlistValue& archive) {
        return KeyedUnarchiver::unarchiveRootObject<QGGradient>(archive);
    }
    // The stops as raw bits, so NaNs and signed zeros compare too.
    static std::vector<std::uint32_t> bits(const QGGradient& gradient) {
        std::vector<std::uint32_t> result;
        for (std::size_t i = 0; const QGGradientElement* e = gradient.elementAtIndex(i); ++i) {
            for (float value : {e->red, e->green, e->blue, e->alpha, e->position})
                result.push_back(std::bit_cast<std::uint32_t>(value));
        }
        return result;
    }
    static PlistValue& object(PlistValue& archive, std::size_t index) {
        return archive.find("$objects")->asArray()->at(index);
    }
};

// A coder that is not keyed, recording what reaches it.
class SequentialCoder : public Coder {
public:
    bool allowsKeyedCoding() const override { return false; }
    void encodeValueOfObjCType(const char*, const void*) override { calls.push_back("value"); }
    void decodeValueOfObjCType(const char*, void*) override { calls.push_back("decode"); }
    void encodeInt(int, const std::string& key) override { calls.push_back(key); }
    int decodeIntForKey(const std::string& key) override { return calls.push_back(key), 0; }
    std::vector<std::string> calls;
};

}  // namespace

TEST_F(GradientArchiveTest,
       RoundTripsKeepStopsAndModeInTheKeyedArchiverLayoutAndMalformedOnesGiveNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const QGGradient& gradient :
         {QGGradient(), QGGradient::aquaSelectedGradient(),
          QGGradient::hydrogenSpectrumGradient().gradientWithBlendingMode(2),
          QGGradient::rainbowGradient().addColorStop(QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f),
                                                     nan)}) {
        auto copy = KeyedUnarchiver::unarchiveObjectWithData<QGGradient>(
            KeyedArchiver::archivedDataWithRootObject(gradient));
        ASSERT_TRUE(copy);
        EXPECT_EQ(bits(*copy), bits(gradient));
        EXPECT_EQ(copy->blendingMode(), gradient.blendingMode());
    }
    // Object references may be plain integers, as the binary form reads back.
    PlistValue archive = KeyedArchiver::archivedRootObject(QGGradient::aquaNormalGradient());
    archive.find("$top")->set("root", PlistValue(1));
    object(archive, 1).set("$class", PlistValue(2));
    auto gradient = unarchive(archive);
    ASSERT_TRUE(gradient);
    EXPECT_EQ(bits(*gradient), bits(QGGradient::aquaNormalGradient()));
    // The layout NSKeyedArchiver writes.
    archive = KeyedArchiver::archivedRootObject(
        QGGradient::unifiedDarkGradient().gradientWithBlendingMode(1));
    EXPECT_EQ(*archive.stringFor("$archiver"), "NSKeyedArchiver");
    EXPECT_EQ(*archive.find("$version")->asInteger(), 100000);
    EXPECT_EQ(*archive.find("$top")->find("root"), KeyedArchiver::uid(1));
    ASSERT_EQ(archive.find("$objects")->asArray()->size(), 3u);
    EXPECT_EQ(*object(archive, 0).asString(), "$null");
    const PlistValue& stored = object(archive, 1);
    EXPECT_EQ(*stored.find("$class"), KeyedArchiver::uid(2));
    EXPECT_EQ(*stored.find("QGGradientElementCount")->asInteger(), 2);
    EXPECT_EQ(*stored.find("QGGradientBlendingMode")->asInteger(), 1);
    // Five floats per stop in writing order: red, green, blue, alpha, position.
    EXPECT_EQ(*stored.find("$0")->asReal(), static_cast<double>(0.68f));
    EXPECT_EQ(*stored.find("$3")->asReal(), 1.0);
    EXPECT_EQ(*stored.find("$9")->asReal(), 1.0);
    EXPECT_EQ(stored.find("$10"), nullptr);
    EXPECT_EQ(*object(archive, 2).stringFor("$classname"), "QGGradient");
    SequentialCoder coder;
    EXPECT_THROW(QGGradient::aquaNormalGradient().encodeWithCoder(coder),
                 InvalidArchiveOperationException);
    EXPECT_TRUE(coder.calls.empty());  // a coder that is not keyed gets nothing
    const PlistValue good = KeyedArchiver::archivedRootObject(QGGradient::aquaNormalGradient());
    ASSERT_TRUE(unarchive(good));
    // Each change sets a key of the archive (0), its $top (1), the gradient (2) or the class (3).
    const std::string count = "QGGradientElementCount";
    const std::tuple<int, std::string, PlistValue> changes[] = {
        {0, "$archiver", "NSArchiver"},
        {1, "root", KeyedArchiver::uid(9)},
        {1, "root", KeyedArchiver::uid(-1)},
        {1, "root", KeyedArchiver::uid(0)},
        {1, "root", "one"},
        {3, "$classname", "NSColor"},
        {2, "QGGradientBlendingMode", 3},
        {2, count, 5},
        {2, count, std::numeric_limits<int>::max()},
        {2, count, std::int64_t{1} << 40},
        {2, count, 1.5},
        {2, "$2", "blue"}};
    for (const auto& [where, key, value] : changes) {
        PlistValue archive = good;
        PlistValue* const targets[] = {&archive, archive.find("$top"), &object(archive, 1),
                                       &object(archive, 2)};
        targets[where]->set(key, value);
        EXPECT_FALSE(unarchive(archive)) << where << " " << key;
    }
    PlistValue noObjects = good;
    noObjects.remove("$objects");
    EXPECT_FALSE(unarchive(noObjects));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData<QGGradient>("not a property list"));
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithData<QGGradient>(""));
    // Absent keys read as 0: an empty gradient in linear mode.
    PlistValue bare = good;
    object(bare, 1).remove(count);
    object(bare, 1).remove("QGGradientBlendingMode");
    auto empty = unarchive(bare);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->elementAtIndex(0), nullptr);
    EXPECT_EQ(empty->blendingMode(), 0);
}
