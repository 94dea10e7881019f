#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/file.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <ranges>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ThemeCommandLine.h"
#include "platform/Descriptor.h"
#include "platform/Log.h"
#include "platform/Process.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTheme = "{theme}";

// A row's text: standard output when it exits 0, else standard error after the program's name.
struct Row {
    std::string arguments;  // split at each space; kTheme stands for the stock theme's copy
    int exitCode;
    std::string expected;  // the whole text, or a part of it with partial
    bool partial = false;
};

const std::vector<Row> kRows = {
    {"--version", 0, "velvanto-theme " VELVANTO_VERSION "\n"},
    {"--help", 0, "Usage: velvanto-theme [options] COMMAND", true},
    {"help", 0, "  thumbnail INPUT OUTPUT     a PNG of its Dock for file managers\n", true},
    {"check --help", 0, "--strict", true},
    {"info -h", 0, "Usage: velvanto-theme [options] info BUNDLE\n", true},
    {"help set-image", 0,
     "  BUNDLE         A theme bundle.\n  KEY            The slot's key, as \"slots\" lists it.\n"
     "  FILE           The image to copy in.\n",
     true},
    {"batch --help", 0, "Usage: velvanto-theme [options] batch SRC DST\n", true},
    {"check {theme}", 0, ""},
    {"check --strict -- {theme}", 0, ""},
    {"info {theme}", 0,
     "Name: Velvanto Default\nAuthor: The Velvanto developers\nSite: \nVersion: 1.0\nFeed: \n"
     "Signed by key: none\nScreenshots: 3D, 2D\nSlots: 14 2D, 16 3D\nCheck: 0 errors, 0 "
     "warnings\n"},
    {"slots {theme}", 0,
     "\n2D        Angle_Left_Bottom          Corner, bottom left        angle_left_bottom.png"
     "        16x16    16x16\n",
     true},
    {"", 2, "no command given; see \"velvanto-theme --help\"\n"},
    {"bogus", 2, "unknown command 'bogus'; see \"velvanto-theme --help\"\n"},
    {"chek {theme}", 2, "unknown command 'chek'; did you mean 'check'?\n"},
    {"help improt", 2, "unknown command 'improt'; did you mean 'import'?\n"},
    {"--bogus", 2, "unknown option '--bogus'; see \"velvanto-theme --help\"\n"},
    {"--version check", 2, "--version takes no argument\n"},
    {"check --jsn {theme}", 2, "unknown option '--jsn'; did you mean '--json'?\n"},
    {"check", 2, "missing argument; see \"velvanto-theme check --help\"\n"},
    {"info {theme} {theme}", 2, "too many arguments\n"},
    {"restore extra", 2, "too many arguments\n"},
    {"slots --csv {theme}", 2, "unknown option '--csv'; see \"velvanto-theme slots --help\"\n"},
    {"export {theme} -o", 2, "missing value after '-o'; see \"velvanto-theme export --help\"\n"},
    {"info --set colour=red {theme}", 2,
     "--set takes name=, author=, site=, version=, feed= or public-key=, not 'colour=red'\n"},
    {"set-image {theme} Angle_Left_Bottom", 2,
     "missing argument; see \"velvanto-theme set-image --help\"\n"},
    {"new --from-dock --from-folder . Mine", 2,
     "--from-folder and --from-dock exclude each other\n"},
    {"new ", 2, "'' does not name a theme\n"},  // an empty name
    {"new -- ./.docktheme", 2, "'./.docktheme' does not name a theme\n"},
    {"thumbnail -s 8 {theme} x.png", 2, "--size takes 16 to 1024 pixels, not '8'\n"},
    {"info nowhere.docktheme", 1, "nowhere.docktheme: ", true},
    {"check nowhere", 1, "nowhere: not a theme: nothing is there\n"},
    {"check .", 1, ".: not a theme: it holds no Info.plist\n"},
    {"keygen", 2, "missing argument; see \"velvanto-theme keygen --help\"\n"},
    {"keygen no/such/folder/k.key", 1,
     "no/such/folder/k.key: it could not be written (No such file or directory)\n"},
};

// The parts of text between each mark, empty ones too.
std::vector<std::string> split(std::string_view text, char mark) {
    std::vector<std::string> parts;
    for (const auto part : std::views::split(text, mark))
        parts.emplace_back(part.begin(), part.end());
    return parts;
}

