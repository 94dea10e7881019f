#include <regex>
#include <set>

#include "model/MiscKit.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

class MiscKitTest : public TestEnvironment {
protected:
    static MiscKit shipped() { return MiscKit(appResources() / "DatabaseInfo.plist"); }
};

// The shipped catalogue's records are checked against the stock theme in StockThemeTest.
TEST_F(MiscKitTest, ShippedCatalogueLooksUpExactlyBrokenOnesAnswerNothingAndOddSizesZero) {
    MiscKit catalogue = shipped();
    EXPECT_EQ(catalogue.dockFilesList().size(), 30u);
    EXPECT_EQ(*catalogue.dockFilesList().front().stringFor("Original"), "frontline.png");
    EXPECT_FALSE(catalogue.getNaturalNameForKey("No_Such_Key"));
    EXPECT_FALSE(catalogue.getOriginalFileNameForKey("frontline"));  // keys are case-sensitive
    EXPECT_EQ(catalogue.getSizeForFileKey("No_Such_Key"), (DockSize{0, 0}));
    writeFile(temp() / "broken.plist", "<plist><dict><key>Frontline</key>");
    writeFile(temp() / "array.plist",
              "<plist version=\"1.0\"><array><string>x</string></array></plist>");
    for (const char* name : {"missing.plist", "broken.plist", "array.plist"}) {
        MiscKit empty(temp() / name);
        EXPECT_TRUE(empty.dockFilesList().empty()) << name;
        EXPECT_FALSE(empty.getOriginalFileNameForKey("Frontline")) << name;
        EXPECT_EQ(empty.getSizeForFileKey("Frontline"), (DockSize{0, 0})) << name;
        EXPECT_EQ(empty.fileKeys_List().size(), 30u) << name;
    }
    // A record whose fields are not strings answers nothing for them.
    writeFile(temp() / "odd.plist",
              "<plist version=\"1.0\"><dict><key>Frontline</key><dict><key>Original</key>"
              "<integer>3</integer><key>Size</key><string>10x20</string></dict>"
              "<key>Shadow</key><string>flat</string></dict></plist>");
    MiscKit odd(temp() / "odd.plist");
    EXPECT_FALSE(odd.getOriginalFileNameForKey("Frontline"));
    EXPECT_EQ(odd.getSizeForFileKey("Frontline"), (DockSize{10, 20}));
    EXPECT_FALSE(odd.getNaturalNameForKey("Shadow"));
    // Sizes read width first; odd texts give zero.
    for (auto [text, size] : {std::pair{"32x48", DockSize{32, 48}},
                              {"  12.5x 7", {12.5f, 7}},
                              {"32x48x64", {32, 48}},
                              {"wide x 9", {0, 9}},
                              {"x", {0, 0}},
                              {"3248", {0, 0}},  // no "x", or an "X": no size at all
                              {"", {0, 0}},
                              {"32X48", {0, 0}}}) {
        EXPECT_EQ(MiscKit::parseSize(text), size) << text;
    }
}

TEST_F(MiscKitTest, DockStyleRoundTripsKeepOtherPreferencesAndOddOrUnreadableOnesAreRead) {
    EXPECT_EQ(MiscKit::currentDockType(), DockStyle::ThreeD);  // no preferences at all: 3D
    PlistValue prefs = PlistValue::dictionary();
    prefs.set("tilesize", PlistValue(48.0));
    prefs.set("orientation", PlistValue("bottom"));
    prefs.set("persistent-apps", PlistValue(PlistValue::Array{PlistValue("Mail")}));
    writeFile(dockPreferences(), PropertyList::toXML(prefs));
    CapturedLog log;
    MiscKit::setCurrentDock(DockStyle::TwoD);
    EXPECT_EQ(MiscKit::currentDockType(), DockStyle::TwoD);
    auto written = PropertyList::readDictionary(dockPreferences());
    ASSERT_TRUE(written);
    EXPECT_EQ(*written->find("no-glass")->asBoolean(), true);
    EXPECT_EQ(written->asDictionary()->size(), 4u);
    MiscKit::setCurrentDock(DockStyle::ThreeD);
    EXPECT_EQ(MiscKit::currentDockType(), DockStyle::ThreeD);
    EXPECT_EQ(*PropertyList::readDictionary(dockPreferences()), prefs);  // removed, not false
    EXPECT_EQ(log.lines(), (std::vector<std::string>(2, "Dock info wrote")));
    EXPECT_TRUE(waitForKillall(2));
    EXPECT_EQ(killallCalls(), (std::vector<std::string>(2, "Dock")));
    for (auto [value, style] :
         {std::pair{"<false/>", DockStyle::ThreeD}, {"<integer>1</integer>", DockStyle::TwoD}}) {
        writeFile(dockPreferences(),
                  std::string("<plist version=\"1.0\"><dict><key>no-glass</key>") + value +
                      "</dict></plist>");
        EXPECT_EQ(MiscKit::currentDockType(), style) << value;
    }
    // Unreadable preferences are never overwritten, and the Dock still restarts.
    writeFile(dockPreferences(), "garbage that is not a property list");
    log.clear();
    MiscKit::setCurrentDock(DockStyle::TwoD);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(readFile(dockPreferences()), "garbage that is not a property list");
    EXPECT_EQ(MiscKit::currentDockType(), DockStyle::ThreeD);
    EXPECT_TRUE(waitForKillall(3));
}

TEST_F(MiscKitTest, UUIDsAreUniqueUpperCaseGroupsOfHex) {
    const std::regex shape("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
    std::set<std::string> ids;
    for (int i = 0; i < 100; ++i) {
        std::string id = MiscKit::UUIDString();
        EXPECT_TRUE(std::regex_match(id, shape)) << id;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 100u);
}
