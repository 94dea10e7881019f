// Themes made to harm who opens them, and disk faults under the theme: nothing outside changes.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <functional>
#include <set>

#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

class HostileThemeTest : public TestEnvironment {
public:
    void SetUp() override {
        TestEnvironment::SetUp();
        writeFile(home() / "Documents/letter.txt", "dear");
        writeFile(home() / "Pictures/holiday.png", "sun");
    }
    using TestEnvironment::home;
    using TestEnvironment::temp;
    fs::path bundle() const { return temp() / "Hostile.docktheme"; }
    // A bundle with Frontline (2D) and Shadow (3D) sharing nothing.
    void writeTheme() {
        writeBundle(bundle(), themeInfo({{"Frontline", "front.png"}}, {{"Shadow", "shadow.png"}}));
    }
    void setTable(const std::string& key, const std::string& fileName) {
        auto info = PropertyList::readDictionary(bundle() / "Info.plist");
        ThemeBundle::categoryDictionary(*info, DockCategory::TwoD)->set(key, PlistValue(fileName));
        ASSERT_TRUE(PropertyList::write(bundle() / "Info.plist", *info));
    }
    std::unique_ptr<DockTheme> open(std::string* why = nullptr) {
        return DockTheme::initWithBundleAtPath(bundle().string(), why);
    }
    CapturedLog log_;  // kept off the test's output
};

