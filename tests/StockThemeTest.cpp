#include <cstdint>
#include <set>

#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

// Width and height from a PNG's header; 0 by 0 when the file is not a PNG.
DockSize pngSize(const fs::path& file) {
    std::string bytes = TestEnvironment::readFile(file);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return {};
    auto be32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return static_cast<float>(v);
    };
    return DockSize{be32(16), be32(20)};
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
    // clang-format off
    const std::set<std::string> flat = {"2D_Opened_App_Indicator_M", "2D_Opened_App_Indicator_S",
        "Angle_Left_Bottom", "Angle_Left_Up", "Angle_Right_Down", "Angle_Right_Up",
        "Border_Left_Bottom", "Border_Left_External", "Border_Left_Up", "Border_Right_Border",
        "Border_Right_Bottom", "Border_Right_External", "Separator_Horizontal",
        "Separator_Vertical"};
    // clang-format on
    std::set<std::string> seen;
    for (const ThemeImage& image : *images) {
        seen.insert(image.key);
        EXPECT_EQ(image.category, flat.count(image.key) ? DockCategory::TwoD : DockCategory::ThreeD)
            << image.key;
        EXPECT_EQ(MiscKit::categoryForKey(image.key), image.category) << image.key;
        EXPECT_EQ(image.fileName, catalogue.getOriginalFileNameForKey(image.key)) << image.key;
        EXPECT_EQ(pngSize(image.path), catalogue.getSizeForFileKey(image.key)) << image.key;
    }
    EXPECT_EQ(seen.size(), 30u);
    EXPECT_EQ(readFile(ThemeBundle::descriptionPath(bundle)).rfind("{\\rtf1", 0), 0u);
    for (const std::string& preview : {ThemeBundle::microPreviewPath(bundle),
                                       ThemeBundle::dockPreviewPath(bundle, DockStyle::ThreeD),
                                       ThemeBundle::dockPreviewPath(bundle, DockStyle::TwoD)}) {
        EXPECT_GT(pngSize(preview).width, 0) << preview;
        EXPECT_GT(pngSize(preview).height, 0) << preview;
    }
}
