// The batch converter: listing, the run, statuses, progress, refusals, a hostile destination.
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProgressBar>

#include "EditorTest.h"
#include "app/BatchController.h"
#include "app/BatchTableModel.h"
#include "model/BatchWorker.h"
#include "model/RichText.h"
#include "model/ThemeBundle.h"
#include "platform/SystemPaths.h"

class BatchTest : public EditorTest {
protected:
    using Rows = std::vector<std::pair<std::string, std::string>>;
    void TearDown() override {
        batch_.reset();  // the run ends before the log is given back
        if (mounted_) {
            ::umount2(destination().c_str(), MNT_DETACH);
        }
        EditorTest::TearDown();
    }
    fs::path source() const { return temp() / "source"; }
    fs::path destination() const { return temp() / "themes"; }
    // The Dock file name of the catalogue's first record.
    static std::string firstDockFile() {
        return *MiscKit::sharedFiles().dockFilesList().front().stringFor("Original");
    }
    // Sub-folders of the source, each holding one image under a Dock file name.
    void imageFolders(std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            writeFile(source() / name / firstDockFile(), "image of " + name);
        }
    }
    // The batch window and its controller alone, as the editor makes them, and
    // an empty destination; with chosen, the source chosen.
    BatchController& batch(bool chosen = true) {
        fs::create_directories(destination());
        batch_.reset();
        batch_ = std::make_unique<BatchController>(dialogs);
        if (chosen) {
            choose(*batch_);
        }
        return *batch_;
    }
    void choose(BatchController& b) {
        dialogs.panelAnswers = {qs(source())};
        b.btn_chooseSource();
    }
    // Starts a run into destination; with wait, waits for its end.
    void run(BatchController& b, bool wait = true) {
        dialogs.panelAnswers = {qs(destination())};
        b.btn_startBatch();
        if (wait) {
            EXPECT_TRUE(waitUntil([&b] { return !b.isRunning(); }));
        }
    }
    // Each row's folder name and status (and "(tooltip)" with tips), sorted.
    static Rows rows(const BatchController& b, bool tips = false) {
        Rows shown;
        for (int row = 0; row < b.list->rowCount(); ++row) {
            QModelIndex status = b.list->index(row, BatchTableModel::kStatusColumn);
            std::string tip = " (" + text(status.data(Qt::ToolTipRole).toString()) + ")";
            shown.emplace_back(fs::path(b.list->rows()[row].path).filename().string(),
                               text(status.data().toString()) + (tips ? tip : ""));
        }
        std::sort(shown.begin(), shown.end());
        return shown;
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
    std::unique_ptr<BatchController> batch_;
    bool mounted_ = false;
};

TEST_F(BatchTest, ListsTheSubFoldersOfTheSourceRefusesAnEmptyOneAndConvertsNoFiles) {
    imageFolders({"A", "B", "C"});
    writeFile(source() / "one.txt", "1");
    writeFile(source() / "two.png", "2");
    BatchController& b = batch();
    EXPECT_EQ(b.sourcePath->text(), qs(source()));
    const std::string waiting = "Waiting for start...";
    EXPECT_EQ(rows(b), (Rows{{"A", waiting}, {"B", waiting}, {"C", waiting}}));
    EXPECT_FALSE(b.progressInd->isVisibleTo(b.batch_window));
    fs::remove_all(source());
    fs::create_directories(source());
    BatchController& empty = batch();
    EXPECT_EQ(alertTexts(), "Empty Directory!: There is not any file in " + qs(source()) + ".");
    EXPECT_TRUE(empty.sourcePath->text().isEmpty());
    writeFile(source() / "only.txt", "a file");
    choose(empty);
    EXPECT_EQ(empty.list->rowCount(), 0);
    run(empty);
    EXPECT_EQ(alertTitles(), "Empty Directory!, Well, done!");
    EXPECT_TRUE(fs::is_empty(destination()));
    EXPECT_FALSE(empty.progressInd->isVisibleTo(empty.batch_window));
}

