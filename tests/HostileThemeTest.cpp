// Themes made to harm who opens them, and disk faults under the theme: nothing outside changes.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <functional>
#include <future>
#include <set>

#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/Process.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;
using Strings = std::vector<std::string>;

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
        EXPECT_EQ(changes(before, snapshot(temp())), Strings{});
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
    // No images folder: said so, not taken for a file of that name.
    fs::rename(bundle() / "images", temp() / "images.bak");
    EXPECT_FALSE(set("new.png", "Frontline", DockCategory::TwoD, "n.png"));
    EXPECT_EQ(theme->errorString(), "the theme has no images folder (images) to copy into");
    fs::rename(temp() / "images.bak", bundle() / "images");
    EXPECT_EQ(changes(before, snapshot(temp())), Strings{});
    EXPECT_EQ(theme->getFileNameForKey("Frontline", DockCategory::TwoD), "front.png");

    // The folder named as an image stays, and so does the file Stack_Arrow still names.
    ASSERT_TRUE(set("new.png", "Frontline", DockCategory::TwoD, "n.png"));
    ASSERT_TRUE(set("newer.png", "Shadow", DockCategory::ThreeD, "s.png"));
    EXPECT_EQ(readFile(bundle() / "images/front.png/inside"), "keep");
    EXPECT_EQ(readFile(bundle() / "images/shadow.png"), "image:shadow.png");
    EXPECT_TRUE(open());  // every key still finds its image
    // Once no key names it, it goes.
    ASSERT_TRUE(set("new.png", "Stack_Arrow", DockCategory::TwoD, "a.png"));
    EXPECT_FALSE(fs::exists(bundle() / "images/shadow.png"));
    EXPECT_EQ(snapshot(home()).size(), 4u);  // the two folders and their files, untouched
    // Images beside the bundle's own files: a key naming Info.plist never costs the theme it.
    PlistValue beside = themeInfo({}, {{"Shadow", "Info.plist"}});
    beside.set("VL_BasePath", PlistValue(""));
    ASSERT_TRUE(PropertyList::write(bundle() / "Info.plist", beside));
    theme = open();
    ASSERT_TRUE(theme);
    ASSERT_TRUE(set("new.png", "Shadow", DockCategory::ThreeD, "s.png"));
    EXPECT_EQ(readFile(bundle() / "s.png"), "new");
    EXPECT_TRUE(open());
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
    const auto old = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const struct rlimit limit = {32 * 1024, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::vector<std::string> failed;
    bool whole = theme->copyDataFromFolder(source.string(), &failed);
    auto written = theme->setFileName((source / "frontline.png").string(), "Frontline",
                                      DockCategory::TwoD, "big.png");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, old);

    EXPECT_FALSE(whole);
    EXPECT_EQ(failed,
              (std::vector<std::string>{"frontline.png", "shadow.png", "separatorstraight.png"}));
    EXPECT_FALSE(written);
    // Only the small image arrived: the rest kept whole, no 0-byte image, no temporary left.
    before["images/scurve-sm.png"] = "small";
    EXPECT_EQ(snapshot(temp() / "Full.docktheme"), before);
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
    // Leftovers of a killed writer go, and nothing else: on opening and with any later write.
    const std::function<bool()> sweepers[] = {
        [&] { return theme->removeLeftovers(), true; },
        [&] {
            return theme->saveInformation({"Swept", "", "", "1.0", ""}, nullptr);
        },
        [&] { return theme->setDescription(RichText::fromPlainText("swept")); },
    };
    for (const auto& sweep : sweepers) {
        for (const char* name : {".velvanto-Info.plist-0123456789abcdef", ".Info.plist.Ab12Cd",
                                 ".description.rtf.x9Y8z7", "images/.velvanto-front.png-1"}) {
            writeFile(bundle() / name, "half");
        }
        for (const char* name :
             {".hidden", "notes.Info.plist.Ab12Cd", ".Info.plist.toolong1", ".velvanto-folder/x"}) {
            writeFile(bundle() / name, "mine");
        }
        ASSERT_TRUE(sweep()) << theme->errorString();
        std::multiset<std::string> left;
        for (auto& [name, content] : snapshot(bundle()))
            left.insert(content);
        EXPECT_EQ(left.count("half"), 0u);
        EXPECT_EQ(left.count("mine"), 4u);
    }
}

