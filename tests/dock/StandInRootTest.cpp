#include "dock/StandInRoot.h"
#include "model/MiscKit.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

class StandInRootTest : public TestEnvironment {
protected:
    MiscKit catalogue{appResources() / "DatabaseInfo.plist"};
    fs::path standIn() const { return temp() / "stand-in"; }
    fs::path resources() const {
        return standIn() / "System/Library/CoreServices/Dock.app/Contents/Resources";
    }
};

TEST_F(StandInRootTest,
       FillsTheDockFolderFromTheThemeOnceKeepsWhatExistsAndLeavesNothingHalfFilled) {
    ASSERT_TRUE(StandInRoot::prepare(standIn(), stockTheme().string(), catalogue));
    auto files = snapshot(resources());
    EXPECT_EQ(files.size(), 30u);
    for (const std::string& key : catalogue.fileKeys_List()) {
        std::string name = *catalogue.getOriginalFileNameForKey(key);
        EXPECT_EQ(files[name], readFile(stockTheme() / "images" / name)) << key;
    }
    EXPECT_EQ(MiscKit::currentDockType(), DockStyle::ThreeD);
    auto written = PropertyList::readDictionary(dockPreferences());
    ASSERT_TRUE(written);
    EXPECT_EQ(*written->find("tilesize")->asInteger(), 64);
    EXPECT_EQ(snapshot(resources().parent_path()).size(), 31u);  // nothing left beside it
    // An applied theme and the user's preferences survive a second preparation.
    writeFile(resources() / "frontline.png", "applied");
    fs::remove(resources() / "shadow.png");
    writeFile(
        dockPreferences(),
        PropertyList::toXML(PlistValue(PlistValue::Dictionary{{"no-glass", PlistValue(true)}})));
    ASSERT_TRUE(StandInRoot::prepare(standIn(), stockTheme().string(), catalogue));
    EXPECT_EQ(readFile(resources() / "frontline.png"), "applied");
    EXPECT_FALSE(fs::exists(resources() / "shadow.png"));
    EXPECT_EQ(MiscKit::currentDockType(), DockStyle::TwoD);
    // A theme that cannot be read leaves no half-filled folder.
    fs::remove_all(standIn());
    fs::path broken = temp() / "Broken.docktheme";
    writeBundle(broken, themeInfo({}, {{"Frontline", "line.png"}, {"Shadow", "shadow.png"}}));
    fs::remove(broken / "images/shadow.png");
    for (const fs::path& theme : {broken, temp() / "Missing.docktheme"}) {
        EXPECT_FALSE(StandInRoot::prepare(standIn(), theme.string(), catalogue)) << theme;
        EXPECT_FALSE(fs::exists(resources())) << theme;
        EXPECT_EQ(snapshot(resources().parent_path()).size(), 0u) << theme;
    }
    // The keeper's command line does the same.
    ProgramRun run =
        runProgram({KEEPER_PROGRAM, "--prepare-root", standIn().string(), stockTheme().string()});
    EXPECT_EQ(run.exitCode, 0) << run.standardError;
    EXPECT_TRUE(fs::exists(resources() / "scurve-xl.png"));
}
