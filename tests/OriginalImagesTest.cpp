// The Dock's own images: kept once by the first apply, put back byte for byte,
// and never restored from a store that does not match its manifest.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <random>

#include "ApplyToolFixture.h"
#include "platform/Sha256.h"

namespace fs = std::filesystem;

const std::string kRestore = "--restore-original";

class OriginalImagesTest : public ApplyToolTest {
protected:
    // A Dock folder with its own separator and front line, and no shadow.
    void freshDock() {
        fs::remove_all(root());
        writeFile(dockResources() / "separatorstraight.png", "own separator");
        writeFile(dockResources() / "frontline.png", "own front");
        writeFile(dockResources() / "other.png", "not a theme's");
    }
    fs::path bundle(const std::string& name, const Table& glass) {
        fs::path path = temp() / (name + ".docktheme");
        writeBundle(path, themeInfo({{"Separator_Vertical", name + "-line.png"}}, glass));
        return path;
    }
    std::string manifest() { return readFile(originals() / "Manifest"); }
    // The manifest's lines for the two images freshDock() gives the Dock.
    static std::string keptLines() {
        return Sha256::of("own separator") + " 13 separatorstraight.png\n" +
               Sha256::of("own front") + " 9 frontline.png\n";
    }
    // The line for shadow.png, which no Dock image had, where themes put fileNames.
    static std::string createdLine(const std::vector<std::string>& fileNames) {
        std::string line = "created ";
        for (const std::string& fileName : fileNames) {
            const std::string bytes = "image:" + fileName;
            line += Sha256::of(bytes) + " " + std::to_string(bytes.size()) + " ";
        }
        return line + "shadow.png\n";
    }
};

TEST_F(OriginalImagesTest, TheFirstApplyKeepsTheDocksImagesAndRestoreBringsThemBackByteForByte) {
    freshDock();
    const auto dockAsItCame = snapshot(dockResources());
    const auto before = snapshot(temp());
    EXPECT_EQ(apply({kRestore}).exitCode, 255);
    EXPECT_EQ(lines_.back(), "No original Dock images are kept yet");
    EXPECT_EQ(snapshot(temp()), before);

    EXPECT_EQ(apply({bundle("A", {{"Frontline", "A-front.png"}}).string()}).exitCode, 1);
    const std::string first = keptLines();
    EXPECT_EQ(manifest(), first);
    // A later theme adds only names no earlier one touched: the shadow it creates.
    const fs::path b = bundle("B", {{"Frontline", "B-front.png"}, {"Shadow", "B-shadow.png"}});
    EXPECT_EQ(apply({b.string()}).exitCode, 1);
    EXPECT_EQ(manifest(), first + createdLine({"B-shadow.png"}));
    EXPECT_EQ(readFile(originals() / "frontline.png"), "own front");
    EXPECT_EQ(readFile(dockResources() / "shadow.png"), "image:B-shadow.png");

    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(apply({kRestore}).exitCode, 1);
        EXPECT_EQ(snapshot(dockResources()), dockAsItCame);
        EXPECT_EQ(lines_.back(), "Killing dock...");
        EXPECT_TRUE(waitForKillall(3 + round));
    }
    EXPECT_EQ(manifest(), first + createdLine({"B-shadow.png"}));  // kept for good
}

TEST_F(OriginalImagesTest, ADamagedOrLinkedStoreIsNeverUsedAndChangesNothing) {
    struct Case {
        const char* name;
        std::function<void()> damage;
        // The manifest is whole: an apply still goes in and a new name joins
        // it. Else the apply too is refused and changes nothing.
        bool manifestWhole = false;
    };
    const fs::path elsewhere = temp() / "elsewhere";
    const Case cases[] = {
        {"kept image changed", [&] { writeFile(originals() / "frontline.png", "own fronT"); },
         true},
        {"kept image gone", [&] { fs::remove(originals() / "frontline.png"); }, true},
        {"kept image a link", [&] { linkAway(originals() / "frontline.png", elsewhere); }, true},
        {"manifest garbage", [&] { writeFile(originals() / "Manifest", "\x01garbage\n"); }},
        {"manifest cut short",
         [&] {
             std::string text = manifest();
             writeFile(originals() / "Manifest", text.substr(0, text.size() - 5));
         }},
        {"manifest names a path",
         [&] { writeFile(originals() / "Manifest", "created ../../etc/passwd\n"); }},
        {"manifest a link", [&] { linkAway(originals() / "Manifest", elsewhere); }},
        {"manifest gone", [&] { fs::remove(originals() / "Manifest"); }},
        {"store a link", [&] { linkAway(originals(), elsewhere); }},
        {"folder above the store a link", [&] { linkAway(originals().parent_path(), elsewhere); }},
    };
    const std::string unkept =
        "Cannot keep the Dock's original images in " + originals().string() +
        ": their manifest is missing or damaged; the Dock was left as it was";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshDock();
        fs::remove_all(elsewhere);
        ASSERT_EQ(apply({bundle("A", {{"Frontline", "A-front.png"}}).string()}).exitCode, 1);
        c.damage();
        const auto before = snapshotBesideKillall();
        EXPECT_EQ(apply({kRestore}).exitCode, 255);
        EXPECT_EQ(changes(before, snapshotBesideKillall()), std::vector<std::string>{});
        // An apply reads and writes no store it can't trust.
        const int code = apply({bundle("B", {{"Shadow", "B-shadow.png"}}).string()}).exitCode;
        EXPECT_EQ(code, c.manifestWhole ? 1 : 255);
        const std::string grown = fs::relative(originals() / "Manifest", temp()).string() + ":";
        for (const std::string& change : changes(before, snapshotBesideKillall())) {
            EXPECT_TRUE(change.starts_with("B.docktheme/") ||
                        (c.manifestWhole &&
                         (change.starts_with("root/System/") || change.starts_with(grown))))
                << change;
        }
        if (std::string(c.name).starts_with("manifest")) {
            EXPECT_NE(std::find(lines_.begin(), lines_.end(), unkept), lines_.end());
        }
    }
}

