#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/RtfWriter.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class DockThemeTest : public TestEnvironment {
protected:
    static Strings keys(const DockTheme::SlotList& slots) {
        Strings result;
        for (const auto& item : slots)
            result.push_back(item->keyDock());
        return result;
    }
    std::unique_ptr<DockTheme> make(const Table& flat, const Table& glass) {
        writeBundle(temp() / "Blue.docktheme", themeInfo(flat, glass));
        return DockTheme::initWithBundleAtPath((temp() / "Blue.docktheme").string());
    }
    CapturedLog log;
};

TEST_F(DockThemeTest, OpeningSortsTheSlotListsAndReplacingAnImageChangesOnlyItsCategoryAndInfo) {
    auto theme = make(
        {{"Stack_Arrow", "s.png"}, {"Frontline", "f.png"}, {"2D_Opened_App_Indicator_M", "i.png"}},
        {{"shadow", "sh.png"}, {"Not_A_Catalogue_Key", "n.png"}, {"Separator_3D", "x.png"}});
    ASSERT_TRUE(theme);
    EXPECT_EQ(keys(theme->dock_2d_images()),
              (Strings{"2D_Opened_App_Indicator_M", "Frontline", "Stack_Arrow"}));
    EXPECT_EQ(keys(theme->dock_3d_images()),
              (Strings{"Not_A_Catalogue_Key", "Separator_3D", "shadow"}));
    EXPECT_EQ(theme->dock_2d_images()[1]->path(), theme->dockPath() + "/images/f.png");
    EXPECT_EQ(theme->getFileNameForKey("Frontline", DockCategory::TwoD), "f.png");
    EXPECT_FALSE(theme->getFileNameForKey("Frontline", DockCategory::ThreeD));
    // File names in use are found in either category, exactly.
    for (auto [name, used] :
         {std::pair{"f.png", true}, {"sh.png", true}, {"Sh.png", false}, {"F.PNG", false}}) {
        EXPECT_EQ(theme->verifyNameExistForFile(name), used) << name;
    }
    // Replacing a slot image changes only its category and writes Info.plist at once.
    theme = make({{"Frontline", "flat.png"}}, {{"Frontline", "glass.png"}, {"Shadow", "s.png"}});
    ASSERT_TRUE(theme);
    writeFile(temp() / "drop/new front.png", "dropped");
    auto result = theme->setFileName((temp() / "drop/new front.png").string(), "Frontline",
                                     DockCategory::ThreeD, "new front.png");
    const std::string expected = theme->dockPath() + "/images/new front.png";
    EXPECT_EQ(result, expected);
    EXPECT_EQ(readFile(expected), "dropped");
    EXPECT_FALSE(fs::exists(theme->dockPath() + "/images/glass.png"));
    EXPECT_EQ(readFile(theme->dockPath() + "/images/flat.png"), "image:flat.png");
    const auto onDisk = PropertyList::readDictionary(theme->indexFile());
    const PlistValue& list = *onDisk->find("Dock_List");
    EXPECT_EQ(*(*list.asArray())[1].stringFor("Frontline"), "new front.png");
    EXPECT_EQ(*(*list.asArray())[0].stringFor("Frontline"), "flat.png");
    // The slot keeps its place with a new item.
    theme->reloadItemAtIndex(0, *result, "Frontline", DockCategory::ThreeD);
    EXPECT_EQ(theme->dock_3d_images()[0]->path(), expected);
    theme->reloadItemAtIndex(9, *result, "Frontline", DockCategory::ThreeD);
    EXPECT_EQ(theme->dock_3d_images().size(), 2u);
    EXPECT_TRUE(DockTheme::initWithBundleAtPath(theme->dockPath()));
}

