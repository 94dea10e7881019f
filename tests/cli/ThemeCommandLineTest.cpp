#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/file.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ThemeCommandLine.h"
#include "model/ThemeSignature.h"
#include "platform/Descriptor.h"
#include "platform/Log.h"
#include "platform/Process.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTheme = "{theme}";

// A row's text is on standard output when it exits 0, else on standard error after "velvanto-theme:
// ".
struct Row {
    std::vector<std::string> arguments;  // kTheme stands for the stock theme's copy
    int exitCode;
    std::string expected;  // the whole text, or a part of it with partial
    bool partial = false;
};

const std::vector<Row> kRows = {
    {{"--version"}, 0, "velvanto-theme " VELVANTO_VERSION "\n"},
    {{"--help"}, 0, "Usage: velvanto-theme [options] COMMAND", true},
    {{"check", "--help"}, 0, "--strict", true},
    {{"info", "-h"}, 0, "Usage: velvanto-theme [options] info BUNDLE\n", true},
    {{"set-image", "--help"}, 0, "--unique-name", true},
    {{"batch", "--help"}, 0, "Usage: velvanto-theme [options] batch SRC DST\n", true},
    {{"check", kTheme}, 0, ""},
    {{"check", "--strict", "--", kTheme}, 0, ""},
    {{"info", kTheme},
     0,
     "Name: Velvanto Default\nAuthor: The Velvanto developers\nSite: \nVersion: 1.0\nFeed: \n"
     "Signed by key: none\nScreenshots: 3D, 2D\nSlots: 14 2D, 16 3D\nCheck: 0 errors, 0 "
     "warnings\n"},
    {{"slots", kTheme},
     0,
     "\n2D        Angle_Left_Bottom          Corner, bottom left        angle_left_bottom.png"
     "        16x16    16x16\n",
     true},
    {{}, 2, "no command given; see \"velvanto-theme --help\"\n"},
    {{"bogus"}, 2, "unknown command 'bogus'; see \"velvanto-theme --help\"\n"},
    {{"--bogus"}, 2, "Unknown option 'bogus'.\n"},
    {{"check"}, 2, "missing argument; see \"velvanto-theme check --help\"\n"},
    {{"info", kTheme, kTheme}, 2, "too many arguments\n"},
    {{"restore", "extra"}, 2, "too many arguments\n"},
    {{"slots", "--csv", kTheme}, 2, "Unknown option 'csv'.\n"},
    {{"export", kTheme, "-o"}, 2, "Missing value after '-o'.\n"},
    {{"info", "--set", "colour=red", kTheme},
     2,
     "--set takes name=, author=, site=, version=, feed= or public-key=, not 'colour=red'\n"},
    {{"set-image", kTheme, "Angle_Left_Bottom"},
     2,
     "missing argument; see \"velvanto-theme set-image --help\"\n"},
    {{"new", "--from-dock", "--from-folder", ".", "Mine"},
     2,
     "--from-folder and --from-dock exclude each other\n"},
    {{"new", ""}, 2, "'' does not name a theme\n"},
    {{"new", "--", "./.docktheme"}, 2, "'./.docktheme' does not name a theme\n"},
    {{"info", "nowhere.docktheme"}, 1, "nowhere.docktheme: ", true},
    {{"keygen"}, 2, "missing argument; see \"velvanto-theme keygen --help\"\n"},
    {{"keygen", "no/such/folder/k.key"},
     1,
     "no/such/folder/k.key: it could not be written (No such file or directory)\n"},
};

class ThemeCommandLineTest : public TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        theme_ = (temp() / "Stock.docktheme").string();
        fs::copy(stockTheme(), theme_, fs::copy_options::recursive);
    }

    // Runs the program with arguments, capturing standard error or standard output.
    Process::Result run(std::vector<std::string> arguments, bool errors = false) const {
        for (std::string& argument : arguments) {
            argument = argument == kTheme ? theme_ : argument;
        }
        arguments.insert(arguments.begin(), VELVANTO_THEME_PROGRAM);
        auto result =
            Process::run(arguments, errors ? Process::Capture::Errors : Process::Capture::Output);
        return result.value_or(Process::Result{});
    }

    static QJsonArray json(const std::string& text) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(text)).array();
    }

    std::string theme_;
};

