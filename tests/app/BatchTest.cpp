// The batch converter: listing, the run on its worker, statuses, progress,
// the end sheet, refusals while it runs, and closing the window mid-run.
#include <QLineEdit>
#include <QProgressBar>

#include "EditorTest.h"
#include "app/BatchController.h"
#include "app/BatchTableModel.h"
#include "app/BatchWorker.h"
#include "model/MiscKit.h"

namespace fs = std::filesystem;

class BatchTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        fs::create_directories(destination());
    }
    void TearDown() override {
        batch_.reset();  // the worker ends before the log is given back
        delete window_;
        EditorTest::TearDown();
    }
    fs::path source() const { return temp() / "source"; }
    fs::path destination() const { return temp() / "themes"; }
    static QString q(const fs::path& path) { return QString::fromStdString(path.string()); }
    // The Dock file name of the catalogue's first record.
    static std::string firstDockFile() {
        return *MiscKit::sharedFiles().dockFilesList().front().stringFor("Original");
    }
    // A sub-folder of the source holding one image under a Dock file name.
    void imageFolder(const std::string& name) {
        writeFile(source() / name / firstDockFile(), "image of " + name);
    }
    // The batch window and its controller alone, as the editor makes them.
    BatchController& batch() {
        window_ = BatchController::makeWindow(nullptr);
        batch_ = std::make_unique<BatchController>(window_, dialogs);
        return *batch_;
    }
    void choose(BatchController& b, const fs::path& folder) {
        dialogs.panelAnswers = {q(folder)};
        b.btn_chooseSource();
    }
    // Starts a run into destination and waits for its end.
    void run(BatchController& b) {
        dialogs.panelAnswers = {q(destination())};
        b.btn_startBatch();
        EXPECT_TRUE(waitUntil([&b] { return !b.isRunning(); }));
    }
    // Each row's folder name and status, in row order.
    static std::vector<std::pair<std::string, std::string>> rows(const BatchController& b) {
        std::vector<std::pair<std::string, std::string>> shown;
        for (const auto& row : b.list->rows()) {
            shown.emplace_back(fs::path(row.path).filename().string(), row.status.toStdString());
        }
        std::sort(shown.begin(), shown.end());
        return shown;
    }
    std::string nameIn(const std::string& bundle) const {
        auto theme = DockTheme::initWithBundleAtPath((destination() / bundle).string());
        return theme ? theme->dockName().value_or("(none)") : "(invalid)";
    }
    CapturedLog log;

private:
    QWidget* window_ = nullptr;
    std::unique_ptr<BatchController> batch_;
};

TEST_F(BatchTest, ListsTheSubFoldersOfTheSource) {
    for (const char* name : {"A", "B", "C"}) {
        imageFolder(name);
    }
    writeFile(source() / "one.txt", "1");
    writeFile(source() / "two.png", "2");
    BatchController& b = batch();
    choose(b, source());
    EXPECT_EQ(b.sourcePath->text(), q(source()));
    EXPECT_EQ(rows(b),
              (std::vector<std::pair<std::string, std::string>>{{"A", "Waiting for start..."},
                                                                {"B", "Waiting for start..."},
                                                                {"C", "Waiting for start..."}}));
    EXPECT_EQ(b.list->headerData(1, Qt::Horizontal, BatchTableModel::kIdentifierRole), "STATUS");
    EXPECT_EQ(b.list->index(0, 1).data().toString(), "Waiting for start...");
    EXPECT_EQ(b.list->index(0, 0).data().toString().toStdString(), b.list->rows()[0].path);
    auto logged = log.lines();
    EXPECT_EQ(
        std::count_if(logged.begin(), logged.end(),
                      [this](const std::string& l) { return l.starts_with(source().string()); }),
        5);
    EXPECT_NE(std::find(logged.begin(), logged.end(), "3 elements"), logged.end());
    EXPECT_FALSE(b.progressInd->isVisibleTo(b.batch_window));
}