TEST_F(DockThemeTest, NewBundlesCopyTheTemplateKeepTheNameInMemoryAndTakeWhatTheDockHas) {
    fs::path path = temp() / "Mine.docktheme";
    auto theme = DockTheme::newDockBundleAtPath(path.string(), "Mine");
    ASSERT_TRUE(theme);
    EXPECT_EQ(theme->dockName(), "Mine");
    EXPECT_EQ(theme->dock_2d_images().size() + theme->dock_3d_images().size(), 30u);
    EXPECT_EQ(snapshot(path), snapshot(stockTheme()));
    // Over an existing bundle nothing is copied; the bundle opens unchanged on disk.
    fs::path other = temp() / "Other.docktheme";
    writeBundle(other, themeInfo({}, {{"Shadow", "s.png"}}));
    auto before = snapshot(other);
    auto reopened = DockTheme::newDockBundleAtPath(other.string(), "Renamed");
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->dockName(), "Renamed");
    EXPECT_EQ(snapshot(other), before);
    EXPECT_FALSE(
        DockTheme::newDockBundleAtPath((temp() / "no/such/folder/X.docktheme").string(), "X"));
    // Filling from the Dock replaces only what the Dock has.
    path = temp() / "Copy.docktheme";
    theme = DockTheme::newDockBundleAtPath(path.string(), "Copy");
    ASSERT_TRUE(theme);
    writeFile(dockResources() / "frontline.png", "dock front");
    writeFile(dockResources() / "scurve-l.png", "dock floor");
    fs::create_directories(dockResources() / "shadow.png");  // not a file: left alone
    theme->copyInMeCurrentDock();
    EXPECT_EQ(readFile(path / "images/frontline.png"), "dock front");
    EXPECT_EQ(readFile(path / "images/scurve-l.png"), "dock floor");
    for (const char* kept : {"shadow.png", "separator.png"})
        EXPECT_EQ(readFile(path / "images" / kept), readFile(stockTheme() / "images" / kept));
    EXPECT_TRUE(theme->copyDataFromFolder((temp() / "missing-folder").string()));
    EXPECT_TRUE(DockTheme::initWithBundleAtPath(path.string()));
}

TEST_F(DockThemeTest, MetadataDefaultsOtherKeysDescriptionsAndPreviews) {
    fs::path bundle = temp() / "Meta.docktheme";
    PlistValue info = themeInfo({}, {});
    info.set("CFBundleIdentifier", PlistValue("com.example.theme"));
    info.set("Custom", PlistValue(PlistValue::Array{PlistValue(1), PlistValue(true)}));
    writeBundle(bundle, info);
    auto theme = DockTheme::initWithBundleAtPath(bundle.string());
    ASSERT_TRUE(theme);
    EXPECT_EQ(theme->version(), "1.0");
    EXPECT_FALSE(theme->dockAuthor());
    theme->setAuthor("Ann");
    // Setters touch memory only.
    EXPECT_FALSE(PropertyList::readDictionary(bundle / "Info.plist")->stringFor("VL_DockAuthor"));
    ASSERT_TRUE(theme->backup());
    EXPECT_EQ(DockTheme::initWithBundleAtPath(bundle.string())->dockAuthor(), "Ann");
    auto onDisk = PropertyList::readDictionary(bundle / "Info.plist");
    EXPECT_EQ(*onDisk->find("Custom"), *info.find("Custom"));
    EXPECT_EQ(*onDisk->stringFor("CFBundleIdentifier"), "com.example.theme");
    EXPECT_EQ(onDisk->asDictionary()->front().first, "VL_DockName");  // order kept
    const std::string folder = bundle.string();
    EXPECT_EQ(theme->description()->plainText(), "No Description Available");
    RichText text = RichText::fromPlainText("Dark glass,\nblue lights");
    ASSERT_TRUE(theme->setDescription(text));
    EXPECT_EQ(readFile(folder + "/description.rtf"), RtfWriter::write(text));
    EXPECT_FALSE(theme->existDockPreview(DockStyle::TwoD));
    writeFile(folder + "/preview_2d.png", "png");
    EXPECT_TRUE(theme->existDockPreview(DockStyle::TwoD));
    EXPECT_FALSE(theme->existDockPreview(DockStyle::ThreeD));
    EXPECT_FALSE(theme->dockMicroPreview());
    writeFile(temp() / "one.jpg", "first");
    writeFile(temp() / "two.gif", "second");
    EXPECT_TRUE(theme->setDockMicroPreview((temp() / "one.jpg").string()));
    EXPECT_TRUE(theme->setDockMicroPreview((temp() / "two.gif").string()));
    EXPECT_FALSE(theme->setDockMicroPreview((temp() / "missing.png").string()));
    EXPECT_EQ(theme->dockMicroPreview(), folder + "/preview_micro.png");
    EXPECT_EQ(readFile(folder + "/preview_micro.png"), "second");
}
