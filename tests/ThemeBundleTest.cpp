#include "ApplyToolFixture.h"
#include "model/DockTheme.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/Process.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

class ThemeBundleTest : public TestEnvironment {
protected:
    std::optional<std::vector<ThemeImage>> check(const fs::path& bundle,
                                                 std::string* whyNot = nullptr) {
        auto folder = BundleFolder::open(bundle.string());
        auto info = folder ? ThemeBundle::readInfo(*folder) : std::nullopt;
        return info ? ThemeBundle::check(*folder, *info, whyNot) : std::nullopt;
    }
    CapturedLog log;
};

TEST_F(ThemeBundleTest, PlainFileNamesAreSingleNamesAndRelativePathsStayInsideTheFolder) {
    for (const char* good : {"a.png", "..png", "A B", "..."})
        EXPECT_TRUE(ThemeBundle::isPlainFileName(good)) << good;
    for (const std::string& bad : std::vector<std::string>{"", ".", "..", "../x", "a/b",
                                                           "/etc/passwd", std::string("a\0b", 3)}) {
        EXPECT_FALSE(ThemeBundle::isPlainFileName(bad)) << bad;
    }
    for (const char* inside : {"a", "images/x.png", "..png"})
        EXPECT_TRUE(BundleFolder::isConfined(inside)) << inside;
    for (const char* outside :
         {"", "/etc/passwd", "../x", "images/../../x", "images//x", "./x", "x/"})
        EXPECT_FALSE(BundleFolder::isConfined(outside)) << outside;
}

TEST_F(ThemeBundleTest,
       ValidBundlesListTheirImagesTwoDFirstAndMissingImagesOrOddTablesAreDefective) {
    fs::path bundle = temp() / "Blue.docktheme";
    // The images of info written as the bundle at the current path.
    auto checked = [&](const PlistValue& info) {
        writeBundle(bundle, info);
        return check(bundle);
    };
    auto images = checked(
        themeInfo({{"Stack_Arrow", "s.png"}, {"Frontline", "f.png"}}, {{"Shadow", "sh.png"}}));
    ASSERT_TRUE(images);
    ASSERT_EQ(images->size(), 3u);
    EXPECT_EQ((*images)[0].key, "Stack_Arrow");
    EXPECT_EQ((*images)[0].path, bundle.string() + "/images/s.png");
    EXPECT_EQ((*images)[1].key, "Frontline");
    EXPECT_EQ((*images)[2].category, DockCategory::ThreeD);
    EXPECT_TRUE(log.lines().empty());
    // Empty or absent tables are valid without images.
    bundle = temp() / "Empty.docktheme";
    PlistValue info = themeInfo({}, {});
    info.remove("VL_BasePath");  // nothing to find, so no base is needed
    EXPECT_EQ(checked(info)->size(), 0u);
    info.remove("Dock_List");
    EXPECT_EQ(checked(info)->size(), 0u);
    // An Info.plist that is not a dictionary is not read (one over the limit: the check's tests).
    writeFile(bundle / "Info.plist", "<plist version=\"1.0\"><array/></plist>");
    EXPECT_FALSE(check(bundle));
    // Missing images are reported at the first one, with key and path if there is a base.
    log.clear();
    bundle = temp() / "Broken.docktheme";
    writeBundle(bundle, themeInfo({{"Frontline", "f.png"}},
                                  {{"Shadow", "sh.png"}, {"Stack_Open", "o.png"}}));
    fs::remove(bundle / "images/sh.png");
    fs::remove(bundle / "images/o.png");
    EXPECT_FALSE(check(bundle));
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Missing (key: Shadow) " + bundle.string() +
                                                    "/images/sh.png"});
    // Without a base path, or one that is not a string, the first named image is missing.
    info = themeInfo({}, {{"Frontline", "f.png"}});
    info.remove("VL_BasePath");
    EXPECT_FALSE(checked(info));
    EXPECT_EQ(log.lines().back(), "Missing (key: Frontline) f.png");
    info.set("VL_BasePath", PlistValue(7));
    EXPECT_FALSE(checked(info));
    PlistValue flat = PlistValue::dictionary();
    PlistValue badValue = PlistValue::dictionary();
    badValue.set("Frontline", PlistValue(PlistValue::Array{}));
    bundle = temp() / "Odd.docktheme";
    for (const PlistValue& shape :
         {PlistValue("Dock_List"), PlistValue(PlistValue::Array{}),
          PlistValue(PlistValue::Array{flat}), PlistValue(PlistValue::Array{flat, flat, flat}),
          PlistValue(PlistValue::Array{flat, PlistValue("3d")}),
          PlistValue(PlistValue::Array{badValue, flat}),
          PlistValue(PlistValue::Dictionary{{"0", flat}, {"1", flat}})}) {
        info = themeInfo({}, {});
        info.set("Dock_List", shape);
        EXPECT_FALSE(checked(info));
    }
}

