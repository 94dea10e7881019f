// The stand-in Dock's files: the images it reads, the manifest it writes, the root it fills.
#include <sys/stat.h>
#include <unistd.h>

#include "dock/DockImages.h"
#include "dock/DockManifest.h"
#include "dock/DockTestSupport.h"
#include "dock/StandInRoot.h"
#include "model/MiscKit.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

class DockFilesTest : public TestEnvironment {
protected:
    MiscKit catalogue{appResources() / "DatabaseInfo.plist"};
    fs::path standIn() const { return temp() / "stand-in"; }
    fs::path resources() const {
        return standIn() / "System/Library/CoreServices/Dock.app/Contents/Resources";
    }
    static DockManifest sample() {
        return {4321,
                DockStyle::TwoD,
                {{"scurve-m.png", {256, 48, "ab12"}}, {"frontline.png", {128, 4, "cd34"}}}};
    }
};

TEST_F(DockFilesTest, ReadsEachKeyByItsDockFileNameHashesItAndLeavesOutWhatIsNoImage) {
    fs::path folder = temp() / "images";
    fs::create_directories(folder);
    writePng(folder / "frontline.png", QSize(128, 4), Qt::white);
    writePng(folder / "scurve-m.png", QSize(300, 50), Qt::gray);
    writePng(folder / "Shadow.png", QSize(8, 8), Qt::black);  // a key, not a Dock file name
    writePng(folder / "extra.png", QSize(8, 8), Qt::black);
    DockImages images = DockImages::load(catalogue, folder);
    ASSERT_EQ(images.loaded().size(), 2u);
    EXPECT_EQ(images.loaded()[0].key, "Frontline");  // in the catalogue's key order
    EXPECT_EQ(images.loaded()[1].fileName, "scurve-m.png");
    EXPECT_EQ(images.image("Keystone_Base_M")->size(), QSize(300, 50));
    EXPECT_EQ(images.image("Shadow"), nullptr);
    DockManifest manifest = DockManifest::describe(42, DockStyle::TwoD, images);
    ASSERT_EQ(manifest.images.size(), 2u);
    EXPECT_EQ(
        manifest.images.at("frontline.png"),
        (DockManifest::Image{128, 4, QString::fromStdString(sha256sum(folder / "frontline.png"))}));
    // Missing, unreadable or broken pictures are left out.
    folder = temp() / "broken";
    fs::create_directories(folder / "separator.png");  // a folder
    writeFile(folder / "frontline.png", "not a picture");
    writeFile(folder / "shadow.png", "");
    std::string png = "\x89PNG\r\n\x1a\n";
    writeFile(folder / "pileArrow.png", png + std::string(40, '\0'));  // a cut-off PNG
    makeFifo(folder / "scurve-l.png");                                 // must not block
    fs::create_symlink(folder / "nowhere.png", folder / "scurve-sm.png");
    writePng(temp() / "real.png", QSize(32, 16), Qt::blue);
    fs::create_symlink(temp() / "real.png", folder / "indicator_large.png");
    fs::permissions(temp() / "real.png", fs::perms::owner_read);
    images = DockImages::load(catalogue, folder);
    ASSERT_EQ(images.loaded().size(), 1u);  // only the linked picture
    EXPECT_EQ(images.loaded()[0].fileName, "indicator_large.png");
    EXPECT_TRUE(DockImages::load(catalogue, temp() / "no-such-folder").loaded().empty());
    EXPECT_TRUE(DockImages::load(MiscKit(temp() / "no-catalogue.plist"), folder).loaded().empty());
}

TEST_F(DockFilesTest, RefusesAFolderSomeoneElseCouldHaveMadeAndIsWrittenWholeIntoItsOwn) {
    fs::create_directories(temp() / "elsewhere");
    fs::create_symlink(temp() / "elsewhere", DockManifest::folder());
    EXPECT_FALSE(sample().write());
    EXPECT_TRUE(fs::is_empty(temp() / "elsewhere"));
    fs::remove(DockManifest::folder());
    fs::create_directories(DockManifest::folder());
    fs::permissions(DockManifest::folder(), fs::perms::all);
    EXPECT_FALSE(sample().write());
    EXPECT_FALSE(fs::exists(DockManifest::path()));
    EXPECT_FALSE(DockManifest::read());  // none was written
    for (const char* bytes : {"", "[]", "{\"pid\": 1, \"style\": \"4d\", \"images\": {}}",
                              "{\"pid\": \"1\", \"style\": \"3d\", \"images\": {}}",
                              "{\"pid\": 1, \"style\": \"3d\"}", "{\"pid\": 1, \"sty"}) {
        EXPECT_FALSE(DockManifest::fromJson(bytes)) << bytes;
    }
    EXPECT_TRUE(DockManifest::fromJson("{\"pid\": 1, \"style\": \"3d\", \"images\": {}}"));
    fs::remove(DockManifest::folder());
    EXPECT_EQ(DockManifest::path(), temp() / "runtime/velvanto-dock/manifest.json");
    ASSERT_TRUE(sample().write());
    struct stat info {};
    ASSERT_EQ(::stat(DockManifest::folder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(fs::directory_iterator(DockManifest::folder())->path().filename(), "manifest.json");
    auto back = DockManifest::read();
    ASSERT_TRUE(back);
    EXPECT_EQ(std::tie(back->pid, back->dockStyle, back->images),
              std::tuple(4321, DockStyle::TwoD, sample().images));
    std::string text = readFile(DockManifest::path());
    EXPECT_NE(text.find("\"style\": \"2d\""), std::string::npos);
    EXPECT_NE(text.find("\"sha256\": \"ab12\""), std::string::npos);
    // Without a runtime folder, a private one in /tmp.
    std::string own = "/tmp/velvanto-dock-" + std::to_string(::geteuid());
    setEnv("XDG_RUNTIME_DIR", "");
    EXPECT_EQ(DockManifest::folder(), fs::path(own));
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(DockManifest::path(), fs::path(own) / "manifest.json");
}

TEST_F(DockFilesTest, FillsTheDockFolderFromTheThemeOnceKeepsWhatExistsAndLeavesNothingHalfFilled) {
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