class ThemeCommandLineTest : public TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        theme_ = (temp() / "Stock.docktheme").string();
        fs::copy(stockTheme(), theme_, fs::copy_options::recursive);
    }

    // Runs the program with arguments, capturing standard error or standard output, or with both
    // standard error after standard output in one text.
    Process::Result run(std::vector<std::string> arguments, bool errors = false,
                        bool both = false) const {
        std::ranges::replace(arguments, std::string(kTheme), theme_);
        arguments.insert(arguments.begin(), VELVANTO_THEME_PROGRAM);
        if (both) {
            arguments.insert(arguments.begin(), {"/bin/sh", "-c", "\"$0\" \"$@\" 2>&1"});
        }
        auto result =
            Process::run(arguments, errors ? Process::Capture::Errors : Process::Capture::Output);
        return result.value_or(Process::Result{});
    }
    Process::Result runBoth(const std::vector<std::string>& arguments) const {
        return run(arguments, false, true);
    }

    // "<exit status> <text>", to compare both at once.
    static std::string said(const Process::Result& result) {
        return std::to_string(result.exitStatus) + " " + result.output;
    }

    static QJsonDocument json(const std::string& text) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(text));
    }

    std::string theme_;
};

TEST_F(ThemeCommandLineTest, EachRowGivesItsExitCodeAndText) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.arguments);
        const auto result = run(split(row.arguments, ' '), row.exitCode != 0);
        EXPECT_EQ(result.exitStatus, row.exitCode);
        const std::string expected = (row.exitCode ? "velvanto-theme: " : "") + row.expected;
        if (row.partial) {
            EXPECT_NE(result.output.find(expected), std::string::npos) << result.output;
        } else {
            EXPECT_EQ(result.output, expected);
        }
    }
}

// help COMMAND is COMMAND --help, and lists every operand the completion table names.
TEST_F(ThemeCommandLineTest, HelpTellsWhatEachCommandTakes) {
    EXPECT_EQ(run({"help"}).output, run({"--help"}).output);
    std::size_t operands = 0;
    for (const std::string& line : split(run({"--completion-table"}).output, '\n')) {
        const auto fields = split(line, '\t');
        if (fields.size() < 4 || fields[0] != "operand") {
            continue;
        }
        const std::string help = run({"help", fields[1]}).output;
        EXPECT_EQ(help, run({fields[1], "--help"}).output);
        EXPECT_NE(help.find(" " + fields[3]), std::string::npos) << fields[1] << " " << fields[3];
        ++operands;
    }
    EXPECT_GE(operands, 20u);
}