using ImageBaseTest = ApplyToolTest;

// One resolver for every reader: the document, the check, set-image and the apply tool take the
// images from the folder the base names, or all refuse.
TEST_F(ImageBaseTest, EveryReaderTakesTheImagesWhereTheBaseLeadsOrRefusesTheTheme) {
    // The base, and where it leads from the bundle (nullptr: outside it). An absolute one is joined
    // to the bundle's path as written; the last component goes before each name.
    const std::pair<const char*, const char*> rows[] = {
        {"images/", "images/"},      {"./images/", "images/"}, {"images//", "images/"},
        {"a/../images/", "images/"}, {"art/", "art/"},         {"/abs/", "abs/"},
        {"art/x-", "art/x-"},        {"../x/", nullptr},       {"/../x/", nullptr},
    };
    const std::string picture = readFile(stockTheme() / "images/shadow.png");
    writeFile(temp() / "new.png", picture);
    auto cli = [](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), VELVANTO_THEME_PROGRAM);
        return Process::run(arguments, Process::Capture::Output).value_or(Process::Result{});
    };
    std::size_t index = 0;
    for (const auto& [base, at] : rows) {
        SCOPED_TRACE(base);
        const std::string bundle = (temp() / ("row" + std::to_string(index++) + ".docktheme"));
        PlistValue info = themeInfo({}, {{"Shadow", "shadow.png"}});
        info.set("VL_BasePath", PlistValue(base));
        writeBundle(bundle, info);  // images/shadow.png, no picture: a decoy elsewhere
        const std::string image = bundle + "/" + (at ? at : "../x/") + "shadow.png";
        writeFile(image, picture + std::to_string(index));
        const auto resolved = ThemeBundle::imageBase(std::string(base));
        ASSERT_EQ(resolved.has_value(), at != nullptr);
        EXPECT_EQ(resolved ? bundle + "/" + resolved->relative("shadow.png") : image, image);

        std::string why;
        const auto theme = DockTheme::initWithBundleAtPath(bundle, &why);
        EXPECT_EQ(theme ? theme->dock_3d_images().at(0)->path() : why,
                  at ? image : "the image of Shadow lies outside the theme");
        EXPECT_EQ(cli({"check", bundle}).exitStatus, at ? 0 : 1);
        fs::remove_all(dockResources());
        fs::create_directories(dockResources());
        EXPECT_EQ(apply({bundle}).exitCode, at ? 1 : 255);
        using Files = std::map<std::string, std::string>;
        EXPECT_EQ(snapshot(dockResources()),
                  (at ? Files{{"shadow.png", readFile(image)}} : Files()));

        const auto before = snapshot(temp() / "x");
        const auto made =
            cli({"set-image", "--unique-name", bundle, "Shadow", (temp() / "new.png").string()});
        EXPECT_EQ(made.exitStatus, at ? 0 : 1);
        if (at) {
            EXPECT_EQ(made.output.rfind(bundle + "/" + at, 0), 0u) << made.output;
            EXPECT_EQ(readFile(made.output.substr(0, made.output.size() - 1)), picture);
            EXPECT_FALSE(fs::exists(image));
            EXPECT_TRUE(DockTheme::initWithBundleAtPath(bundle));
        } else {
            EXPECT_EQ(snapshot(temp() / "x"), before);
        }
    }
    EXPECT_TRUE(waitForKillall(7));
}
