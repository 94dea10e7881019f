// Theme archives: export, and the import of archives from strangers.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/file.h>

#include <functional>

#include "model/MiscKit.h"
#include "model/ThemeArchive.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

// One entry of an archive made here: a file unless type says otherwise.
struct Item {
    std::string name;
    std::string bytes;
    mode_t type = AE_IFREG;
    std::string link = {};  // a symbolic link's target, or a hard link's
};

using Format = std::function<void(archive*)>;
const Format kZip = [](archive* a) { archive_write_set_format_zip(a); };
const Format kTarGz = [](archive* a) {
    archive_write_set_format_pax_restricted(a);
    archive_write_add_filter_gzip(a);
};

}  // namespace

class ThemeArchiveTest : public TestEnvironment {
protected:
    // The stock theme's files under prefix ("X.docktheme/").
    static std::vector<Item> theme(const std::string& prefix) {
        std::vector<Item> items{{prefix, {}, AE_IFDIR}};
        for (const auto& entry : fs::recursive_directory_iterator(stockTheme())) {
            const std::string relative = fs::relative(entry.path(), stockTheme()).string();
            items.push_back(entry.is_directory() ? Item{prefix + relative + "/", {}, AE_IFDIR}
                                                 : Item{prefix + relative, readFile(entry.path())});
        }
        return items;
    }
    static std::vector<Item> plus(std::vector<Item> items, const std::vector<Item>& more) {
        items.insert(items.end(), more.begin(), more.end());
        return items;
    }
    // Writes items as an archive at temp()/name with libarchive's writer.
    fs::path made(const std::string& name, const std::vector<Item>& items,
                  const Format& format = kZip, const char* options = nullptr) const {
        const fs::path path = temp() / name;
        archive* a = archive_write_new();
        format(a);
        if (options) {
            EXPECT_EQ(archive_write_set_options(a, options), ARCHIVE_OK);
            archive_write_set_passphrase(a, "secret");  // for the encrypted ones
        }
        EXPECT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
        for (const Item& item : items) {
            archive_entry* entry = archive_entry_new();
            archive_entry_copy_pathname(entry, item.name.c_str());
            archive_entry_set_filetype(entry, item.type);
            archive_entry_set_perm(entry, 0644);
            if (item.type == AE_IFLNK) {
                archive_entry_copy_symlink(entry, item.link.c_str());
            } else if (!item.link.empty()) {
                archive_entry_copy_hardlink(entry, item.link.c_str());
            }
            archive_entry_set_size(entry, static_cast<la_int64_t>(item.bytes.size()));
            EXPECT_EQ(archive_write_header(a, entry), ARCHIVE_OK) << item.name;
            archive_write_data(a, item.bytes.data(), item.bytes.size());
            archive_entry_free(entry);
        }
        archive_write_close(a);
        archive_write_free(a);
        return path;
    }
    // Imports path into a new folder of temp(); the theme's name, or "refused: <why>".
    std::string imported(const fs::path& path,
                         const ThemeArchive::Cancelled& cancelled = {}) const {
        const fs::path folder = temp() / "into";
        fs::create_directory(folder);
        Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY));
        std::string why;
        std::optional<std::string> name = ThemeArchive::extract(
            path.string(), fd.get(), folder.string(), catalogue, {}, &why, cancelled);
        return name ? *name : "refused: " + why;
    }

    const MiscKit catalogue{appResources() / "DatabaseInfo.plist"};
};