TEST_F(ThemeCommandLineTest, SlotsAsJsonListEveryKeyOfBothCategories) {
    const auto result = run({"slots", "--json", kTheme});
    ASSERT_EQ(result.exitStatus, 0);
    const QJsonArray rows = json(result.output).array();
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

// An archive's theme is checked where it was unpacked, and the temporary folder goes with it.
TEST_F(ThemeCommandLineTest, CheckExportAndThumbnailOfABundleAndItsArchive) {
    setEnv("TMPDIR", (temp() / "tmp").string());
    fs::create_directory(temp() / "tmp");
    const std::string archive = (temp() / "Stock.zip").string();
    writeFile(fs::path(theme_) / "images" / "unnamed.png", "not an image");
    ASSERT_EQ(run({"export", kTheme, "-o", archive}).exitStatus, 0);
    for (const std::string& checked : {theme_, archive}) {
        EXPECT_EQ(run({"check", checked}).exitStatus, 0);
        EXPECT_EQ(said(run({"check", "--strict", checked})),
                  "1 " + checked +
                      ": warning: (images/unnamed.png): No key names the image unnamed.png; it "
                      "is never installed.\n");
    }
    // Export to standard output gives the archive, but not on a terminal; the thumbnailer draws a
    // bundle's or that archive's Dock fitted into the size asked, in place of a file there.
    EXPECT_EQ(run({"export", "-o", "-", kTheme}).output, readFile(archive));
    std::ostringstream out, err;
    EXPECT_EQ(ThemeCommandLine::run({"velvanto-theme", "export", "-o", "-", theme_}, out, err,
                                    ThemeCommandLine::Terminal{true, false, 80}),
              1);
    EXPECT_EQ(out.str() + err.str(),
              "velvanto-theme: -: standard output is a terminal; redirect it or name a file\n");
    const std::string png = (temp() / "thumb.png").string();
    writeFile(png, "an older thumbnail");
    for (const auto& [input, size] : {std::pair{theme_, 64}, std::pair{archive, 256}}) {
        EXPECT_EQ(said(run({"thumbnail", "-s", std::to_string(size), input, png})),
                  "0 " + png + "\n");
        const QImage picture(QString::fromStdString(png), "PNG");
        EXPECT_EQ(picture.width(), size) << input;
        EXPECT_GT(picture.height(), size / 4);
        EXPECT_LT(picture.height(), size / 2);
    }
    EXPECT_NE(run({"info", kTheme}).output.find("\nCheck: 0 errors, 1 warning\n"),
              std::string::npos);
    const QJsonObject info = json(run({"info", "--json", kTheme}).output).object();
    EXPECT_EQ(info["warnings"].toInt(), 1);
    EXPECT_EQ(info["name"].toString(), "Velvanto Default");
    EXPECT_TRUE(info["publicKey"].isNull());
    EXPECT_EQ(info["screenshots"].toArray(), (QJsonArray{"3D", "2D"}));
    EXPECT_EQ(info["slots"].toObject()["3D"].toInt(), 16);

    fs::remove(fs::path(theme_) / "images" / "angle_left_bottom.png");
    const std::string text = said(run({"check", kTheme}));
    EXPECT_EQ(text.rfind(
                  "1 " + theme_ + ": error: Angle_Left_Bottom (images/angle_left_bottom.png): ", 0),
              0)
        << text;
    const auto listed = run({"check", "--json", kTheme});
    EXPECT_EQ(listed.exitStatus, 1);
    const QJsonObject first = json(listed.output).array().first().toObject();
    EXPECT_EQ(first["severity"].toString(), "error");
    EXPECT_EQ(first["key"].toString(), "Angle_Left_Bottom");
    EXPECT_EQ(first["name"].toString(), "Corner, bottom left");
    EXPECT_EQ(first["bundle"].toString().toStdString(), theme_);
    // One the import refuses for its theme's errors: each of them told.
    ASSERT_EQ(runProgram({"/bin/sh", "-c", "cd \"$1\" && exec zip -qr broken.zip Stock.docktheme",
                          "sh", temp().string()})
                  .exitCode,
              0);
    const auto broken = run({"check", (temp() / "broken.zip").string()});
    EXPECT_EQ(broken.exitStatus, 1);
    EXPECT_NE(broken.output.find("broken.zip: error: Angle_Left_Bottom (images/"),
              std::string::npos)
        << broken.output;
    EXPECT_NE(broken.output.find("broken.zip: warning: (images/unnamed.png)"), std::string::npos);
    // One the import refuses before any check: import, thumbnail and check tell the same reason.
    std::string zipped = readFile(archive);
    const std::string entry = "Stock.docktheme/Info.plist";
    for (std::size_t at = zipped.find(entry); at != std::string::npos; at = zipped.find(entry, at))
        zipped.replace(at, entry.size(), "Stock.docktheme/../../evil");
    writeFile(temp() / "evil.zip", zipped);
    const std::string evil = (temp() / "evil.zip").string();
    fs::remove(png);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"import", evil, "--to", temp().string()},
          {"thumbnail", evil, png},
          {"check", evil}}) {
        EXPECT_EQ(said(run(command, true)),
                  "1 velvanto-theme: " + evil +
                      ": the name \u201CStock.docktheme/../../evil\u201D leaves the theme\n")
            << command[0];
    }
    EXPECT_FALSE(fs::exists(png));
    EXPECT_EQ(entries(temp() / "tmp"), std::vector<std::string>{});
}