TEST_F(ThemeCommandLineTest, EachRowGivesItsExitCodeAndText) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.arguments.empty() ? "" : row.arguments.front());
        const auto result = run(row.arguments, row.exitCode != 0);
        EXPECT_EQ(result.exitStatus, row.exitCode);
        const std::string expected = (row.exitCode ? "velvanto-theme: " : "") + row.expected;
        if (row.partial) {
            EXPECT_NE(result.output.find(expected), std::string::npos) << result.output;
        } else {
            EXPECT_EQ(result.output, expected);
        }
    }
}

TEST_F(ThemeCommandLineTest, SlotsAsJsonListEveryKeyOfBothCategories) {
    const auto result = run({"slots", "--json", kTheme});
    ASSERT_EQ(result.exitStatus, 0);
    const QJsonArray rows = json(result.output);
    ASSERT_EQ(rows.size(), 30);
    int flat = 0;
    for (const QJsonValue& row : rows) {
        const QJsonObject object = row.toObject();
        flat += object["category"].toString() == "2D" ? 1 : 0;
        EXPECT_FALSE(object["tooBig"].toBool()) << object["key"].toString().toStdString();
        EXPECT_FALSE(object["natural"].toString().isEmpty());
        EXPECT_GT(object["width"].toInt(), 0);
    }
    EXPECT_EQ(flat, 14);
}

TEST_F(ThemeCommandLineTest, CheckFailsOnAnErrorAndWithStrictOnAWarning) {
    writeFile(fs::path(theme_) / "images" / "unnamed.png", "not an image");
    EXPECT_EQ(run({"check", kTheme}).exitStatus, 0);
    const auto strict = run({"check", "--strict", kTheme});
    EXPECT_EQ(strict.exitStatus, 1);
    EXPECT_EQ(strict.output.rfind(theme_ + ": warning: (images/unnamed.png): ", 0), 0)
        << strict.output;

    fs::remove(fs::path(theme_) / "images" / "angle_left_bottom.png");
    const auto text = run({"check", kTheme});
    EXPECT_EQ(text.exitStatus, 1);
    EXPECT_EQ(text.output.rfind(
                  theme_ + ": error: Angle_Left_Bottom (images/angle_left_bottom.png): ", 0),
              0)
        << text.output;
    const auto listed = run({"check", "--json", kTheme});
    EXPECT_EQ(listed.exitStatus, 1);
    const QJsonObject first = json(listed.output).first().toObject();
    EXPECT_EQ(first["severity"].toString(), "error");
    EXPECT_EQ(first["key"].toString(), "Angle_Left_Bottom");
    EXPECT_EQ(first["bundle"].toString().toStdString(), theme_);
}

// Paths with a line break and bytes that are not UTF-8, through export and import.
TEST_F(ThemeCommandLineTest, ExportThenImportGivesTheSameBundleWhateverThePaths) {
    const std::string odd = (temp() / "odd\nname\xff").string();
    fs::create_directory(odd);
    // The theme's name reaches whoever imports it: its escape sequence and line break are shown.
    const std::string name =
        "Th\xc3\xa8me\x1b[2J\n\xc2\x9b"
        "2J.docktheme";
    const std::string bundle = odd + "/" + name;
    fs::rename(theme_, bundle);
    const std::string archive = odd + "/out\n\xfe.zip";
    const auto exported = run({"export", "-o", archive, "--", bundle});
    ASSERT_EQ(exported.exitStatus, 0);
    EXPECT_EQ(exported.output, archive + "\n");

    const std::string into = odd + "/in\n\xfd";
    fs::create_directory(into);
    const auto imported = run({"import", archive, "--to", into});
    ASSERT_EQ(imported.exitStatus, 0);
    EXPECT_EQ(imported.output, into + "/Th\xc3\xa8me\\x1B[2J\\n\\xC2\\x9B2J.docktheme\n");
    EXPECT_EQ(snapshot(into + "/" + name), snapshot(bundle));
    EXPECT_EQ(run({"import", archive, "--to", into}).exitStatus, 1);

    // A bundle name that is not UTF-8 could not be read back: nothing is written.
    fs::rename(bundle, odd + "/\xff.docktheme");
    EXPECT_EQ(run({"export", "-o", odd + "/latin.zip", odd + "/\xff.docktheme"}).exitStatus, 1);
    EXPECT_FALSE(fs::exists(odd + "/latin.zip"));
    // A check's finding stays on one line.
    writeFile(odd + "/\xff.docktheme/images/unnamed.png", "not an image");
    const auto checked = run({"check", "--strict", odd + "/\xff.docktheme"});
    EXPECT_EQ(checked.output, Log::escaped(odd) +
                                  "/\xff.docktheme: warning: (images/unnamed.png): " +
                                  checked.output.substr(checked.output.find("): ") + 3));
    EXPECT_EQ(std::count(checked.output.begin(), checked.output.end(), '\n'), 1);
}