TEST_F(ThemeArchiveTest, EachArchiveImportsWholeOrIsRefusedWithItsFirstReason) {
    const auto good = theme("Good.docktheme/");
    const std::string bigInfo(17u << 20, '\0');
    const std::string zeros(15u << 20, '\0');
    std::vector<Item> many = good;
    for (int i = 0; i < 2000; ++i) {
        many.push_back({"Good.docktheme/extra/" + std::to_string(i), "x"});
    }
    std::vector<Item> badInfo = good;
    std::ranges::find(badInfo, "Good.docktheme/Info.plist", &Item::name)->bytes = "not a plist";
    const fs::path whole = made("whole.zip", good);
    writeFile(temp() / "cut.zip", readFile(whole).substr(0, 200000));
    // Bytes no writer makes: a stored zip whose central directory gives a file another size.
    std::string lies = readFile(made("stored.zip", good, kZip, "zip:compression=store"));
    lies[lies.rfind(std::string("PK\x01\x02", 4)) + 24] ^= 0x40;
    writeFile(temp() / "lies.zip", lies);
    // The zip program's own zip of a copy of the stock theme.
    fs::copy(stockTheme(), temp() / "Good.docktheme", fs::copy_options::recursive);
    EXPECT_EQ(runProgram({"/bin/sh", "-c", "cd \"$1\" && exec zip -qr zipped.zip Good.docktheme",
                          "sh", temp().string()})
                  .exitCode,
              0);
    fs::remove_all(temp() / "Good.docktheme");
    struct Row {
        const char* what;
        fs::path archive;
        std::string outcome;  // the theme's name, or part of "refused: <why>"
        ThemeArchive::Cancelled cancelled = {};
    };
    int blocks = 0;
    const std::vector<Row> rows = {
        {"a zip with the theme at its top", whole, "Good.docktheme"},
        {"a Mac's zip: one folder down, with __MACOSX, ._ and .DS_Store",
         made("mac.zip", plus(theme("Download/Good.docktheme/"),
                              {{"__MACOSX/Download/Good.docktheme/._Info.plist", "fork"},
                               {"Download/Good.docktheme/.DS_Store", "finder"},
                               {"Download/Good.docktheme/images/._x.png", "fork"},
                               {"Download/README.txt", "hello"}})),
         "Good.docktheme"},
        {"a tar.gz", made("good.tar.gz", good, kTarGz), "Good.docktheme"},
        {"a 7z", made("good.7z", good, [](archive* a) { archive_write_set_format_7zip(a); }),
         "Good.docktheme"},
        {"a tar.zst",
         made("good.tar.zst", good,
              [](archive* a) {
                  archive_write_set_format_pax_restricted(a);
                  archive_write_add_filter_zstd(a);
              }),
         "Good.docktheme"},
        {"a zip made by the zip program", temp() / "zipped.zip", "Good.docktheme"},
        {"a parent name", made("up.zip", plus(good, {{"Good.docktheme/../evil", "x"}})),
         "refused: the name \u201CGood.docktheme/../evil\u201D leaves the theme"},
        {"an absolute name", made("abs.zip", plus(good, {{"/tmp/evil", "x"}})),
         "refused: the name \u201C/tmp/evil\u201D leaves the theme"},
        {"a drive letter", made("drive.zip", plus(good, {{"C:\\evil", "x"}})),
         "refused: the name \u201CC:/evil\u201D leaves the theme"},
        {"backslashes are folders",
         made("back.zip", plus(good, {{"Good.docktheme\\..\\..\\evil", "x"}})),
         "refused: the name \u201CGood.docktheme/../../evil\u201D leaves the theme"},
        {"a symbolic link",
         made("link.zip", plus(good, {{"Good.docktheme/images/l", "", AE_IFLNK, "/etc/passwd"}})),
         "refused: \u201CGood.docktheme/images/l\u201D is a link"},
        {"a hard link",
         made("hard.tar.gz",
              plus(good, {{"Good.docktheme/h", "", AE_IFREG, "Good.docktheme/Info.plist"}}),
              kTarGz),
         "refused: \u201CGood.docktheme/h\u201D is a link"},
        {"a FIFO", made("fifo.tar.gz", plus(good, {{"Good.docktheme/f", "", AE_IFIFO}}), kTarGz),
         "refused: \u201CGood.docktheme/f\u201D is not a plain file or folder"},
        {"names differing in case",
         made("case.zip", plus(good, {{"Good.docktheme/images/A.png", "1"},
                                      {"Good.docktheme/images/a.png", "2"}})),
         "refused: \u201Cimages/A.png\u201D and \u201Cimages/a.png\u201D differ only in case"},
        {"folders differing in case",
         made("folders.zip", plus(good, {{"Good.docktheme/Images/b.png", "1"}})),
         "refused: \u201Cimages\u201D and \u201CImages\u201D differ only in case"},
        {"an entry twice",
         made("twice.tar.gz", plus(good, {{"Good.docktheme/x", "1"}, {"Good.docktheme/x", "2"}}),
              kTarGz),
         "refused: \u201CGood.docktheme/x\u201D comes twice"},
        {"two themes", made("two.zip", plus(good, theme("Other.docktheme/"))),
         "refused: it holds two themes"},
        {"no theme", made("none.zip", {{"Good/Info.plist", "x"}}), "refused: it holds no theme"},
        {"a theme that is a file", made("file.zip", {{"Good.docktheme", "x"}}),
         "refused: \u201CGood.docktheme\u201D is not a folder"},
        {"too many entries", made("many.zip", many), "refused: it holds more than 2000 entries"},
        {"an entry over 16 MiB", made("big.zip", plus(good, {{"Good.docktheme/big", bigInfo}})),
         "refused: \u201CGood.docktheme/big\u201D is larger than 16 MiB"},
        {"a bomb", made("bomb.zip", {{"Good.docktheme/zeros", zeros}}),
         "refused: it unpacks to more than 200 times its size"},
        {"encrypted", made("secret.zip", good, kZip, "zip:encryption=zipcrypt"),
         "\u201D is encrypted"},
        {"cut short", temp() / "cut.zip", "refused: it is damaged or cut short"},
        {"a size that lies", temp() / "lies.zip",
         "refused: it is damaged or cut short (Inconsistent uncompressed size"},
        {"skipped entries that are a bomb",
         made("skipped.tar.gz", plus(std::vector<Item>(3, {"__MACOSX/zeros", zeros}), good),
              kTarGz),
         "refused: it unpacks to more than 200 times its size"},
        {"cancelled as it reads", whole, "refused: the import was cancelled",
         [&blocks] { return ++blocks > 3; }},
        {"a tar name not UTF-8",
         made("latin.tar.gz", plus(good, {{"Good.docktheme/caf\xe9", "x"}}),
              [](archive* a) { archive_write_set_format_ustar(a); }),
         "refused: the name \u201CGood.docktheme/caf\uFFFD\u201D is not UTF-8"},
        {"a zip name not UTF-8", made("latin.zip", plus(good, {{"Good.docktheme/caf\xe9", "x"}})),
         "refused: an entry's name is not UTF-8"},
        {"a theme the check refuses", made("info.zip", badInfo),
         "refused: Info.plist is not a readable property list"},
        {"not an archive", temp() / "cut.zip" / "none", "refused: it can't be read"},
    };
    // The fuzz target's seed corpus is these archives (see fuzz/CMakeLists.txt).
    const char* corpus = std::getenv("VELVANTO_ARCHIVE_CORPUS");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (corpus && fs::is_regular_file(row.archive)) {
            fs::copy_file(row.archive, fs::path(corpus) / row.archive.filename(),
                          fs::copy_options::overwrite_existing);
        }
        const auto before = without(snapshot(temp()), {"into"});
        const std::string outcome = imported(row.archive, row.cancelled);
        EXPECT_NE(outcome.find(row.outcome), std::string::npos) << outcome;
        EXPECT_EQ(changes(before, without(snapshot(temp()), {"into"})), std::vector<std::string>{});
        if (!outcome.starts_with("refused")) {
            EXPECT_TRUE(snapshot(temp() / "into" / outcome) == snapshot(stockTheme()));
        }
        fs::remove_all(temp() / "into");
    }
}