TEST_F(HostileThemeTest, WritersAtOnceKeepEachOthersChangesOrRefuseAndLeaveNoStrayImage) {
    const std::string corner = "Angle_Left_Bottom";  // a 2D key, as set-image knows it
    writeBundle(bundle(), themeInfo({{corner, "corner.png"}}, {{"Shadow", "shadow.png"}}));
    const std::string picture = (stockTheme() / "images/shadow.png").string();
    auto cli = [](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), VELVANTO_THEME_PROGRAM);
        return Process::run(arguments, Process::Capture::Errors).value_or(Process::Result{});
    };
    auto setImage = [&](const std::string& key) {
        return cli({"set-image", "--unique-name", bundle().string(), key, picture});
    };
    auto table = [&] {  // key -> file, as Info.plist on disk has it
        std::map<std::string, std::string> named;
        const auto images =
            ThemeBundle::imageTable(*PropertyList::readDictionary(bundle() / "Info.plist"));
        for (const ThemeImage& image : *images)
            named[image.key] = image.fileName;
        return named;
    };
    // The theme opens and its images folder holds just the files the table names.
    auto whole = [&] {
        std::set<std::string> named;
        for (const auto& [key, file] : table())
            named.insert(file);
        return open() && entries(bundle() / "images") == Strings(named.begin(), named.end());
    };
    // Writes take turns under the lock; only a run that read the table before
    // the other's write and looks for an image after it refuses: one a round at most.
    int made = 0;
    for (int round = 0; round < 20; ++round) {
        const auto before = table();
        auto flat = std::async(std::launch::async, setImage, corner);
        auto shadow = std::async(std::launch::async, setImage, "Shadow");
        const std::pair<std::string, Process::Result> runs[] = {{corner, flat.get()},
                                                                {"Shadow", shadow.get()}};
        const auto after = table();
        for (const auto& [key, run] : runs) {
            SCOPED_TRACE(key + " in round " + std::to_string(round) + ": " + run.output);
            if (run.exitStatus == 0) {
                ++made;
                EXPECT_NE(after.at(key), before.at(key));  // made, so named
            } else {
                EXPECT_EQ(run.exitStatus, 1);
                EXPECT_NE(run.output.find(") is missing"), std::string::npos);
                EXPECT_EQ(after.at(key), before.at(key));  // refused, so absent
            }
        }
        ASSERT_TRUE(whole()) << round;
    }
    EXPECT_GE(made, 20);
}

TEST_F(HostileThemeTest, AWriteBeyondTheReadersBoundsWritesNothingAndSaysWhy) {
    Table flat;  // with Shadow, the most entries a reader takes
    for (std::size_t i = 0; i + 1 < ThemeBundle::kMaxTableEntries; ++i)
        flat.emplace_back("K" + std::to_string(i), "front.png");
    writeBundle(bundle(), themeInfo(flat, {{"Shadow", "shadow.png"}}));
    writeFile(temp() / "new.png", "new");
    auto theme = open();
    ASSERT_TRUE(theme);
    auto saved = [](std::function<void(DockTheme::Information&)> change) {
        return [change](DockTheme& theme) {
            DockTheme::Information information = theme.information();
            change(information);
            return theme.saveInformation(information, nullptr);
        };
    };
    const std::string nothing = "; nothing was written";
    const std::string tooLarge =
        "Info.plist would be larger than 1 MiB, more than a theme may hold" + nothing;
    const struct {
        const char* name;
        std::function<bool(DockTheme&)> write;
        std::string why;
    } rows[] = {
        {"a 2 MiB name", saved([](auto& i) { i.name = std::string(2 << 20, 'n'); }), tooLarge},
        // Measured as written: each '&' is "&amp;".
        {"300 KiB of '&'", saved([](auto& i) { i.name = std::string(300 << 10, '&'); }), tooLarge},
        {"a NUL in the author", saved([](auto& i) { i.author = std::string("A\0B", 3); }),
         "Info.plist would hold a value no reader takes (a NUL character, or containers nested "
         "too deep)" +
             nothing},
        {"a 1,001st entry",
         [this](DockTheme& theme) {
             return bool(theme.setFileName((temp() / "new.png").string(), "K999",
                                           DockCategory::TwoD, "n.png"));
         },
         "the image table would have more than 1000 entries" + nothing},
    };
    const Files before = snapshot(temp());
    for (const auto& row : rows) {
        EXPECT_FALSE(row.write(*theme)) << row.name;
        EXPECT_EQ(theme->errorString(), row.why) << row.name;
        EXPECT_EQ(changes(before, snapshot(temp())), Strings{}) << row.name;
        EXPECT_EQ(theme->information(), open()->information()) << row.name;  // memory as disk
    }
    EXPECT_FALSE(theme->getFileNameForKey("K999", DockCategory::TwoD));
}