TEST_F(BatchTest, EveryRowEndsWithItsStatusAndCounts) {
    imageFolders({"Plain", "Nested", "with space", "line\nbreak", "bad\xff byte"});
    fs::create_directories(source() / "Nested/deeper");
    fs::create_directory_symlink(source() / "Plain", source() / "Linked");
    // Folders that give no image make no theme.
    fs::create_directories(source() / "Empty");
    writeFile(source() / "Notes/readme.png", "not a Dock image");
    BatchController& b = batch();
    int ended = 0;
    QObject::connect(&b, &BatchController::runEnded, [&ended] { ++ended; });
    run(b);
    const std::string nested = BatchWorker::kNested;
    const std::string ok = "OK! (OK!)",
                      none = "ERROR! (" + std::string(BatchWorker::kNoImages) + ")";
    EXPECT_EQ(rows(b, true), (Rows{{"Empty", none},
                                   {"Linked", ok},
                                   {"Nested", nested + " (" + nested + ")"},
                                   {"Notes", none},
                                   {"Plain", ok},
                                   {"bad\xff byte", ok},
                                   {"line\nbreak", ok},
                                   {"with space", ok}}));
    EXPECT_EQ(text(alertTexts()),
              "Some Folders Not Converted: 2 of 8 folders could not be converted to .docktheme; "
              "their rows say ERROR!. 2 of them took no image: a folder with no file named as the "
              "Dock names its images makes no theme. A row's tooltip says why it failed.");
    // Made by the user, as New makes a theme, without the stock theme's description.
    auto made = DockTheme::initWithBundleAtPath((destination() / "Plain.docktheme").string());
    ASSERT_TRUE(made);
    EXPECT_EQ(made->dockAuthor(), SystemPaths::fullUserName());
    EXPECT_EQ(made->description(), RichText());
    for (std::string name :
         {"Linked", "Nested", "Plain", "with space", "line\nbreak", "bad\xff byte"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(dockNameOf(destination() / (name + ".docktheme")), name);  // in Info.plist
        EXPECT_EQ(readFile(destination() / (name + ".docktheme") / "images" / firstDockFile()),
                  "image of " + (name == "Linked" ? "Plain" : name));
    }
    EXPECT_EQ(b.progressInd->value(), 8);
    EXPECT_FALSE(b.progressInd->isVisibleTo(b.batch_window));
    EXPECT_EQ(entries(destination()).size(), 6u);  // no hidden folder of a row is left
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(entries(source()).size(), 8u);  // nothing was written in the source
}

TEST_F(BatchTest, StartIsRefusedIntoTheSourceOrWhileARunGoesOnAndAllConvertedEndsWithThanks) {
    imageFolders({"A", "B", "C"});
    BatchController& b = batch(false);
    dialogs.panelAnswers = {qs(source())};
    b.btn_startBatch();  // no source yet: the source is chosen instead
    EXPECT_EQ(dialogs.panelTitles,
              std::vector<QString>{"Choose a folder with subfolder themes to convert"});
    dialogs.panelAnswers = {std::nullopt, qs(source()), qs(source()) + "/"};
    b.btn_startBatch();
    EXPECT_EQ(dialogs.beeps, 1);
    b.btn_startBatch();
    EXPECT_EQ(dialogs.beeps, 2);
    b.btn_startBatch();  // differs by a trailing slash: taken as another folder
    ASSERT_TRUE(b.isRunning());
    b.btn_startBatch();
    b.btn_chooseSource();
    EXPECT_EQ(dialogs.beeps, 4);
    EXPECT_EQ(dialogs.panelTitles.size(), 4u);
    EXPECT_TRUE(waitUntil([&b] { return !b.isRunning(); }));
    EXPECT_TRUE(fs::exists(source() / "A.docktheme/Info.plist"));
    EXPECT_EQ(alertTexts(),
              "Choose a different folder: You can't choose the same folder of source!\n"
              "Well, done!: All your resources folder was converted to .docktheme. Enjoy!");
    EXPECT_EQ(dialogs.alerts[1].button, "Thanks");
}

TEST_F(BatchTest, ClosingTheWindowOrQuittingStopsTheRunAfterItsCurrentRow) {
    imageFolders({"A", "B", "C"});
    for (bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit" : "close");
        fs::remove_all(destination());
        BatchController& b = batch(false);
        b.batch_window->show();
        choose(b);
        run(b, false);
        // No event is handled before, so the first row can't have been taken yet.
        quit ? b.waitForEnd() : (void)b.batch_window->close();
        EXPECT_TRUE(waitUntil([&b] { return !b.isRunning(); }));
        // The first row (in listing order) was converted whole, the others not begun.
        const std::string first = fs::path(b.list->rows()[0].path).filename().string();
        EXPECT_EQ(dockNameOf(destination() / (first + ".docktheme")), first);
        EXPECT_EQ(entries(destination()).size(), 1u);
        EXPECT_TRUE(dialogs.alerts.empty());
        if (!quit) {  // a quit handles no more events: the rows stay as they were
            EXPECT_EQ(std::ranges::count(rows(b), std::string("OK!"), &Rows::value_type::second),
                      1);
            EXPECT_FALSE(b.progressInd->isVisibleTo(b.batch_window));
        }
    }
}

TEST_F(BatchTest, AnExistingThemeIsLeftUntouchedAndALeftoverOfAKilledRunIsSwept) {
    imageFolders({"Existing", "Linked", "New", "Taken"});
    writeFile(temp() / "outside/keep.txt", "kept");
    fs::create_directories(destination());
    fs::copy(stockTheme(), destination() / "Existing.docktheme", fs::copy_options::recursive);
    writeFile(destination() / "Taken.docktheme", "in the way");
    fs::create_directory_symlink(temp() / "outside", destination() / "Linked.docktheme");
    const fs::path leftover = destination() / ".velvanto-batch-Ab12Cd/Half.docktheme";
    writeFile(leftover / "Info.plist", "half");
    fs::create_directory_symlink(temp() / "outside", leftover / "escape");
    const auto before = without(snapshot(temp()), {"themes/.velvanto-batch-"});
    BatchController& b = batch();
    run(b);
    const std::string there = " is in the destination already; it was left untouched.)";
    EXPECT_EQ(rows(b, true), (Rows{{"Existing", "ERROR! (Existing.docktheme" + there},
                                   {"Linked", "ERROR! (Linked.docktheme" + there},
                                   {"New", "OK! (OK!)"},
                                   {"Taken", "ERROR! (Taken.docktheme" + there}}));
    EXPECT_EQ(alertTexts(),
              "Some Folders Not Converted: 3 of 4 folders could not be converted to .docktheme; "
              "their rows say ERROR!.");
    EXPECT_EQ(changes(before, without(snapshot(temp()), {"themes/New.docktheme"})),
              std::vector<std::string>{});
    EXPECT_EQ(readFile(destination() / "New.docktheme/images" / firstDockFile()), "image of New");
}

TEST_F(BatchTest, AnImageNotAPlainFileFailsItsRowAndUnreplacedFilesAreTheTemplates) {
    const std::string image = firstDockFile();
    imageFolders({"Fine", "Big"});
    fs::resize_file(source() / "Big" / image, ThemeBundle::kMaxImageBytes + 1);
    fs::create_directories(source() / "Fifo");
    ASSERT_EQ(::mkfifo((source() / "Fifo" / image).c_str(), 0600), 0);
    fs::create_directories(source() / "Link");
    fs::create_symlink(source() / "Fine" / image, source() / "Link" / image);
    fs::create_directories(source() / "Gone");
    BatchController& b = batch();
    // A folder that is a file by the time its row runs is an error, not a stock theme.
    fs::remove(source() / "Gone");
    writeFile(source() / "Gone", "no longer a folder");
    run(b);
    const std::string why = "ERROR! (The image " + image + " could not be copied: " + image;
    EXPECT_EQ(rows(b, true),
              (Rows{{"Big", why + " is larger than 16 MiB)"},
                    {"Fifo", why + " is not a plain file)"},
                    {"Fine", "OK! (OK!)"},
                    {"Gone", "ERROR! (The folder could not be read: Not a directory)"},
                    {"Link", why + " is not a plain file)"}}));
    EXPECT_EQ(entries(destination()).size(), 1u);
    // It opens: its table names files it has.
    EXPECT_EQ(dockNameOf(destination() / "Fine.docktheme"), "Fine");
    auto made = snapshot(destination() / "Fine.docktheme");
    const auto stock = snapshot(stockTheme());
    EXPECT_EQ(made.size(), stock.size());
    const std::vector<std::string> own{"Info.plist", "images/" + image, "preview_micro.png",
                                       "description.rtf"};
    EXPECT_EQ(changes(without(stock, own), without(made, own)), std::vector<std::string>{});
    // Its small picture is drawn from its own images.
    EXPECT_NE(made["preview_micro.png"], stock.at("preview_micro.png"));
}

TEST_F(BatchTest, AFullDestinationEndsErrorWithWhyAndNoHalfBundle) {
    std::size_t templateBytes = 0;
    for (const auto& file : fs::recursive_directory_iterator(stockTheme())) {
        templateBytes += file.is_regular_file() ? (file.file_size() + 4095) / 4096 * 4096 : 0;
    }
    if (!mountSmall(templateBytes + 512 * 1024)) {
        GTEST_SKIP() << "a small tmpfs can't be mounted here";
    }
    writeFile(source() / "Big" / firstDockFile(), std::string(2 << 20, 'b'));
    writeFile(source() / "Small" / firstDockFile(), "small");
    BatchController& b = batch();
    run(b);
    EXPECT_EQ(rows(b, true), (Rows{{"Big", "ERROR! (The image " + firstDockFile() +
                                               " could not be copied: No space left on device)"},
                                   {"Small", "OK! (OK!)"}}));
    EXPECT_EQ(entries(destination()).size(), 1u);
    EXPECT_TRUE(std::ranges::none_of(snapshot(destination()), [](const auto& entry) {
        return entry.second.starts_with("-> ") || entry.second == "(special)";
    }));
}