TEST_F(ThemeArchiveTest, ExportGivesTheSameBytesEachTimeAndImportsBackByteForByte) {
    std::string why;
    auto write = [&](const fs::path& theme, const char* archive) {
        return ThemeArchive::write(theme.string(), (temp() / archive).string(), catalogue, {},
                                   FileManager::Existing::Kept, &why);
    };
    ASSERT_TRUE(write(stockTheme(), "one.zip")) << why;
    setEnv("TZ", "JST-9");  // another time zone, the same bytes
    ::tzset();
    ASSERT_TRUE(write(stockTheme(), "two.zip")) << why;
    ::unsetenv("TZ");
    ::tzset();
    EXPECT_TRUE(readFile(temp() / "one.zip") == readFile(temp() / "two.zip"));
    ASSERT_EQ(imported(temp() / "one.zip"), "DefaultDock.docktheme");
    EXPECT_TRUE(snapshot(temp() / "into/DefaultDock.docktheme") == snapshot(stockTheme()));
    ASSERT_TRUE(write(temp() / "into/DefaultDock.docktheme", "three.zip"));
    EXPECT_TRUE(readFile(temp() / "three.zip") == readFile(temp() / "one.zip"));
    EXPECT_FALSE(write(temp() / "nothing", "four.zip"));
    EXPECT_FALSE(fs::exists(temp() / "four.zip"));
}

