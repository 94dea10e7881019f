// The collection and the batch converter against a stranger's themes and a
// hostile disk: links and FIFOs in bundles, link entries, a refusing trash,
// leftovers of killed runs, an unreadable folder, odd names, a full disk.
// Each case checks what the user is told and, by snapshots of the whole test
// folder, that nothing outside the target changed and nothing half-made
// carries a final name.
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EditorTest.h"
#include "app/BatchController.h"
#include "app/BatchTableModel.h"
#include "app/BatchWorker.h"
#include "app/CollectionController.h"
#include "app/CollectionModel.h"

namespace {

using Snapshot = std::map<std::string, std::string>;
using Names = std::vector<std::string>;

// The paths whose entry differs between two snapshots, but those below any of kept.
Names changed(const Snapshot& before, const Snapshot& after, const Names& kept = {}) {
    std::set<std::string> paths;
    for (const Snapshot* side : {&before, &after}) {
        for (const auto& [path, content] : *side) {
            auto other = (side == &before ? after : before).find(path);
            const bool same =
                other != (side == &before ? after : before).end() && other->second == content;
            if (!same && std::ranges::none_of(kept, [&](const std::string& below) {
                    return path.starts_with(below);
                })) {
                paths.insert(path);
            }
        }
    }
    return {paths.begin(), paths.end()};
}

// Only regular files and folders: no link, no FIFO.
bool plainOnly(const Snapshot& files) {
    return std::ranges::none_of(files, [](const auto& entry) {
        return entry.second.starts_with("-> ") || entry.second == "(special)";
    });
}

Names entries(const fs::path& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

class HostileCollectionTest : public EditorTest {
protected:
    static constexpr const char* kCollection = "home/.local/share/Velvanto/";
    fs::path folder() const { return home() / ".local/share/Velvanto"; }
    fs::path entry(const std::string& name) const { return folder() / (name + ".docktheme"); }
    void inCollection(const std::string& name, const fs::path& at = {}) {
        fs::create_directories(folder());
        fs::copy(stockTheme(), at.empty() ? entry(name) : at, fs::copy_options::recursive);
    }
    std::string nameOf(const fs::path& bundle) const {
        auto theme = DockTheme::initWithBundleAtPath(bundle.string());
        return theme ? theme->dockName().value_or("(none)") : "(invalid)";
    }
    // The file name of the stock theme's first 2D image.
    std::string firstImage() const {
        return fs::path(DockTheme::initWithBundleAtPath(stockTheme().string())
                            ->dock_2d_images()
                            .front()
                            ->path())
            .filename()
            .string();
    }
    static void select(CollectionController& c, const std::string& title) {
        c.listOfThemes->clearSelection();
        for (int row = 0; row < c.listOfDirectory->rowCount(); ++row) {
            QModelIndex index = c.listOfDirectory->index(row);
            if (text(index.data().toString()) == title) {
                c.listOfThemes->selectionModel()->select(index, QItemSelectionModel::Select);
            }
        }
    }
};

TEST_F(HostileCollectionTest, AddStoresCopiesOfRegularFilesOnly) {
    struct Case {
        const char* what;
        std::function<QString()> source;
        std::string entry;  // what the collection gains; none: an alert instead
        std::string alert;  // after the chosen path
    };
    writeFile(temp() / "outside/keep.txt", "kept");
    const std::vector<Case> cases = {
        {"a theme chosen through a link",
         [this] {
             themeCopy("Real");
             fs::create_directory_symlink(temp() / "Real.docktheme", temp() / "Link.docktheme");
             return at("Link.docktheme");
         },
         "Link", ""},
        {"links and a FIFO inside",
         [this] {
             QString odd = themeCopy("Odd");
             fs::create_directory_symlink(temp() / "outside", temp() / "Odd.docktheme/escape");
             fs::create_symlink(temp() / "outside/keep.txt",
                                temp() / "Odd.docktheme/images/extra.png");
             EXPECT_EQ(::mkfifo((temp() / "Odd.docktheme/pipe").c_str(), 0600), 0);
             return odd;
         },
         "Odd", ""},
        {"an image of the table is a FIFO",
         [this] {
             QString fifo = themeCopy("Fifo");
             fs::remove(temp() / "Fifo.docktheme/images" / firstImage());
             EXPECT_EQ(::mkfifo((temp() / "Fifo.docktheme/images" / firstImage()).c_str(), 0600),
                       0);
             return fifo;
         },
         "", " is corrupted: its image " + firstImage() + " is not a regular file."},
        {"no Info.plist",
         [this] {
             QString bare = themeCopy("Bare");
             fs::remove(temp() / "Bare.docktheme/Info.plist");
             return bare;
         },
         "", " is corrupted: it has no readable Info.plist."},
    };
    CollectionController& col = start().collectionController();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.alerts.clear();
        QString chosen = c.source();
        const Snapshot before = snapshot(temp());
        dialogs.panelAnswers = {chosen};
        col.btn_addTheme();
        const Snapshot after = snapshot(temp());
        EXPECT_EQ(changed(before, after, {kCollection + c.entry + ".docktheme"}), Names{});
        if (c.entry.empty()) {
            EXPECT_EQ(alertTexts(), "Invalid theme!: " + chosen + QString::fromStdString(c.alert));
            EXPECT_EQ(changed(before, after), Names{});
            continue;
        }
        EXPECT_EQ(alertTexts(), "");
        // Regular files and folders only, as the chosen bundle holds them.
        Snapshot expected = snapshot(fs::canonical(text(chosen)));
        std::erase_if(expected, [](const auto& e) {
            return e.second.starts_with("-> ") || e.second == "(special)";
        });
        EXPECT_FALSE(fs::is_symlink(entry(c.entry)));
        EXPECT_EQ(snapshot(entry(c.entry)), expected);
    }
    EXPECT_EQ(entries(folder()), (Names{"Link.docktheme", "Odd.docktheme"}));
}

TEST_F(HostileCollectionTest, ListingNeverWritesThroughALink) {
    QString outside = themeCopy("Outside");
    fs::remove(temp() / "Outside.docktheme/preview_micro.png");
    inCollection("Dangling");
    fs::remove(entry("Dangling") / "preview_micro.png");
    fs::create_symlink(temp() / "nowhere.png", entry("Dangling") / "preview_micro.png");
    fs::create_directory_symlink(text(outside), entry("Linked"));
    const Snapshot before = snapshot(temp());
    CollectionController& col = start().collectionController();
    EXPECT_EQ(changed(before, snapshot(temp()), {"home/.config/", "home/.cache/"}), Names{});
    EXPECT_EQ(col.stat_collection->text(), "2 theme(s)");
}

TEST_F(HostileCollectionTest, WhenTheTrashRefusesRemoveAsksFirstAndDeletesOnlyThatEntry) {
    struct Case {
        const char* what;
        bool link;
        bool answer;
    };
    for (const Case& c :
         {Case{"Cancel keeps it", false, false}, Case{"Delete removes that entry", false, true},
          Case{"Delete on a link removes the link only", true, true}}) {
        SCOPED_TRACE(c.what);
        fs::remove_all(home());
        fs::remove_all(temp() / "Target.docktheme");
        inCollection("B");
        if (c.link) {
            themeCopy("Target");
            fs::create_directory_symlink(temp() / "Target.docktheme", entry("A"));
        } else {
            inCollection("A");
        }
        CollectionController& col = start().collectionController();
        col.moveToTrash = [](const QString&) { return false; };
        dialogs.asked.clear();
        const Snapshot before = snapshot(temp());
        select(col, "A");
        dialogs.askAnswers = {c.answer};
        col.btn_removeTheme();
        ASSERT_EQ(dialogs.asked.size(), 1u);
        EXPECT_EQ(dialogs.asked[0].message,
                  "A.docktheme cannot be moved to the trash. Delete it permanently?");
        EXPECT_EQ(dialogs.asked[0].button, "Delete");
        EXPECT_TRUE(dialogs.alerts.empty());
        Names gone = changed(before, snapshot(temp()), {"home/.config/", "home/.cache/"});
        EXPECT_EQ(gone.empty(), !c.answer);
        EXPECT_TRUE(std::ranges::all_of(gone, [](const std::string& path) {
            return path.starts_with(std::string(kCollection) + "A.docktheme");
        }));
        if (c.link) {
            EXPECT_EQ(gone, Names{std::string(kCollection) + "A.docktheme"});
        }
        EXPECT_EQ(fs::exists(fs::symlink_status(entry("A"))), !c.answer);
    }
}

TEST_F(HostileCollectionTest, ALeftoverOfAKilledReplaceIsRecoveredAtStart) {
    struct Case {
        const char* leftover;
        bool finalThere;
        std::string nameAfter;  // of Same.docktheme
    };
    for (const Case& c : {Case{".Same.docktheme.replaced", false, "Old"},
                          Case{".Same.docktheme.replaced", true, "Velvanto Default"},
                          Case{".velvanto-replaced-Ab12Cd/Same.docktheme", false, "Old"},
                          Case{".velvanto-incoming-Ab12Cd/Same.docktheme", false, "(invalid)"},
                          Case{".Same.docktheme.incoming", true, "Velvanto Default"}}) {
        SCOPED_TRACE(std::string(c.leftover) + (c.finalThere ? ", final there" : ""));
        fs::remove_all(home());
        writeFile(temp() / "outside/keep.txt", "kept");
        fs::create_directories((folder() / c.leftover).parent_path());
        fs::rename(text(themeCopy("Old", {{"VL_DockName", "Old"}})), folder() / c.leftover);
        fs::create_directory_symlink(temp() / "outside", folder() / c.leftover / "escape");
        if (c.finalThere) {
            inCollection("Same");
        }
        start();
        EXPECT_EQ(entries(folder()),
                  c.nameAfter == "(invalid)" ? Names{} : Names{"Same.docktheme"});
        EXPECT_EQ(nameOf(entry("Same")), c.nameAfter);
        EXPECT_EQ(readFile(temp() / "outside/keep.txt"), "kept");
    }
}

TEST_F(HostileCollectionTest, AnUnreadableCollectionFolderIsToldAndANonUtf8NameOpens) {
    writeFile(folder(), "a file where the folder should be");
    CollectionController& col = start().collectionController();
    QString chosen = themeCopy("New");
    const Snapshot before = snapshot(temp());
    dialogs.panelAnswers = {chosen};
    col.btn_addTheme();
    EXPECT_EQ(alertTexts(), "Theme Not Added: " + chosen +
                                " could not be copied into your collection: the collection "
                                "folder " +
                                qs(folder()) + " can't be read (Not a directory).");
    EXPECT_EQ(changed(before, snapshot(temp())), Names{});
    fs::remove(folder());
    inCollection("Caf\xe9");
    MainController& main = start();
    CollectionController& again = main.collectionController();
    again.listOfThemes->selectionModel()->select(again.listOfDirectory->index(0),
                                                 QItemSelectionModel::Select);
    again.btn_editTheme();
    ASSERT_TRUE(main.currentTheme);
    EXPECT_EQ(main.currentTheme->dockPath(), entry("Caf\xe9").string());
}

class HostileBatchTest : public EditorTest {
protected:
    void TearDown() override {
        batch_.reset();
        delete window_;
        if (mounted_) {
            ::umount2(destination().c_str(), MNT_DETACH);
        }
        EditorTest::TearDown();
    }
    fs::path source() const { return temp() / "source"; }
    fs::path destination() const { return temp() / "themes"; }
    static std::string firstDockFile() {
        return *MiscKit::sharedFiles().dockFilesList().front().stringFor("Original");
    }
    // Runs the batch over source into destination to its end; each row as
    // "name: status (tooltip)", in row order.
    Names runBatch() {
        window_ = BatchController::makeWindow(nullptr);
        batch_ = std::make_unique<BatchController>(window_, dialogs);
        dialogs.panelAnswers = {qs(source()), qs(destination())};
        batch_->btn_chooseSource();
        batch_->btn_startBatch();
        EXPECT_TRUE(waitUntil([this] { return !batch_->isRunning(); }));
        Names rows;
        for (int row = 0; row < batch_->list->rowCount(); ++row) {
            QModelIndex status = batch_->list->index(row, BatchTableModel::kStatusColumn);
            rows.push_back(fs::path(batch_->list->rows()[row].path).filename().string() + ": " +
                           text(status.data().toString()) + " (" +
                           text(status.data(Qt::ToolTipRole).toString()) + ")");
        }
        return rows;
    }
    // A small tmpfs at destination; false where the machine doesn't allow it.
    bool mountSmall(std::size_t bytes) {
        fs::create_directories(destination());
        const std::string size = "size=" + std::to_string(bytes);
        mounted_ = ::getuid() == 0 &&
                   ::mount("tmpfs", destination().c_str(), "tmpfs", 0, size.c_str()) == 0;
        return mounted_;
    }

private:
    QWidget* window_ = nullptr;
    std::unique_ptr<BatchController> batch_;
    bool mounted_ = false;
};

TEST_F(HostileBatchTest, AnExistingThemeIsLeftUntouchedAndALeftoverOfAKilledRunIsSwept) {
    for (const char* name : {"Existing", "Linked", "New", "Taken"}) {
        writeFile(source() / name / firstDockFile(), std::string("image of ") + name);
    }
    writeFile(temp() / "outside/keep.txt", "kept");
    fs::create_directories(destination());
    fs::copy(stockTheme(), destination() / "Existing.docktheme", fs::copy_options::recursive);
    writeFile(destination() / "Taken.docktheme", "in the way");
    fs::create_directory_symlink(temp() / "outside", destination() / "Linked.docktheme");
    const fs::path leftover = destination() / ".velvanto-batch-Ab12Cd/Half.docktheme";
    writeFile(leftover / "Info.plist", "half");
    fs::create_directory_symlink(temp() / "outside", leftover / "escape");
    const Snapshot before = snapshot(temp());
    const std::string there = " is in the destination already; it was left untouched.)";
    EXPECT_EQ(runBatch(), (Names{"Existing: ERROR! (Existing.docktheme" + there,
                                 "Linked: ERROR! (Linked.docktheme" + there, "New: OK! (OK!)",
                                 "Taken: ERROR! (Taken.docktheme" + there}));
    EXPECT_EQ(alertTexts(),
              "Some Folders Not Converted: 3 of 4 folders could not be converted to .docktheme; "
              "their rows say ERROR!.");
    EXPECT_EQ(
        changed(before, snapshot(temp()), {"themes/New.docktheme"}),
        (Names{"themes/.velvanto-batch-Ab12Cd/", "themes/.velvanto-batch-Ab12Cd/Half.docktheme/",
               "themes/.velvanto-batch-Ab12Cd/Half.docktheme/Info.plist",
               "themes/.velvanto-batch-Ab12Cd/Half.docktheme/escape"}));
    EXPECT_EQ(readFile(destination() / "New.docktheme/images" / firstDockFile()), "image of New");
}

TEST_F(HostileBatchTest, AFullDestinationEndsErrorWithWhyAndNoHalfBundle) {
    std::size_t templateBytes = 0;
    for (const auto& file : fs::recursive_directory_iterator(stockTheme())) {
        templateBytes += file.is_regular_file() ? (file.file_size() + 4095) / 4096 * 4096 : 0;
    }
    if (!mountSmall(templateBytes + 512 * 1024)) {
        GTEST_SKIP() << "a small tmpfs can't be mounted here";
    }
    writeFile(source() / "Big" / firstDockFile(), std::string(2 << 20, 'b'));
    writeFile(source() / "Small" / firstDockFile(), "small");
    EXPECT_EQ(runBatch(), (Names{"Big: ERROR! (The image " + firstDockFile() +
                                     " could not be copied: No space left on device)",
                                 "Small: OK! (OK!)"}));
    EXPECT_EQ(entries(destination()), Names{"Small.docktheme"});
    EXPECT_TRUE(plainOnly(snapshot(destination())));
}