TEST_F(BatchTest, AnEmptySourceIsRefusedAndAFolderOfFilesConvertsNothing) {
    fs::create_directories(source());
    BatchController& b = batch();
    choose(b, source());
    ASSERT_EQ(dialogs.alerts.size(), 1u);
    EXPECT_EQ(dialogs.alerts[0].title, "Empty Directory!");
    EXPECT_EQ(dialogs.alerts[0].message, "There is not any file in " + q(source()) + ".");
    EXPECT_TRUE(b.sourcePath->text().isEmpty());
    writeFile(source() / "only.txt", "a file");
    choose(b, source());
    EXPECT_EQ(b.list->rowCount(), 0);
    run(b);
    EXPECT_EQ(alertTitles(), "Empty Directory!, Well, done!");
    EXPECT_TRUE(fs::is_empty(destination()));
    EXPECT_FALSE(b.progressInd->isVisibleTo(b.batch_window));
}

TEST_F(BatchTest, EveryRowEndsWithItsStatusAndCounts) {
    imageFolder("Plain");
    imageFolder("Nested");
    fs::create_directories(source() / "Nested/deeper");
    imageFolder("Taken");  // a plain file holds its bundle's name at the destination
    writeFile(destination() / "Taken.docktheme", "in the way");
    imageFolder("Existing");  // a bundle of its name is there already: it is filled
    fs::copy(stockTheme(), destination() / "Existing.docktheme", fs::copy_options::recursive);
    imageFolder("with space");
    imageFolder("line\nbreak");
    imageFolder("bad\xff byte");
    fs::create_directory_symlink(source() / "Plain", source() / "Linked");
    BatchController& b = batch();
    choose(b, source());
    int ended = 0;
    QObject::connect(&b, &BatchController::runEnded, [&ended] { ++ended; });
    run(b);
    const std::string nested = BatchWorker::kNested;
    EXPECT_EQ(rows(b), (std::vector<std::pair<std::string, std::string>>{{"Existing", "OK!"},
                                                                         {"Linked", "OK!"},
                                                                         {"Nested", nested},
                                                                         {"Plain", "OK!"},
                                                                         {"Taken", "ERROR!"},
                                                                         {"bad\xff byte", "OK!"},
                                                                         {"line\nbreak", "OK!"},
                                                                         {"with space", "OK!"}}));
    for (const char* name :
         {"Existing", "Linked", "Nested", "Plain", "with space", "line\nbreak", "bad\xff byte"}) {
        SCOPED_TRACE(name);
        const std::string bundle = std::string(name) + ".docktheme";
        EXPECT_EQ(nameIn(bundle), name);  // the folder's name, written to Info.plist
        const std::string image = readFile(destination() / bundle / "images" / firstDockFile());
        EXPECT_EQ(image, "image of " + std::string(name == std::string("Linked") ? "Plain" : name));
    }
    EXPECT_EQ(readFile(destination() / "Taken.docktheme"), "in the way");
    // The failed row counts too: the bar reaches the row count and hides.
    EXPECT_EQ(b.progressInd->value(), 8);
    EXPECT_EQ(b.progressInd->maximum(), 8);
    EXPECT_FALSE(b.progressInd->isVisibleTo(b.batch_window));
    ASSERT_EQ(dialogs.alerts.size(), 1u);
    EXPECT_EQ(dialogs.alerts[0].title, "Some Folders Not Converted");
    EXPECT_EQ(dialogs.alerts[0].message,
              "1 of 8 folders could not be converted to .docktheme; their rows say ERROR!.");
    EXPECT_EQ(ended, 1);
    // Nothing was written in the source.
    EXPECT_EQ(std::distance(fs::directory_iterator(source()), fs::directory_iterator()), 8);
}