TEST_F(ThemeArchiveTest, ExportRefusesWhatItsImportWouldAndReplacesNothingButAFileItMayReplace) {
    using Existing = FileManager::Existing;
    const fs::path theme = temp() / "X.docktheme";
    const fs::path zip = temp() / "X.zip";
    std::string deep = "d";
    for (int i = 0; i < 119; ++i)
        deep += "/d";
    struct Row {
        const char* what;
        std::function<void()> make;  // what is done to the theme or at the target first
        Existing existing;
        std::string outcome;  // "written", or part of why
        fs::path target;
        ThemeCheck::Decoder decoder = {};
        std::string swept = {};  // what the write removes
    };
    // A killed writer's temporary goes; one whose writer runs (holds it locked) stays.
    Descriptor running;
    auto leftovers = [&] {
        writeFile(temp() / ".X.zip.Killed", "half");
        writeFile(temp() / ".X.zip.Runnin", "half");
        running = Descriptor(::open((temp() / ".X.zip.Runnin").c_str(), O_RDONLY));
        ::flock(running.get(), LOCK_EX);
    };
    // The check reads this image last: the target is made while the export runs.
    auto notPicture = [&] { writeFile(theme / "images/angle_left_up.png", "not a picture"); };
    const ThemeCheck::Decoder makesTarget = [&](int) {
        writeFile(zip, "made meanwhile");
        return std::optional<ImageSize>(ImageSize{1, 1});
    };
    const std::vector<Row> rows = {
        {"nothing at the target", [] {}, Existing::Kept, "written", zip},
        {"a name not UTF-8", [&] { writeFile(theme / "caf\xe9", "x"); }, Existing::Kept,
         "the name \u201CX.docktheme/caf\uFFFD\u201D is not UTF-8", zip},
        {"a file over 16 MiB", [&] { writeSparse(theme / "big", (16u << 20) + 1); }, Existing::Kept,
         "\u201CX.docktheme/big\u201D is larger than 16 MiB", zip},
        {"a folder 120 deep", [&] { fs::create_directories(theme / deep); }, Existing::Kept,
         "/d\u201D lies too deep", zip},
        {"names differing in case", [&] { writeFile(theme / "Images/x.png", "x"); }, Existing::Kept,
         "\u201CImages\u201D and \u201Cimages\u201D differ only in case", zip},
        {"a slot image that is no picture", notPicture, Existing::Kept,
         "The image angle_left_up.png can't be read as a picture.", zip},
        {"a file at the target", [&] { writeFile(zip, "mine"); }, Existing::Kept,
         "\u201C" + zip.string() + "\u201D exists already", zip},
        {"a file at the target it may replace", [&] { writeFile(zip, "mine"); },
         Existing::RegularFileReplaced, "written", zip},
        {"a file made at the target meanwhile", notPicture, Existing::Kept,
         "\u201C" + zip.string() + "\u201D exists already", zip, makesTarget},
        {"temporaries left beside the target", leftovers, Existing::Kept, "written", zip, nullptr,
         ".X.zip.Killed"},
        {"a dangling link at the target", [&] { fs::create_symlink("nowhere", zip); },
         Existing::RegularFileReplaced, "\u201D is not a plain file, so it is not replaced", zip},
        {"a link to a file at the target",
         [&] {
             writeFile(temp() / "elsewhere", "theirs");
             fs::create_symlink("elsewhere", zip);
         },
         Existing::RegularFileReplaced, "\u201D is not a plain file, so it is not replaced", zip},
        {"a target folder that is missing", [] {}, Existing::Kept,
         "the archive \u201C" + (temp() / "gone/X.zip").string() +
             "\u201D can't be written (No such file or directory)",
         temp() / "gone/X.zip"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::copy(stockTheme(), theme, fs::copy_options::recursive);
        row.make();
        const auto before = without(snapshot(temp()), {"X.docktheme", "X.zip"});
        const auto target = snapshot(temp())["X.zip"];
        std::string why;
        const bool written = ThemeArchive::write(theme.string(), row.target.string(), catalogue,
                                                 row.decoder, row.existing, &why);
        EXPECT_NE((written ? std::string("written") : why).find(row.outcome), std::string::npos)
            << why;
        // Nothing else is written, no temporary left; the target is the archive or as it was.
        EXPECT_EQ(changes(row.swept.empty() ? before : without(before, {row.swept}),
                          without(snapshot(temp()), {"X.docktheme", "X.zip"})),
                  std::vector<std::string>{});
        EXPECT_EQ(snapshot(temp())["X.zip"].starts_with("PK"), written);
        if (!written && !row.decoder) {
            EXPECT_EQ(snapshot(temp())["X.zip"], target);
        }
        fs::remove_all(theme);
        fs::remove(zip);
        fs::remove(temp() / ".X.zip.Runnin");
    }
}