TEST_F(ThemeCommandLineTest, SetImageCopiesInRefusesADuplicateAndTheCheckPasses) {
    const fs::path images = fs::path(theme_) / "images";
    const std::string image = (temp() / "corner.png").string();
    fs::copy_file(images / "angle_left_bottom.png", image);
    const auto before = snapshot(theme_);
    const std::string duplicate = (temp() / "angle_left_up.png").string();
    fs::copy_file(image, duplicate);
    const std::string text = (temp() / "notes.png").string();
    writeFile(text, "not an image");
    for (const auto& [file, why] : {std::pair{duplicate, "Duplicate file"},
                                    std::pair{text, "not a picture the theme check reads"}}) {
        const auto refused = run({"set-image", kTheme, "Angle_Left_Bottom", file}, true);
        EXPECT_EQ(refused.exitStatus, 1);
        EXPECT_NE(refused.output.find(why), std::string::npos) << refused.output;
        EXPECT_TRUE(snapshot(theme_) == before) << file;
    }

    EXPECT_EQ(run({"set-image", kTheme, "Angle_Left_Bottom", image}).output,
              (images / "corner.png").string() + "\n");
    EXPECT_FALSE(fs::exists(images / "angle_left_bottom.png"));
    EXPECT_EQ(run({"check", "--strict", kTheme}).exitStatus, 0);
}

TEST_F(ThemeCommandLineTest, InfoSetWritesTheInformationAndControlsAreShownEscaped) {
    const auto result = run({"info", "--set", "name=\x1b[2JNight\n", "--set",
                             "feed=https://example.org/f.xml", kTheme});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(run({"info", kTheme})
                  .output.rfind("Name: \\x1B[2JNight\\n\nAuthor: The Velvanto developers\n"
                                "Site: \nVersion: 1.0\n"
                                "Feed: https://example.org/f.xml\n",
                                0),
              0);
}

TEST_F(ThemeCommandLineTest, KeygenWritesAPrivateKeyOnceAndInfoNamesItsPublicKey) {
    const std::string keyFile = (temp() / "author.key").string();
    const auto made = run({"keygen", keyFile});
    ASSERT_EQ(made.exitStatus, 0);
    const std::string key = made.output.substr(0, made.output.find('\n'));
    EXPECT_EQ(made.output, key + "\n");
    EXPECT_EQ(fs::status(keyFile).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(ThemeSignature::isPublicKey(key));
    EXPECT_EQ(
        run({"keygen", keyFile}, true).output,
        "velvanto-theme: " + keyFile + ": a file is there already; a key file is never replaced\n");
    const auto shown = [&](const std::vector<std::string>& arguments) {
        const std::string out = run(arguments).output;
        return out.substr(out.find("Signed by key: "),
                          out.find("\nScreenshots") - out.find("Signed"));
    };
    EXPECT_EQ(shown({"info", "--set", "public-key=" + key, kTheme}), "Signed by key: " + key);
    // A key that is not one: nothing written, not even the other fields.
    const auto before = snapshot(theme_);
    EXPECT_EQ(
        run({"info", "--set", "name=Other", "--set", "public-key=" + key.substr(1), kTheme}, true)
            .output,
        "velvanto-theme: " + theme_ + ": not a public key: " + key.substr(1) + "\n");
    EXPECT_EQ(snapshot(theme_), before);
    EXPECT_EQ(shown({"info", "--set", "public-key=", kTheme}), "Signed by key: none");
}

TEST_F(ThemeCommandLineTest, NewFromAFolderTakesItsImages) {
    const fs::path images = temp() / "images";
    fs::create_directory(images);
    writeFile(images / "frontline.png", readFile(fs::path(theme_) / "images" / "scurve-l.png"));
    const std::string made = (temp() / "Mine").string();
    const auto result = run({"new", "--from-folder", images.string(), made});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, made + ".docktheme\n");
    EXPECT_EQ(readFile(made + ".docktheme/images/frontline.png"),
              readFile(images / "frontline.png"));
    EXPECT_EQ(run({"info", made + ".docktheme"}).output.rfind("Name: Mine\n", 0), 0);
    EXPECT_NE(readFile(made + ".docktheme/preview_micro.png"),
              readFile(stockTheme() / "preview_micro.png"));  // drawn from its own images
    EXPECT_EQ(run({"new", made + ".docktheme/"}).exitStatus, 1);

    // No image named as the Dock's: the stock images, and a warning; an empty folder: nothing.
    fs::rename(images / "frontline.png", images / "Frontline.png");
    const auto stock = run({"new", "--from-folder", images.string(), made + "2"}, true);
    EXPECT_EQ(stock.exitStatus, 0);
    EXPECT_EQ(stock.output, "velvanto-theme: " + images.string() +
                                ": warning: no image of the folder is named as the Dock names its "
                                "images; the theme has the stock images\n");
    EXPECT_TRUE(snapshot(made + "2.docktheme/images") == snapshot(theme_ + "/images"));
    fs::remove(images / "Frontline.png");
    EXPECT_EQ(run({"new", "--from-folder", images.string(), made + "3"}).exitStatus, 1);
    EXPECT_FALSE(fs::exists(made + "3.docktheme"));
}

