#include <plist/plist.h>
#include <sys/stat.h>

#include <functional>

#include <regex>

#include "model/MiscKit.h"
#include "model/ThemeBundle.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

// The messages of a run, without the log's line heads; a message that spans
// two lines is joined again.
std::vector<std::string> messages(const std::string& standardError) {
    static const std::regex head(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [^\[]+\[\d+:[0-9a-f]+\] (.*)$)");
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < standardError.size()) {
        std::size_t end = standardError.find('\n', start);
        if (end == std::string::npos)
            end = standardError.size();
        std::string line = standardError.substr(start, end - start);
        std::smatch match;
        if (std::regex_match(line, match, head)) {
            result.push_back(match[1]);
        } else if (!result.empty()) {
            result.back() += "\n" + line;
        }
        start = end + 1;
    }
    return result;
}

}  // namespace

class ApplyToolTest : public TestEnvironment {
protected:
    ProgramRun apply(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv = {(appResources() / "VelvantoHelper").string()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        ProgramRun run = runProgram(argv);
        lines_ = messages(run.standardError);
        return run;
    }
    std::string dockFile(const std::string& name) { return (dockResources() / name).string(); }
    std::vector<std::string> lines_;
};

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

TEST_F(ApplyToolTest, EmptyTablesOrAPlainFileInstallNothingButRestartTheDock) {
    fs::path bundle = temp() / "Empty.docktheme";
    writeBundle(bundle, themeInfo({}, {}));
    writeFile(temp() / "plain.docktheme", "just a file");
    for (const fs::path& path : {bundle, temp() / "plain.docktheme"}) {
        EXPECT_EQ(apply({path.string()}).exitCode, 1);
        EXPECT_EQ(lines_, (std::vector<std::string>{"Hello, World!", "Killing dock..."}));
    }
    EXPECT_TRUE(snapshot(dockResources()).empty());
    EXPECT_TRUE(waitForKillall(2));
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

TEST_F(ApplyToolTest, DestinationsThatAreLinksOrFoldersAreNeverFollowed) {
    fs::path bundle = temp() / "Links.docktheme";
    writeBundle(bundle, themeInfo({}, {{"Shadow", "s.png"}, {"Frontline", "f.png"}}));
    writeFile(temp() / "outside.png", "outside");
    fs::create_symlink(temp() / "outside.png", dockResources() / "shadow.png");
    fs::create_directories(dockResources() / "frontline.png/keep");
    EXPECT_EQ(apply({bundle.string()}).exitCode, 1);
    EXPECT_EQ(readFile(temp() / "outside.png"), "outside");
    EXPECT_FALSE(fs::is_symlink(dockResources() / "shadow.png"));
    EXPECT_EQ(readFile(dockResources() / "shadow.png"), "image:s.png");
    EXPECT_TRUE(fs::is_directory(dockResources() / "frontline.png/keep"));
    EXPECT_EQ(lines_[lines_.size() - 4], "... Not Removed");
    EXPECT_EQ(lines_[lines_.size() - 2], "... Not Copied");
}

TEST_F(ApplyToolTest, HostileBundlesChangeNothingAnywhere) {
    writeFile(temp() / "secret", "secret");
    writeFile(dockResources() / "frontline.png", "stock front");
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
    };
    auto table = [](const std::string& key, const std::string& name) {
        return themeInfo({}, {{"Shadow", "ok.png"}, {key, name}});
    };
    auto withTable = [&](PlistValue info) {
        return [info](const fs::path& bundle) { writeBundle(bundle, info); };
    };
    fs::path secret = temp() / "secret";
    const std::vector<Case> cases = {
        {"dot-dot", withTable(table("Frontline", "../../secret"))},
        {"slash", withTable(table("Frontline", "sub/x.png"))},
        {"absolute", withTable(table("Frontline", secret.string()))},
        {"dot", withTable(table("Frontline", "."))},
        {"parent", withTable(table("Frontline", ".."))},
        {"empty name", withTable(table("Frontline", ""))},
        {"link to outside",
         [&](const fs::path& bundle) {
             writeBundle(bundle, table("Frontline", "f.png"));
             fs::remove(bundle / "images/f.png");
             fs::create_symlink(secret, bundle / "images/f.png");
         }},
        {"images folder is a link",
         [&](const fs::path& bundle) {
             writeBundle(bundle, themeInfo({}, {{"Frontline", "secret"}}));
             fs::remove_all(bundle / "images");
             fs::create_symlink(temp(), bundle / "images");
         }},
        {"fifo",
         [&](const fs::path& bundle) {
             writeBundle(bundle, table("Frontline", "f.png"));
             fs::remove(bundle / "images/f.png");
             ::mkfifo((bundle / "images/f.png").c_str(), 0600);
         }},
        {"folder as image",
         [&](const fs::path& bundle) {
             writeBundle(bundle, table("Frontline", "f.png"));
             fs::remove(bundle / "images/f.png");
             fs::create_directories(bundle / "images/f.png");
         }},
        {"table not an array",
         [&](const fs::path& b) {
             PlistValue info = table("Frontline", "f.png");
             info.set("Dock_List", PlistValue("nope"));
             writeBundle(b, info);
         }},
        {"one category",
         [&](const fs::path& b) {
             PlistValue info = table("Frontline", "f.png");
             PlistValue one = PlistValue::dictionary();
             one.set("Frontline", PlistValue("f.png"));
             info.set("Dock_List", PlistValue(PlistValue::Array{one}));
             writeBundle(b, info);
             writeFile(b / "images/f.png", "x");
         }},
        {"number as file name",
         [&](const fs::path& b) {
             PlistValue info = table("Frontline", "f.png");
             PlistValue odd = PlistValue::dictionary();
             odd.set("Frontline", PlistValue(5));
             info.set("Dock_List", PlistValue(PlistValue::Array{odd, odd}));
             writeBundle(b, info);
         }},
    };
    for (const Case& c : cases) {
        fs::path bundle = temp() / "themes" / (std::string(c.name) + ".docktheme");
        c.make(bundle);
        auto before = snapshot(temp());
        EXPECT_EQ(apply({bundle.string()}).exitCode, 255) << c.name;
        EXPECT_EQ(snapshot(temp()), before) << c.name;
    }
    EXPECT_TRUE(killallCalls().empty());
}

TEST_F(ApplyToolTest, ALinkedInfoPlistIsNotRead) {
    fs::path bundle = temp() / "LinkedInfo.docktheme";
    writeBundle(bundle, themeInfo({}, {{"Shadow", "s.png"}}));
    fs::rename(bundle / "Info.plist", temp() / "real-info.plist");
    fs::create_symlink(temp() / "real-info.plist", bundle / "Info.plist");
    EXPECT_EQ(apply({bundle.string()}).exitCode, 1);
    EXPECT_TRUE(snapshot(dockResources()).empty());
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

TEST_F(ApplyToolTest, AnInfoPlistThatWouldCrashTheReaderCountsAsUnreadable) {
    fs::path bundle = temp() / "Nul.docktheme";
    writeBundle(bundle, themeInfo({}, {{"Shadow", "s.png"}}));
    fs::copy_file(fs::path(VELVANTO_SOURCE_DIR) / "fuzz/corpus-info/nul-in-binary-key.bplist",
                  bundle / "Info.plist", fs::copy_options::overwrite_existing);
    EXPECT_EQ(apply({bundle.string()}).exitCode, 1);
    EXPECT_EQ(lines_, (std::vector<std::string>{"Hello, World!", "Killing dock..."}));
    EXPECT_TRUE(snapshot(dockResources()).empty());
}
