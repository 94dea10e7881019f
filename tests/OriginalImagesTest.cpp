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
    EXPECT_EQ(
        apply({bundle("B", {{"Frontline", "B-front.png"}, {"Shadow", "B-shadow.png"}}).string()})
            .exitCode,
        1);
    EXPECT_EQ(manifest(), first + "created shadow.png\n");
    EXPECT_EQ(readFile(originals() / "frontline.png"), "own front");
    EXPECT_EQ(readFile(dockResources() / "shadow.png"), "image:B-shadow.png");

    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(apply({kRestore}).exitCode, 1);
        EXPECT_EQ(snapshot(dockResources()), dockAsItCame);
        EXPECT_EQ(lines_.back(), "Killing dock...");
        EXPECT_TRUE(waitForKillall(3 + round));
    }
    EXPECT_EQ(manifest(), first + "created shadow.png\n");  // kept for good
}

TEST_F(OriginalImagesTest, ADamagedOrLinkedStoreIsNeverUsedAndChangesNothing) {
    struct Case {
        const char* name;
        std::function<void()> damage;
        bool applies = false;        // an apply still goes in; else it too is refused
        bool manifestGrows = false;  // the manifest is whole, so a new name joins it
    };
    const fs::path elsewhere = temp() / "elsewhere";
    const Case cases[] = {
        {"kept image changed", [&] { writeFile(originals() / "frontline.png", "own fronT"); }, true,
         true},
        {"kept image gone", [&] { fs::remove(originals() / "frontline.png"); }, true, true},
        {"kept image a link", [&] { linkAway(originals() / "frontline.png", elsewhere); }, true,
         true},
        {"manifest garbage", [&] { writeFile(originals() / "Manifest", "\x01garbage\n"); }, true},
        {"manifest cut short",
         [&] {
             std::string text = manifest();
             writeFile(originals() / "Manifest", text.substr(0, text.size() - 5));
         },
         true},
        {"manifest names a path",
         [&] { writeFile(originals() / "Manifest", "created ../../etc/passwd\n"); }, true},
        {"manifest a link", [&] { linkAway(originals() / "Manifest", elsewhere); }, true},
        {"store a link", [&] { linkAway(originals(), elsewhere); }},
        {"folder above the store a link", [&] { linkAway(originals().parent_path(), elsewhere); }},
    };
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
        EXPECT_EQ(code, c.applies ? 1 : 255);
        const std::string grown = fs::relative(originals() / "Manifest", temp()).string() + ":";
        for (const std::string& change : changes(before, snapshotBesideKillall())) {
            EXPECT_TRUE(change.starts_with("root/System/") || change.starts_with("B.docktheme/") ||
                        (c.manifestGrows && change.starts_with(grown)))
                << change;
        }
    }
}

TEST_F(OriginalImagesTest, AKillDuringTheFirstApplyLeavesNoOriginalsOrWholeOnes) {
    std::mt19937 random(7);
    const fs::path theme = bundle("A", {{"Frontline", "A-front.png"}, {"Shadow", "A-shadow.png"}});
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        freshDock();
        int errors = -1;
        pid_t pid = start({theme.string()}, Launch{}, errors);
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 4000)(random));
        ::kill(pid, SIGKILL);
        finish(pid, errors);
        if (fs::exists(originals())) {
            EXPECT_EQ(manifest(), keptLines() + "created shadow.png\n");
        }
        // The next run finds the originals whole, and leaves nothing hidden behind.
        EXPECT_EQ(apply({theme.string()}).exitCode, 1);
        EXPECT_EQ(readFile(originals() / "frontline.png"), "own front");
        for (const auto& [name, bytes] : snapshot(originals().parent_path())) {
            EXPECT_FALSE(name.starts_with(".")) << name;
        }
    }
}