TEST_F(BatchTest, AllConvertedEndsWithThanks) {
    imageFolder("One");
    imageFolder("Two");
    BatchController& b = batch();
    choose(b, source());
    run(b);
    ASSERT_EQ(dialogs.alerts.size(), 1u);
    EXPECT_EQ(dialogs.alerts[0].title, "Well, done!");
    EXPECT_EQ(dialogs.alerts[0].button, "Thanks");
    EXPECT_EQ(dialogs.alerts[0].message,
              "All your resources folder was converted to .docktheme. Enjoy!");
    EXPECT_EQ(b.progressInd->value(), 2);
    EXPECT_FALSE(b.progressInd->isVisibleTo(b.batch_window));
}

TEST_F(BatchTest, TheDestinationMustBeAnotherFolder) {
    imageFolder("One");
    BatchController& b = batch();
    dialogs.panelAnswers = {q(source())};
    b.btn_startBatch();  // no source yet: the source is chosen instead
    EXPECT_EQ(dialogs.panelTitles,
              std::vector<QString>{"Choose a folder with subfolder themes to convert"});
    dialogs.panelAnswers = {std::nullopt, q(source()), q(source()) + "/"};
    b.btn_startBatch();
    EXPECT_EQ(dialogs.beeps, 1);
    b.btn_startBatch();
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(alertTitles(), "Choose a different folder");
    EXPECT_EQ(dialogs.alerts[0].message, "You can't choose the same folder of source!");
    b.btn_startBatch();  // differs by a trailing slash: taken as another folder
    EXPECT_TRUE(waitUntil([&b] { return !b.isRunning(); }));
    EXPECT_TRUE(fs::exists(source() / "One.docktheme/Info.plist"));
}

TEST_F(BatchTest, StartAndChooseAreRefusedWhileARunGoesOn) {
    for (const char* name : {"A", "B", "C"}) {
        imageFolder(name);
    }
    BatchController& b = batch();
    choose(b, source());
    dialogs.panelAnswers = {q(destination())};
    b.btn_startBatch();
    ASSERT_TRUE(b.isRunning());
    const std::size_t panels = dialogs.panelTitles.size();
    b.btn_startBatch();
    b.btn_chooseSource();
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(dialogs.panelTitles.size(), panels);
    EXPECT_TRUE(waitUntil([&b] { return !b.isRunning(); }));
    EXPECT_EQ(alertTitles(), "Well, done!");
}

TEST_F(BatchTest, ClosingTheWindowStopsTheRunAfterItsCurrentRow) {
    for (const char* name : {"A", "B", "C"}) {
        imageFolder(name);
    }
    BatchController& b = batch();
    b.batch_window->show();
    choose(b, source());
    dialogs.panelAnswers = {q(destination())};
    b.btn_startBatch();
    // No event is handled before the close, so the first row can't have been taken yet.
    b.batch_window->close();
    EXPECT_TRUE(waitUntil([&b] { return !b.isRunning(); }));
    EXPECT_EQ(std::distance(fs::directory_iterator(destination()), fs::directory_iterator()), 1);
    auto shown = rows(b);
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                            [](const auto& row) { return row.second == "OK!"; }),
              1);
    EXPECT_TRUE(dialogs.alerts.empty());
    EXPECT_FALSE(b.progressInd->isVisibleTo(b.batch_window));
}

TEST_F(BatchTest, QuittingDuringARunWaitsForTheWorker) {
    for (const char* name : {"A", "B"}) {
        imageFolder(name);
    }
    BatchController& b = batch();
    choose(b, source());
    dialogs.panelAnswers = {q(destination())};
    b.btn_startBatch();
    b.waitForEnd();
    EXPECT_FALSE(b.isRunning());
    // The first row (in listing order) was converted whole, the second not begun.
    const std::string first = fs::path(b.list->rows()[0].path).filename().string();
    EXPECT_EQ(nameIn(first + ".docktheme"), first);
    EXPECT_EQ(std::distance(fs::directory_iterator(destination()), fs::directory_iterator()), 1);
}
