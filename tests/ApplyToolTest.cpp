#include <plist/plist.h>
#include <sys/stat.h>

#include <functional>

#include "ApplyToolFixture.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/PropertyList.h"

namespace fs = std::filesystem;

TEST_F(ApplyToolTest, InstallsEachImageWithItsLogLinesInOrderAndRestartsTheDock) {
    fs::path bundle = temp() / "Blue.docktheme";
    writeBundle(bundle,
                themeInfo({{"Separator_Vertical", "line.png"}}, {{"Frontline", "front.png"}}));
    writeFile(dockResources() / "frontline.png", "old front");
    ProgramRun run = apply({bundle.string(), "ignored", "arguments"});
    EXPECT_EQ(run.exitCode, 1);
    std::string source1 = bundle.string() + "/images/line.png";
    std::string source2 = bundle.string() + "/images/front.png";
    EXPECT_EQ(lines_, (std::vector<std::string>{
                          "Hello, World!",
                          "Removing old file in DockApp: " + dockFile("separatorstraight.png"),
                          "... Not Removed",
                          "Copy new file from path " + source1 +
                              " \n....... to path:" + dockFile("separatorstraight.png"),
                          "... Copied",
                          "Removing old file in DockApp: " + dockFile("frontline.png"),
                          "... Removed",
                          "Copy new file from path " + source2 +
                              " \n....... to path:" + dockFile("frontline.png"),
                          "... Copied",
                          "Killing dock...",
                      }));
    EXPECT_EQ(readFile(dockResources() / "frontline.png"), "image:front.png");
    EXPECT_EQ(readFile(dockResources() / "separatorstraight.png"), "image:line.png");
    struct stat info {};
    ::stat((dockResources() / "frontline.png").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_TRUE(waitForKillall(1));
    EXPECT_EQ(killallCalls(), std::vector<std::string>{"Dock"});
    // Nothing but the two images is left in the resources folder.
    EXPECT_EQ(snapshot(dockResources()).size(), 2u);
}

TEST_F(ApplyToolTest, NoBundleEndsWithMinusOneAndTouchesNothing) {
    dockResources();
    auto before = snapshot(temp());
    EXPECT_EQ(apply({}).exitCode, 255);
    EXPECT_EQ(lines_, (std::vector<std::string>{"Hello, World!", "Cannot apply theme (null)"}));
    std::string missing = (temp() / "nothing.docktheme").string();
    EXPECT_EQ(apply({missing}).exitCode, 255);
    EXPECT_EQ(lines_, (std::vector<std::string>{"Hello, World!", "Cannot apply theme " + missing}));
    EXPECT_EQ(apply({""}).exitCode, 255);
    EXPECT_EQ(snapshot(temp()), before);
    EXPECT_TRUE(killallCalls().empty());
}

TEST_F(ApplyToolTest, EmptyTablesInstallNothingButRestartTheDock) {
    fs::path bundle = temp() / "Empty.docktheme";
    writeBundle(bundle, themeInfo({}, {}));
    EXPECT_EQ(apply({bundle.string()}).exitCode, 1);
    EXPECT_EQ(lines_, (std::vector<std::string>{"Hello, World!", "Killing dock..."}));
    EXPECT_TRUE(snapshot(dockResources()).empty());
    EXPECT_TRUE(waitForKillall(1));
}

TEST_F(ApplyToolTest, TheThreeDImageWinsOverTheTwoDOneAndBasePathPlaysNoPart) {
    fs::path bundle = temp() / "Both.docktheme";
    PlistValue info = themeInfo({{"Frontline", "flat.png"}}, {{"Frontline", "glass.png"}});
    info.set("VL_BasePath", PlistValue("elsewhere/"));
    writeBundle(bundle, info);
    EXPECT_EQ(apply({bundle.string()}).exitCode, 1);
    EXPECT_EQ(readFile(dockResources() / "frontline.png"), "image:glass.png");
}

TEST_F(ApplyToolTest, AMissingImageChangesNothingAndDoesNotRestartTheDock) {
    fs::path bundle = temp() / "Broken.docktheme";
    writeBundle(bundle,
                themeInfo({{"Separator_Vertical", "line.png"}}, {{"Frontline", "front.png"}}));
    fs::remove(bundle / "images/front.png");
    writeFile(dockResources() / "separatorstraight.png", "stock");
    auto before = snapshot(temp());
    EXPECT_EQ(apply({bundle.string()}).exitCode, 255);
    EXPECT_EQ(lines_, std::vector<std::string>{"Hello, World!"});
    EXPECT_EQ(snapshot(temp()), before);
    EXPECT_TRUE(killallCalls().empty());
}

TEST_F(ApplyToolTest, KeysWithoutADockFileNameAreSkipped) {
    fs::path bundle = temp() / "Unknown.docktheme";
    writeBundle(bundle, themeInfo({{"No_Such_Key", "x.png"}}, {{"Shadow", "s.png"}}));
    EXPECT_EQ(apply({bundle.string()}).exitCode, 1);
    EXPECT_EQ(lines_[1], "No Dock file name for key No_Such_Key, skipped");
    EXPECT_EQ(lines_.back(), "Killing dock...");
    auto installed = snapshot(dockResources());
    EXPECT_EQ(installed, (std::map<std::string, std::string>{{"shadow.png", "image:s.png"}}));
}

TEST_F(ApplyToolTest, BinaryInfoPlistIsRead) {
    fs::path bundle = temp() / "Binary.docktheme";
    writeBundle(bundle, themeInfo({}, {{"Shadow", "s.png"}}));
    std::string xml = readFile(bundle / "Info.plist");
    plist_t node = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &node);
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bin, &length);
    writeFile(bundle / "Info.plist", std::string(bin, length));
    free(bin);
    plist_free(node);
    ASSERT_EQ(readFile(bundle / "Info.plist").rfind("bplist", 0), 0u);
    EXPECT_EQ(apply({bundle.string()}).exitCode, 1);
    EXPECT_EQ(readFile(dockResources() / "shadow.png"), "image:s.png");
}

TEST_F(ApplyToolTest, ALinkInPlaceOfADockImageIsReplacedNotFollowed) {
    fs::path bundle = temp() / "Links.docktheme";
    writeBundle(bundle, themeInfo({}, {{"Shadow", "s.png"}}));
    writeFile(temp() / "outside.png", "outside");
    fs::create_symlink(temp() / "outside.png", dockResources() / "shadow.png");
    EXPECT_EQ(apply({bundle.string()}).exitCode, 1);
    EXPECT_EQ(readFile(temp() / "outside.png"), "outside");
    EXPECT_FALSE(fs::is_symlink(dockResources() / "shadow.png"));
    EXPECT_EQ(snapshot(dockResources()),
              (std::map<std::string, std::string>{{"shadow.png", "image:s.png"}}));
}

TEST_F(ApplyToolTest, TheStockThemeInstallsEveryImageByteForByte) {
    EXPECT_EQ(apply({stockTheme().string()}).exitCode, 1);
    MiscKit catalogue(appResources() / "DatabaseInfo.plist");
    for (const std::string& key : catalogue.fileKeys_List()) {
        std::string name = *catalogue.getOriginalFileNameForKey(key);
        EXPECT_EQ(readFile(dockResources() / name), readFile(stockTheme() / "images" / name))
            << key;
    }
    EXPECT_EQ(snapshot(dockResources()).size(), 30u);
}
