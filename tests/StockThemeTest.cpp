#include <set>

#include "model/ImageHeader.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

// Width and height from an image's header; 0 by 0 when it has none.
DockSize pngSize(const fs::path& file) {
    const auto size = ImageHeader::fromBytes(TestEnvironment::readFile(file));
    return size ? DockSize{float(size->width), float(size->height)} : DockSize{};
}

}  // namespace

class StockThemeTest : public TestEnvironment {};

TEST_F(StockThemeTest, IsAValidBundleWithEveryKeyUnderItsDockFileNameADescriptionAndPreviews) {
    std::string bundle = stockTheme().string();
    auto info = PropertyList::readDictionary(ThemeBundle::infoPlistPath(bundle));
    ASSERT_TRUE(info);
    EXPECT_EQ(*info->stringFor("VL_BasePath"), "images/");
    for (const char* key : {"VL_DockName", "VL_DockAuthor", "VL_DockVersion"})
        EXPECT_TRUE(info->stringFor(key)) << key;
    auto images = ThemeBundle::check(*BundleFolder::open(bundle), *info);
    ASSERT_TRUE(images);
    ASSERT_EQ(images->size(), 30u);
    MiscKit catalogue(appResources() / "DatabaseInfo.plist");
    // Each of the catalogue's keys once, under its own Dock file name, at its size.
    std::set<std::string> seen, names;
    int flat = 0;
    for (const ThemeImage& image : *images) {
        seen.insert(image.key);
        names.insert(image.fileName);
        flat += image.category == DockCategory::TwoD;
        EXPECT_EQ(MiscKit::categoryForKey(image.key), image.category) << image.key;
        EXPECT_EQ(image.fileName, catalogue.getOriginalFileNameForKey(image.key)) << image.key;
        EXPECT_EQ(pngSize(image.path), catalogue.getSizeForFileKey(image.key)) << image.key;
        EXPECT_NE(pngSize(image.path), DockSize{}) << image.key;
        EXPECT_TRUE(catalogue.getNaturalNameForKey(image.key)) << image.key;
        EXPECT_TRUE(catalogue.getDescriptionForKey(image.key)) << image.key;
    }
    EXPECT_EQ(seen, std::set<std::string>(catalogue.fileKeys_List().begin(),
                                          catalogue.fileKeys_List().end()));
    EXPECT_EQ(names.size(), 30u) << "two keys share a Dock file name";
    EXPECT_EQ(flat, 14);
    EXPECT_EQ(readFile(ThemeBundle::descriptionPath(bundle)).rfind("{\\rtf1", 0), 0u);
    for (const std::string& preview : {ThemeBundle::microPreviewPath(bundle),
                                       ThemeBundle::dockPreviewPath(bundle, DockStyle::ThreeD),
                                       ThemeBundle::dockPreviewPath(bundle, DockStyle::TwoD)}) {
        EXPECT_NE(pngSize(preview), DockSize{}) << preview;  // a header, so both sides over 0
    }
}