TEST_F(OriginalImagesTest, RestoreRemovesOnlyTheThemesOwnFileAndNeverClaimsWhatItLeft) {
    struct Case {
        const char* name;
        // The manifest line for shadow.png, as this or an earlier version wrote it.
        std::function<std::string()> line;
        std::function<void()> after;  // what happens to shadow.png after the apply
        const char* left;             // the log's reason for leaving shadow.png, or none
        bool removed;                 // shadow.png is gone after the restore
        bool restored;                // restore says it undid every theme's file
    };
    const fs::path update = dockResources() / "shadow.png";
    auto relinked = [&] {
        fs::remove(update);
        fs::create_symlink("frontline.png", update);
    };
    auto recorded = [] { return createdLine({"A-shadow.png"}); };
    auto unrecorded = [] { return std::string("created shadow.png\n"); };
    auto skipped = [] { return std::string("skipped shadow.png\n"); };
    auto nothing = [] {};
    const Case cases[] = {
        {"the theme's file", recorded, nothing, nullptr, true, true},
        {"an apply under way: either theme's file",
         [] {
             return createdLine({"B-shadow.png", "A-shadow.png"});
         },
         nothing, nullptr, true, true},
        {"a system update's file", recorded, [&] { writeFile(update, "image:A-shadow.pnG"); },
         "it is not the file a theme put there", false, true},
        {"a link a system update made", recorded, relinked, "it is not the file a theme put there",
         false, true},
        {"no record", unrecorded, nothing, "no record tells whether a theme put it there", false,
         false},
        {"no record, nothing there", unrecorded, [&] { fs::remove(update); }, nullptr, true, true},
        {"never kept", skipped, nothing, "the Dock's own one was never kept", false, false},
        {"never kept, a link again", skipped, relinked, nullptr, false, true},
    };
    const fs::path a = bundle("A", {{"Frontline", "A-front.png"}, {"Shadow", "A-shadow.png"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshDock();
        const auto dockAsItCame = snapshot(dockResources());
        ASSERT_EQ(apply({a.string()}).exitCode, 1);
        ASSERT_EQ(manifest(), keptLines() + createdLine({"A-shadow.png"}));
        writeFile(originals() / "Manifest", keptLines() + c.line());
        c.after();
        const auto shadow = without(snapshot(dockResources()),
                                    {"separatorstraight.png", "frontline.png", "other.png"});
        EXPECT_EQ(apply({kRestore}).exitCode, c.restored ? 1 : 255);
        auto expected = dockAsItCame;
        if (!c.removed) {
            expected.insert(shadow.begin(), shadow.end());
        }
        if (c.left) {
            EXPECT_NE(std::find(lines_.begin(), lines_.end(),
                                "Left " + dockFile("shadow.png") + " as it is: " + c.left),
                      lines_.end());
        }
        EXPECT_EQ(snapshot(dockResources()), expected);
        EXPECT_EQ(lines_.back(), "Killing dock...");
    }
}

TEST_F(OriginalImagesTest, AKillDuringAnApplyLeavesTheOriginalsWholeAndRestorable) {
    std::mt19937 random(7);
    const fs::path first = bundle("A", {{"Frontline", "A-front.png"}, {"Shadow", "A-shadow.png"}});
    const fs::path second = bundle("B", {{"Shadow", "B-shadow.png"}});
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        freshDock();
        const auto dockAsItCame = snapshot(dockResources());
        // Odd rounds kill the theme that follows the first, while it records its file.
        const bool later = round % 2 == 1;
        if (later) {
            ASSERT_EQ(apply({first.string()}).exitCode, 1);
        }
        int errors = -1;
        pid_t pid = start({(later ? second : first).string()}, Launch{}, errors);
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 4000)(random));
        ::kill(pid, SIGKILL);
        finish(pid, errors);
        if (fs::exists(originals()) && !later) {
            EXPECT_EQ(manifest(), keptLines() + createdLine({"A-shadow.png"}));
        }
        // The next run finds the originals whole, and leaves nothing hidden behind.
        EXPECT_EQ(apply({kRestore}).exitCode, fs::exists(originals()) ? 1 : 255);
        EXPECT_EQ(snapshot(dockResources()), dockAsItCame);
        EXPECT_EQ(apply({first.string()}).exitCode, 1);
        EXPECT_EQ(readFile(originals() / "frontline.png"), "own front");
        for (const auto& [name, bytes] : snapshot(originals().parent_path()))
            EXPECT_FALSE(name.starts_with(".")) << name;
    }
}