// Paths with a line break and bytes that are not UTF-8, through export and import.
TEST_F(ThemeCommandLineTest, ExportThenImportGivesTheSameBundleWhateverThePaths) {
    const std::string odd = (temp() / "odd\nname\xff").string();
    fs::create_directory(odd);
    // The theme's name reaches whoever imports it: its escape sequence and line break are shown.
    const std::string name = "Th\xc3\xa8me\x1b[2J\n\xc2\2332J.docktheme";  // \233 is CSI
    const std::string bundle = odd + "/" + name;
    fs::rename(theme_, bundle);
    const std::string archive = odd + "/out\n\xfe.zip";
    ASSERT_EQ(said(run({"export", "-o", archive, "--", bundle})), "0 " + archive + "\n");

    const std::string into = odd + "/in\n\xfd";
    fs::create_directory(into);
    ASSERT_EQ(said(run({"import", archive, "--to", into})),
              "0 " + into + "/Th\xc3\xa8me\\x1B[2J\\n\\xC2\\x9B2J.docktheme\n");
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
    EXPECT_EQ(run({"check", "--strict", kTheme}).exitStatus, 0);
}

TEST_F(ThemeCommandLineTest, InfoSetWritesTheInformationShownEscapedAndTheKeyKeygenMade) {
    const auto result = run({"info", "--set", "name=\x1b[2JNight\n", "--set",
                             "feed=https://example.org/f.xml", kTheme});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(run({"info", kTheme})
                  .output.rfind("Name: \\x1B[2JNight\\n\nAuthor: The Velvanto developers\n"
                                "Site: \nVersion: 1.0\n"
                                "Feed: https://example.org/f.xml\n",
                                0),
              0);

    const std::string keyFile = (temp() / "author.key").string();
    const std::string made = said(run({"keygen", keyFile}));
    const std::string key = made.substr(2, made.find('\n') - 2);
    ASSERT_EQ(made, "0 " + key + "\n");
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
    writeFile(images / "frontline.png", readFile(fs::path(theme_) / "images" / "scurve-l.png"));
    const std::string made = (temp() / "Mine").string();
    EXPECT_EQ(said(run({"new", "--from-folder", images.string(), made})),
              "0 " + made + ".docktheme\n");
    EXPECT_EQ(readFile(made + ".docktheme/images/frontline.png"),
              readFile(images / "frontline.png"));
    EXPECT_EQ(run({"info", made + ".docktheme"}).output.rfind("Name: Mine\n", 0), 0);
    EXPECT_NE(readFile(made + ".docktheme/preview_micro.png"),
              readFile(stockTheme() / "preview_micro.png"));  // drawn from its own images
    EXPECT_EQ(run({"new", made + ".docktheme/"}).exitStatus, 1);

    // No image named as the Dock's: the stock images, and a warning; an empty folder: nothing.
    fs::rename(images / "frontline.png", images / "Frontline.png");
    EXPECT_EQ(said(run({"new", "--from-folder", images.string(), made + "2"}, true)),
              "0 velvanto-theme: " + images.string() +
                  ": warning: no image of the folder is named as the Dock names its "
                  "images; the theme has the stock images\n");
    EXPECT_TRUE(snapshot(made + "2.docktheme/images") == snapshot(theme_ + "/images"));
    fs::remove(images / "Frontline.png");
    EXPECT_EQ(run({"new", "--from-folder", images.string(), made + "3"}).exitStatus, 1);
    EXPECT_FALSE(fs::exists(made + "3.docktheme"));
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
    EXPECT_EQ(said(run({"batch", source.string(), target.string()})),
              "1 a: OK\nb: ERROR: b.docktheme is in the destination already; it was left "
              "untouched.\n");
    EXPECT_EQ(run({"check", "--strict", (target / "a.docktheme").string()}).exitStatus, 0);
    EXPECT_NE(readFile(target / "a.docktheme/preview_micro.png"),
              readFile(stockTheme() / "preview_micro.png"));

    // On a coloured terminal: a bar under the rows, cleared at the end.
    fs::remove_all(target / "a.docktheme");
    std::ostringstream out, err;
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

// Each says one line of outcome; the tool's log only with --verbose, its end after a failure.
TEST_F(ThemeCommandLineTest, ApplyThenRestoreOriginalGivesTheDockFolderBack) {
    EXPECT_EQ(run({"restore", "--original"}).exitStatus, 1);  // nothing kept yet
    // The last line said, or the whole text without --verbose.
    for (const auto& [command, said] :
         {std::pair<std::string, std::string>{"apply {theme}",
                                              "Applied Velvanto Default; the Dock restarts\n"},
          {"apply --verbose {theme}", "Applied Velvanto Default; the Dock restarts\n"},
          {"restore --verbose", "Restored the stock theme; the Dock restarts\n"},
          {"restore --original", "Restored the Dock's original images; the Dock restarts\n"}}) {
        const auto result = runBoth(split(command, ' '));
        EXPECT_EQ(result.exitStatus, 0);
        const bool verbose = command.find("--verbose") != std::string::npos;
        EXPECT_EQ(
            verbose ? result.output.substr(result.output.size() - said.size()) : result.output,
            said);
        EXPECT_EQ(result.output.find("Killing dock...") != std::string::npos, verbose);
    }

    fs::create_directories(dockResources() / "frontline.png" / "in the way");
    const auto failed = runBoth({"apply", kTheme});
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_EQ(failed.output.rfind("velvanto-theme: " + theme_ +
                                      ": the apply tool failed with exit status 255\n"
                                      "velvanto-theme: the apply tool's last lines:\n  ",
                                  0),
              0)
        << failed.output;
    EXPECT_NE(failed.output.find("a folder is in the way"), std::string::npos);
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
    const std::string result = said(run({"import", archive, "--to", into.string()}, true));
    EXPECT_EQ(result.rfind("1 velvanto-theme: " + archive + ": ", 0), 0) << result;
    EXPECT_EQ(snapshot(into),
              (std::map<std::string, std::string>{{".velvanto-import-running/", ""}}));
}

// A writer holding the theme's lock is waited for a bounded time, then told, and nothing is
// written; once it has gone, the next write goes through.
TEST_F(ThemeCommandLineTest, RenderWritesBothScreenshotsOrNeitherAndWaitsForAnotherWriter) {
    const std::string archive = (temp() / "held.zip").string();
    const auto before = snapshot(theme_);
    {
        const Descriptor writer(::open(theme_.c_str(), O_RDONLY | O_DIRECTORY));
        ASSERT_EQ(::flock(writer.get(), LOCK_EX), 0);
        for (const std::string& command :
             {std::string("render {theme}"), "export {theme} -o " + archive}) {
            const auto refused = run(split(command, ' '), true);
            EXPECT_EQ(refused.exitStatus, 1) << command;
            EXPECT_NE(refused.output.find("another program is changing the theme"),
                      std::string::npos)
                << refused.output;
        }
        EXPECT_EQ(snapshot(theme_), before);
        EXPECT_FALSE(fs::exists(archive));
    }
    EXPECT_EQ(run({"info", "--set", "author=Ann", kTheme}).exitStatus, 0);

    const fs::path bundle(theme_);
    fs::remove(bundle / "preview_3d.png");
    fs::remove(bundle / "preview_2d.png");
    fs::create_directories(bundle / "preview_2d.png" / "in the way");
    EXPECT_EQ(run({"render", kTheme}).exitStatus, 1);
    EXPECT_FALSE(fs::exists(bundle / "preview_3d.png"));

    fs::remove_all(bundle / "preview_2d.png");
    EXPECT_EQ(said(run({"render", kTheme})),
              "0 " + theme_ + "/preview_3d.png\n" + theme_ + "/preview_2d.png\n");
    for (const char* name : {"preview_3d.png", "preview_2d.png"}) {
        EXPECT_EQ(readFile(bundle / name).substr(0, 4), "\x89PNG") << name;
    }
    EXPECT_EQ(run({"check", "--strict", kTheme}).exitStatus, 0);
}

// What a shell's completion offers for the words typed (the program's name first), sorted, as
// names (a folder without its "/", a candidate without its help). zsh's is run with stand-ins
// for the completion system's functions that offer what they would, from the files there.
std::vector<std::string> offered(const std::string& shell, const std::vector<std::string>& words,
                                 const fs::path& folder) {
    const std::string completions = VELVANTO_COMPLETIONS;
    const std::map<std::string, std::vector<std::string>> scripts = {
        {"bash",
         {"/bin/bash", "-c",
          "source \"$0\" && COMP_WORDS=(\"$@\") && COMP_CWORD=$(($# - 1)) && _velvanto_theme; "
          "printf '%s\\n' \"${COMPREPLY[@]}\"",
          completions + "/velvanto-theme.bash"}},
        {"zsh",
         {"zsh", "-f", "-c",
          "fpath=(\"$0\" $fpath); autoload -Uz _velvanto-theme; setopt extendedglob nullglob;"
          "_describe() { local n; for n in ${(P)4}; do n=${n%%:*};"
          "  [[ $n == ${PREFIX}* ]] && print -r -- $n; done };"
          "compadd() { while [[ $1 == -* && $1 != -- ]]; do [[ $1 == -S ]] && shift; shift; done;"
          "  [[ $1 == -- ]] && shift; local w; for w; do [[ $w == ${PREFIX}* ]] && print -r -- $w;"
          "  done };"
          "_files() { local -a f; if (( $# == 0 )); then f=(${PREFIX}*); else f=(${PREFIX}*(-/));"
          "  fi; [[ $1 == -g ]] && f+=(${PREFIX}${~2}(-.)); print -rl -- $f };"
          "words=(\"$@\"); CURRENT=$#words; PREFIX=$words[CURRENT]; _velvanto-theme",
          completions}},
        {"fish",
         {"fish", "--no-config", "-c",
          "source $argv[1]; complete -C (string join ' ' -- $argv[2..-1])",
          completions + "/velvanto-theme.fish"}},
    };
    std::vector<std::string> command = scripts.at(shell);
    command.insert(command.end(), words.begin(), words.end());
    // In the folder, with the program on the path as a user has it.
    std::vector<std::string> inFolder = {
        "/bin/sh", "-c", "cd \"$0\" && PATH=\"$(dirname \"$1\"):$PATH\" && shift && exec \"$@\"",
        folder.string(), VELVANTO_THEME_PROGRAM};
    inFolder.insert(inFolder.end(), command.begin(), command.end());
    const auto result = Process::run(inFolder, Process::Capture::Output);
    std::vector<std::string> names;
    for (std::string line : split(result ? result->output : "", '\n')) {
        line = line.substr(0, line.find('\t'));
        while (line.size() > 1 && line.back() == '/') {
            line.pop_back();
        }
        if (!line.empty()) {
            names.push_back(line);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Each shell offers commands, options, fields, keys, and files of the kind each word takes.
TEST_F(ThemeCommandLineTest, CompletionOffersCommandsOptionsKeysAndFilesOfTheirKind) {
    fs::create_directories(temp() / "folder");
    fs::create_directories(temp() / "themes");
    for (const char* file : {"theme.zip", "theme-b.ZIP", "theme.png"}) {
        writeFile(temp() / file, "x");
    }
    // The words typed after the program's name, and what is offered.
    const std::pair<std::string, std::string> rows[] = {
        {"se", "set-image"},
        {"keyg", "keygen"},
        {"check --s", "--strict"},
        {"thumbnail --s", "--size"},
        {"info --set au", "author="},
        {"info --set pu", "public-key="},
        {"set-image --unique-name {theme} Sh", "Shadow"},
        {"set-image -- {theme} Stack_Arrow_", "Stack_Arrow_Left Stack_Arrow_Right"},
        {"set-image nowhere.docktheme S", ""},
        {"set-image {theme} Shadow th", "theme.png themes"},
        {"new --from-folder fol", "folder"},
        {"check Sto", "Stock.docktheme"},
        {"check th", "theme-b.ZIP theme.zip themes"},
        {"import th", "theme-b.ZIP theme.zip themes"},
        {"info th", "themes"},
        {"export -o th", "theme-b.ZIP theme.png theme.zip themes"},
        {"help ch", "check"},
        {"restore ", ""},
    };
    for (const std::string shell : {"bash", "zsh", "fish"}) {
        if (shell != "bash" && runProgram({"/bin/sh", "-c", "command -v " + shell}).exitCode != 0) {
            std::cout << "[ SKIPPED  ] " << shell << " completion: " << shell
                      << " is not installed\n";
            continue;
        }
        for (const auto& [typed, offers] : rows) {
            std::vector<std::string> words = split("velvanto-theme " + typed, ' ');
            std::ranges::replace(words, std::string(kTheme), theme_);
            EXPECT_EQ(offered(shell, words, temp()), split(offers, ' ')) << shell << ": " << typed;
        }
    }
}

}  // namespace