TEST_F(ThemeCommandLineTest, RenderWritesBothScreenshotsOrNeither) {
    const fs::path bundle(theme_);
    fs::remove(bundle / "preview_3d.png");
    fs::remove(bundle / "preview_2d.png");
    fs::create_directories(bundle / "preview_2d.png" / "in the way");
    EXPECT_EQ(run({"render", kTheme}).exitStatus, 1);
    EXPECT_FALSE(fs::exists(bundle / "preview_3d.png"));

    fs::remove_all(bundle / "preview_2d.png");
    const auto drawn = run({"render", kTheme});
    EXPECT_EQ(drawn.exitStatus, 0);
    EXPECT_EQ(drawn.output, theme_ + "/preview_3d.png\n" + theme_ + "/preview_2d.png\n");
    for (const char* name : {"preview_3d.png", "preview_2d.png"}) {
        EXPECT_EQ(readFile(bundle / name).substr(0, 4), "\x89PNG") << name;
    }
    EXPECT_EQ(run({"check", "--strict", kTheme}).exitStatus, 0);
}

TEST_F(ThemeCommandLineTest, BatchMakesTheRowsThatCanBeMadeAndFailsOnTheOthers) {
    const fs::path source = temp() / "source";
    const fs::path target = temp() / "source-out";  // beside the source, not inside it
    fs::create_directories(source / "a");
    fs::create_directories(source / "b");
    fs::create_directories(target / "b.docktheme");
    fs::copy_file(fs::path(theme_) / "images" / "frontline.png", source / "a" / "frontline.png");
    // The source itself, however named, or a folder in it: a usage error, nothing made.
    fs::create_directory_symlink(source, temp() / "link");
    const auto asGiven = snapshot(source);
    for (const fs::path& into : {source, source / ".", temp() / "link", source / "b"}) {
        EXPECT_EQ(run({"batch", source.string(), into.string()}).exitStatus, 2) << into;
        EXPECT_TRUE(snapshot(source) == asGiven) << into;
    }
    const auto result = run({"batch", source.string(), target.string()});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.output,
              "a: OK\nb: ERROR: b.docktheme is in the destination already; it was left "
              "untouched.\n");
    EXPECT_EQ(run({"check", "--strict", (target / "a.docktheme").string()}).exitStatus, 0);
    EXPECT_NE(readFile(target / "a.docktheme/preview_micro.png"),
              readFile(stockTheme() / "preview_micro.png"));

    // On a coloured terminal: a bar under the rows, cleared at the end.
    fs::remove_all(target / "a.docktheme");
    std::ostringstream out;
    std::ostringstream err;
    ThemeCommandLine::Terminal terminal{true, true, 30};
    EXPECT_EQ(ThemeCommandLine::run({"velvanto-theme", "batch", source.string(), target.string()},
                                    out, err, terminal),
              1);
    EXPECT_EQ(out.str(),
              "\r\x1b[K[\x1b[32m\x1b[0m-----------------------] 0/2"
              "\r\x1b[Ka: \x1b[32mOK\x1b[0m\n"
              "\r\x1b[K[\x1b[32m###########\x1b[0m------------] 1/2"
              "\r\x1b[Kb: \x1b[1;31mERROR:\x1b[0m b.docktheme is in the destination already; it "
              "was left untouched.\n"
              "\r\x1b[K[\x1b[32m#######################\x1b[0m] 2/2\r\x1b[K");
}