TEST_F(HostileThemeTest, BundlesThatLeadOutsideOrAreNoThemesDoNotOpenAndSayWhy) {
    struct Case {
        const char* name;
        bool theme;  // made by writeTheme() before make
        std::function<void(HostileThemeTest&)> make;
        const char* why;  // nullptr: opens
    };
    const std::vector<Case> cases = {
        {"missing path", false, [](auto&) {}, "there is no theme folder at that place"},
        {"plain file", false, [](auto& t) { writeFile(t.bundle(), "x"); },
         "there is no theme folder at that place"},
        {"empty folder", false, [](auto& t) { fs::create_directories(t.bundle()); },
         "it has no readable Info.plist"},
        {"Info.plist a FIFO", true, [](auto& t) { makeFifo(t.bundle() / "Info.plist"); },
         "it has no readable Info.plist"},
        {"Info.plist a link", true,
         [](auto& t) { linkAway(t.bundle() / "Info.plist", t.temp() / "Info.plist"); },
         "it has no readable Info.plist"},
        {"images a link to the home folder", true,
         [](auto& t) {
             t.setTable("Frontline", "Documents");
             fs::remove_all(t.bundle() / "images");
             fs::create_symlink("../home", t.bundle() / "images");
         },
         "its images folder is a link to another place"},
        {"an image a link", true,
         [](auto& t) {
             fs::remove(t.bundle() / "images/front.png");
             fs::create_symlink(t.home() / "Pictures/holiday.png", t.bundle() / "images/front.png");
         },
         "the image of Frontline (front.png) is a link"},
        {"a name leading up", true,
         [](auto& t) { t.setTable("Frontline", "../../home/Documents"); },
         "the image of Frontline lies outside the theme"},
        {"a base outside", false,
         [](auto& t) {
             PlistValue info = themeInfo({{"Frontline", "Documents"}}, {});
             info.set("VL_BasePath", PlistValue("../home/"));
             writeBundle(t.bundle(), info);
         },
         "the image of Frontline lies outside the theme"},
        {"a FIFO image and a folder image open", true,
         [](auto& t) {
             makeFifo(t.bundle() / "images/front.png");
             fs::remove(t.bundle() / "images/shadow.png");
             fs::create_directories(t.bundle() / "images/shadow.png");
             makeFifo(t.bundle() / "preview_micro.png");
         },
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(bundle());
        if (c.theme) {
            writeTheme();
        }
        c.make(*this);
        Files before = snapshot(temp());
        std::string why;
        auto theme = open(&why);
        EXPECT_EQ(bool(theme), c.why == nullptr);
        EXPECT_EQ(why, c.why ? c.why : "");
        if (theme) {
            EXPECT_FALSE(theme->dockMicroPreview());  // a FIFO is no picture
        }
        EXPECT_EQ(changes(before, snapshot(temp())), std::vector<std::string>{});
    }
}

TEST_F(HostileThemeTest, ReplacingRemovesOnlyARegularFileNoKeyNamesAnyMore) {
    writeFile(temp() / "new.png", "new");
    writeFile(temp() / "newer.png", "newer");
    makeFifo(temp() / "fifo.png");
    writeSparse(temp() / "huge.png", ThemeBundle::kMaxImageBytes + 1);
    writeTheme();
    setTable("Stack_Arrow", "shadow.png");  // two keys, one file
    fs::remove(bundle() / "images/front.png");
    writeFile(bundle() / "images/front.png/inside", "keep");  // a folder as an image
    writeFile(bundle() / "images/taken.png", "not in the table");
    auto theme = open();
    ASSERT_TRUE(theme);
    auto set = [&](const char* source, const char* key, DockCategory category, const char* name) {
        return theme->setFileName((temp() / source).string(), key, category, name);
    };
    // Refused copies change nothing and say why.
    Files before = snapshot(temp());
    for (auto [source, name, why] :
         {std::tuple{"fifo.png", "f.png", "the image is not a plain file"},
          {"huge.png", "h.png", "the image is larger than 16 MiB"},
          {"missing.png", "m.png", "the image could not be copied (No such file or directory)"},
          {"new.png", "taken.png", "a file named taken.png is in the theme already"},
          {"new.png", "../n.png", "../n.png is not a plain file name"}}) {
        EXPECT_FALSE(set(source, "Frontline", DockCategory::TwoD, name));
        EXPECT_EQ(theme->errorString(), why);
    }
    // Info.plist can't be written: the new copy goes again and the table stays.
    fs::rename(bundle() / "Info.plist", temp() / "info.bak");
    fs::create_directories(bundle() / "Info.plist");
    EXPECT_FALSE(set("new.png", "Frontline", DockCategory::TwoD, "n.png"));
    fs::remove(bundle() / "Info.plist");
    fs::rename(temp() / "info.bak", bundle() / "Info.plist");
    EXPECT_EQ(changes(before, snapshot(temp())), std::vector<std::string>{});
    EXPECT_EQ(theme->getFileNameForKey("Frontline", DockCategory::TwoD), "front.png");

    // The folder named as an image stays, and so does the file Stack_Arrow still names.
    ASSERT_TRUE(set("new.png", "Frontline", DockCategory::TwoD, "n.png"));
    ASSERT_TRUE(set("newer.png", "Shadow", DockCategory::ThreeD, "s.png"));
    Files after = snapshot(bundle());
    EXPECT_EQ(after["images/front.png/inside"], "keep");
    EXPECT_EQ(after["images/shadow.png"], "image:shadow.png");
    EXPECT_TRUE(open());  // every key still finds its image
    // Once no key names it, it goes.
    ASSERT_TRUE(set("new.png", "Stack_Arrow", DockCategory::TwoD, "a.png"));
    EXPECT_FALSE(fs::exists(bundle() / "images/shadow.png"));
    EXPECT_EQ(snapshot(home()).size(), 4u);  // the two folders and their files, untouched
}

TEST_F(HostileThemeTest, AFullDiskLeavesNoHalfFileAndEveryImageThatDidNotArriveIsTold) {
    auto theme = DockTheme::newDockBundleAtPath((temp() / "Full.docktheme").string(), "Full");
    ASSERT_TRUE(theme);
    fs::path source = temp() / "Source";
    writeFile(source / "frontline.png", std::string(64 * 1024, 'f'));
    makeFifo(source / "separatorstraight.png");
    writeSparse(source / "shadow.png", ThemeBundle::kMaxImageBytes + 1);
    writeFile(source / "scurve-sm.png", "small");
    Files before = snapshot(temp() / "Full.docktheme");

    // Writes beyond 32 KiB fail as on a full disk.
    struct sigaction ignore {};
    struct sigaction old {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &old);
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limit = saved;
    limit.rlim_cur = 32 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::vector<std::string> failed;
    bool whole = theme->copyDataFromFolder(source.string(), &failed);
    auto written = theme->setFileName((source / "frontline.png").string(), "Frontline",
                                      DockCategory::TwoD, "big.png");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_FALSE(whole);
    EXPECT_EQ(failed,
              (std::vector<std::string>{"frontline.png", "shadow.png", "separatorstraight.png"}));
    EXPECT_FALSE(written);
    Files after = snapshot(temp() / "Full.docktheme");
    for (auto& [name, content] : before) {
        if (name != "images/scurve-sm.png") {
            EXPECT_EQ(after[name], content) << name;  // kept whole, no 0-byte image
        }
    }
    EXPECT_EQ(after["images/scurve-sm.png"], "small");
    EXPECT_EQ(after.size(), before.size());  // no temporary left
}

TEST_F(HostileThemeTest, DescriptionsAreReadAsWhatTheyAreAndLeftoversOfAKilledWriterGo) {
    writeTheme();
    auto theme = open();
    ASSERT_TRUE(theme);
    const std::string rtf = "{\\rtf1\\ansi Dark {\\b glass}}";
    for (auto [content, shown] :
         {std::pair<std::string, std::string>{"just words\n", "just words\n"},
          {"\xEF\xBB\xBF" + rtf, "Dark glass"},
          {"\n\r\n  " + rtf, "Dark glass"},
          {"caf\xE9", "caf\xEF\xBF\xBD"}}) {
        writeFile(bundle() / "description.rtf", content);
        auto description = theme->description();
        ASSERT_TRUE(description) << content;
        EXPECT_EQ(description->plainText(), shown);
    }
    makeFifo(bundle() / "description.rtf");
    EXPECT_FALSE(theme->description());
    // Leftovers of a killed writer go, and nothing else.
    for (const char* name : {".velvanto-Info.plist-0123456789abcdef", ".Info.plist.Ab12Cd",
                             ".description.rtf.x9Y8z7", "images/.velvanto-front.png-1"}) {
        writeFile(bundle() / name, "half");
    }
    for (const char* name :
         {".hidden", "notes.Info.plist.Ab12Cd", ".Info.plist.toolong1", ".velvanto-folder/x"}) {
        writeFile(bundle() / name, "mine");
    }
    theme->removeLeftovers();
    std::multiset<std::string> left;
    for (auto& [name, content] : snapshot(bundle())) {
        left.insert(content);
    }
    EXPECT_EQ(left.count("half"), 0u);
    EXPECT_EQ(left.count("mine"), 4u);
}
