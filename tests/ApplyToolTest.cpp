#include <functional>

#include "ApplyToolFixture.h"

namespace fs = std::filesystem;

TEST_F(ApplyToolTest,
       NoBundleTouchesNothingAndEachThemeInstallsTheThreeDImageOfEachKnownKeyInOrder) {
    const PlistValue lineAndFront =
        themeInfo({{"Separator_Vertical", "line.png"}}, {{"Frontline", "front.png"}});
    fs::path broken = temp() / "Broken.docktheme";
    writeBundle(broken, lineAndFront);
    fs::remove(broken / "images/front.png");
    writeFile(dockResources() / "separatorstraight.png", "stock");
    const std::string missing = (temp() / "nothing.docktheme").string();
    const std::pair<std::vector<std::string>, std::vector<std::string>> refusals[] = {
        {{}, {"Hello, World!", "Cannot apply theme (null)"}},
        {{missing}, {"Hello, World!", "Cannot apply theme " + missing}},
        {{""}, {"Hello, World!", "Cannot apply theme "}},
        {{broken.string()}, {"Hello, World!"}},
    };
    auto before = snapshot(temp());
    for (const auto& [arguments, lines] : refusals) {
        EXPECT_EQ(apply(arguments).exitCode, 255);
        EXPECT_EQ(lines_, lines);
    }
    EXPECT_EQ(snapshot(temp()), before);
    EXPECT_TRUE(killallCalls().empty());
    // A theme installs each image, with its log lines in order, and restarts the Dock.
    fs::path bundle = temp() / "Blue.docktheme";
    writeBundle(bundle, lineAndFront);
    writeFile(dockResources() / "frontline.png", "old front");
    fs::remove(dockResources() / "separatorstraight.png");
    ProgramRun run = apply({bundle.string(), "ignored", "arguments"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(lines_,
              (std::vector<std::string>{
                  "Hello, World!",
                  "Removing old file in DockApp: " + dockFile("separatorstraight.png"),
                  "... Not Removed",
                  "Copy new file from path " + bundle.string() +
                      "/images/line.png \n....... to path:" + dockFile("separatorstraight.png"),
                  "... Copied",
                  "Removing old file in DockApp: " + dockFile("frontline.png"),
                  "... Removed",
                  "Copy new file from path " + bundle.string() +
                      "/images/front.png \n....... to path:" + dockFile("frontline.png"),
                  "... Copied",
                  "Killing dock...",
              }));
    EXPECT_EQ(snapshot(dockResources()),
              (std::map<std::string, std::string>{{"frontline.png", "image:front.png"},
                                                  {"separatorstraight.png", "image:line.png"}}));
    EXPECT_EQ(fs::status(dockResources() / "frontline.png").permissions() & fs::perms::all,
              fs::perms(0644));
    EXPECT_TRUE(waitForKillall(1));
    EXPECT_EQ(killallCalls(), std::vector<std::string>{"Dock"});
    // The Dock folder gets the 3D image of each known key and nothing else.
    struct Case {
        const char* name;
        PlistValue info;
        std::map<std::string, std::string> installed;
        const char* secondLine = nullptr;  // the log's line after the greeting
        std::function<void(const fs::path& bundle)> prepare = nullptr;
    };
    PlistValue both = themeInfo({{"Frontline", "flat.png"}}, {{"Frontline", "glass.png"}});
    both.set("VL_BasePath", PlistValue("./images//"));  // the images folder, written oddly
    const PlistValue shadow = themeInfo({}, {{"Shadow", "s.png"}});
    const std::map<std::string, std::string> shadowInstalled = {{"shadow.png", "image:s.png"}};
    const Case cases[] = {
        {"empty tables", themeInfo({}, {}), {}, "Killing dock..."},
        {"3D over 2D", both, {{"frontline.png", "image:glass.png"}}},
        {"unknown key", themeInfo({{"No_Such_Key", "x.png"}}, {{"Shadow", "s.png"}}),
         shadowInstalled, "No Dock file name for key No_Such_Key, skipped"},
        {"binary Info.plist", shadow, shadowInstalled, nullptr,
         [&](const fs::path& bundle) { writeFile(bundle / "Info.plist", binaryPlist(shadow)); }},
        // A link in place of a Dock image is replaced, not followed.
        {"linked Dock image", shadow, shadowInstalled, nullptr,
         [&](const fs::path&) {
             writeFile(temp() / "outside.png", "outside");
             fs::create_symlink(temp() / "outside.png", dockResources() / "shadow.png");
         }},
    };
    std::size_t restarts = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dockResources());
        fs::create_directories(dockResources());
        const fs::path made = temp() / (std::string(c.name) + ".docktheme");
        writeBundle(made, c.info);
        if (c.prepare) {
            c.prepare(made);
        }
        EXPECT_EQ(apply({made.string()}).exitCode, 1);
        EXPECT_EQ(snapshot(dockResources()), c.installed);
        EXPECT_EQ(lines_.back(), "Killing dock...");
        if (c.secondLine) {
            EXPECT_EQ(lines_.at(1), c.secondLine);
        }
        EXPECT_TRUE(waitForKillall(++restarts));
    }
    EXPECT_EQ(readFile(temp() / "outside.png"), "outside");
    // The stock theme, its images under their Dock file names, installs them byte for byte.
    EXPECT_EQ(apply({stockTheme().string()}).exitCode, 1);
    EXPECT_EQ(snapshot(dockResources()), snapshot(stockTheme() / "images"));
}