TEST_F(ThemeCommandLineTest, ApplyThenRestoreOriginalGivesTheDockFolderBack) {
    writeFile(dockResources() / "frontline.png", "own front");
    const auto asItCame = snapshot(dockResources());
    EXPECT_EQ(run({"restore", "--original"}).exitStatus, 1);  // nothing kept yet
    EXPECT_EQ(run({"apply", kTheme}).exitStatus, 0);
    EXPECT_EQ(readFile(dockResources() / "frontline.png"),
              readFile(fs::path(theme_) / "images" / "frontline.png"));
    EXPECT_EQ(run({"restore"}).exitStatus, 0);
    EXPECT_EQ(run({"restore", "--original"}).exitStatus, 0);
    EXPECT_TRUE(snapshot(dockResources()) == asItCame);
}

TEST_F(ThemeCommandLineTest, AFailingImportLeavesNothingAndSweepsWhatAKilledOneLeft) {
    const std::string archive = (temp() / "broken.zip").string();
    writeFile(archive, "not an archive");
    const fs::path into = temp() / "into";
    writeFile(into / ".velvanto-import-killed" / "Half.docktheme" / "Info.plist", "x");
    // An import under way holds its folder locked.
    fs::create_directories(into / ".velvanto-import-running");
    const Descriptor running(::open((into / ".velvanto-import-running").c_str(), O_RDONLY));
    ASSERT_EQ(::flock(running.get(), LOCK_EX), 0);
    const auto result = run({"import", archive, "--to", into.string()}, true);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.output.rfind("velvanto-theme: " + archive + ": ", 0), 0) << result.output;
    EXPECT_EQ(snapshot(into),
              (std::map<std::string, std::string>{{".velvanto-import-running/", ""}}));
}

// A writer holding the theme's lock is waited for a bounded time, then told, and nothing is
// written; once it has gone, the next write goes through.
TEST_F(ThemeCommandLineTest, WhileAnotherWriterHoldsTheThemeEveryWriteRefuses) {
    const std::string archive = (temp() / "held.zip").string();
    const auto before = snapshot(theme_);
    {
        const Descriptor writer(::open(theme_.c_str(), O_RDONLY | O_DIRECTORY));
        ASSERT_EQ(::flock(writer.get(), LOCK_EX), 0);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"render", kTheme}, {"export", kTheme, "-o", archive}}) {
            const auto refused = run(arguments, true);
            EXPECT_EQ(refused.exitStatus, 1) << arguments[0];
            EXPECT_NE(refused.output.find("another program is changing the theme"),
                      std::string::npos)
                << refused.output;
        }
        EXPECT_EQ(snapshot(theme_), before);
        EXPECT_FALSE(fs::exists(archive));
    }
    EXPECT_EQ(run({"info", "--set", "author=Ann", kTheme}).exitStatus, 0);
}

// The completion as bash runs it: the words typed, then what it offers.
TEST_F(ThemeCommandLineTest, CompletionOffersCommandsOptionsKeysAndFolders) {
    fs::create_directories(temp() / "folder");
    const struct {
        std::vector<std::string> words;
        std::string offered;
    } rows[] = {
        {{"se"}, "set-image"},
        {{"check", "--s"}, "--strict"},
        {{"info", "--set", "au"}, "author="},
        {{"info", "--set", "pu"}, "public-key="},
        {{"keyg"}, "keygen"},
        {{"set-image", "--unique-name", kTheme, "Sh"}, "Shadow"},
        {{"set-image", "--", kTheme, "Stack_Arrow_"}, "Stack_Arrow_Left Stack_Arrow_Right"},
        {{"set-image", "nowhere.docktheme", "S"}, ""},
        {{"new", "--from-folder", "fol"}, "folder"},
        {{"check", "Sto"}, "Stock.docktheme"},
        {{"restore", ""}, ""},
    };
    const std::vector<std::string> bash = {
        "/bin/bash",
        "-c",
        "cd \"$1\" && shift && source \"$1\" && shift && COMP_WORDS=(\"$@\") && "
        "COMP_CWORD=$(($# - 1)) && _velvanto_theme; echo \"${COMPREPLY[*]}\"",
        "bash",
        temp().string(),
        VELVANTO_COMPLETION,
        VELVANTO_THEME_PROGRAM};
    for (const auto& row : rows) {
        std::vector<std::string> command = bash;
        for (const std::string& word : row.words) {
            command.push_back(word == kTheme ? theme_ : word);
        }
        const auto offered = Process::run(command, Process::Capture::Output);
        ASSERT_TRUE(offered);
        EXPECT_EQ(offered->output, row.offered + "\n") << row.words.back();
    }
}

}  // namespace
