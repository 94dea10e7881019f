// Hostile themes and faults in the editor: FIFOs, huge and sparse images,
// descriptions it can't read, Dock images that don't copy, defective paths and
// leftovers. Each checks what the user is told and what reached the disk.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QUndoStack>

#include <chrono>
#include <thread>

#include "EditorTest.h"
#include "app/ScreenshotRenderer.h"
#include "app/ThumbnailLoader.h"

namespace {

constexpr std::uintmax_t kMiB = 1024 * 1024;

// Lets go any reader the editor leaves waiting on the FIFOs, so that a hang
// becomes a failure: once some seconds passed without stop(), and at stop().
// Opening a FIFO for writing without waiting succeeds only while it has a
// reader, and then lets the reader go.
class FifoWatch {
public:
    explicit FifoWatch(std::vector<fs::path> fifos) : fifos_(std::move(fifos)) {
        thread_ = std::thread([this] {
            std::unique_lock lock(mutex_);
            while (
                !changed_.wait_for(lock, std::chrono::seconds(20), [this] { return stopped_; })) {
                release();
            }
        });
    }
    ~FifoWatch() { stop(); }
    // Ends the watch; whether the editor ever had a FIFO open.
    bool stop() {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
        release();
        return released_;
    }

private:
    void release() {
        for (const fs::path& fifo : fifos_) {
            int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                released_ = true;
                ::close(fd);
            }
        }
    }

    std::vector<fs::path> fifos_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopped_ = false;
    std::atomic<bool> released_ = false;
    std::thread thread_;
};

// A file of size bytes that takes no room on the disk.
void sparse(const fs::path& path, std::uintmax_t size) {
    fs::remove(path);
    TestEnvironment::writeFile(path, "");
    fs::resize_file(path, size);
}

void fifo(const fs::path& path) {
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
}

std::string fileOf(const QString& theme, const char* key) {
    auto opened = DockTheme::initWithBundleAtPath(theme.toStdString());
    return *opened->getFileNameForKey(key, DockCategory::TwoD);
}

}  // namespace

class HostileEditorTest : public EditorTest {
protected:
    fs::path cache() const { return home() / ".cache/Velvanto"; }
    // This process's temporary folder, as a snapshot names it.
    std::string ownFolder() const {
        return "home/.cache/Velvanto/tmp-" + std::to_string(::getpid()) + "/";
    }
    // Replaces the slot's image with a picture of its own name: the answers to
    // the questions are scripted before.
    void replace(MainController& c, const char* key, const QString& with) {
        select(c, {rowOf(c, key)});
        c.setFileImagePathForSelection(with, c.selection_preview);
    }
};

TEST_F(HostileEditorTest, FifoPicturesNeverHangOpeningBrowsingPreviewingOrQuitting) {
    for (const char* made : {"preview_micro.png", "preview_3d.png", "slots"}) {
        SCOPED_TRACE(made);
        MainController& c = start();
        QString theme = themeCopy(made);
        fs::path bundle = theme.toStdString();
        std::vector<fs::path> fifos;
        if (std::string_view(made) == "slots") {
            // Two of them, one for each thumbnail worker.
            for (const char* key : {"Separator_Horizontal", "Separator_Vertical"}) {
                fifos.push_back(bundle / "images" / fileOf(theme, key));
            }
        } else {
            fifos.push_back(bundle / made);
        }
        for (const fs::path& path : fifos) {
            fifo(path);
        }
        auto before = snapshot(temp());
        before.erase(ownFolder());  // removed at quit
        FifoWatch watch(fifos);
        ASSERT_TRUE(c._openThemeAtPath(theme));
        c.btn_showEditorDock(MainController::kEditorTab);
        for (const char* key : {"Separator_Horizontal", "Separator_Vertical"}) {
            select(c, {rowOf(c, key)});
            c.thumbnails().thumbnail(imagePath(c, rowOf(c, key)), QSize(64, 64));
        }
        c.btn_show_previewPanel();
        EXPECT_TRUE(waitUntil([&] { return c.thumbnails().pending() == 0; }));
        // The Dock screenshots' copy of the images leaves the FIFOs out.
        fs::create_directory(temp() / "gathered");
        ScreenshotRenderer::gatherImages(*c.currentTheme, at("gathered"));
        for (const auto& entry : fs::directory_iterator(temp() / "gathered")) {
            EXPECT_TRUE(entry.is_regular_file()) << entry.path();
        }
        fs::remove_all(temp() / "gathered");
        controller.reset();  // quitting returns
        EXPECT_FALSE(watch.stop());
        EXPECT_EQ(snapshot(temp()), before);
        EXPECT_EQ(alertTexts(), "");
    }
}

TEST_F(HostileEditorTest, ImagesOverSixteenMiBAreRefusedOrAskedAboutBeforeUndoIsLost) {
    MainController& c = start();
    QString theme = openTheme(c);
    fs::path bundle = theme.toStdString();
    // A new image over the limit is refused with the reason; nothing changes.
    QString big = at("big.png");
    sparse(big.toStdString(), 17 * kMiB);
    auto untouched = snapshot(temp());
    replace(c, "Separator_Horizontal", big);
    EXPECT_EQ(alertTexts(), "Image Not Replaced: " + big +
                                " was not put in the theme: it is larger than 16 MiB.");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(snapshot(temp()), untouched);
    // An old image of 4 GiB is not copied for undo: the user is asked first.
    std::string old = fileOf(theme, "Separator_Vertical");
    sparse(bundle / "images" / old, 4096 * kMiB);
    QString red = picture("red.png", {8, 8});
    for (bool agreed : {false, true}) {
        untouched = snapshot(temp());
        dialogs.askAnswers = {agreed};
        replace(c, "Separator_Vertical", red);
        ASSERT_EQ(dialogs.asked.size(), agreed ? 2u : 1u);
        EXPECT_EQ(dialogs.asked.back().title, "Replace Without Undo?");
        EXPECT_EQ(dialogs.asked.back().message,
                  QString::fromStdString("“" + old +
                                         "” is larger than 16 MiB and can't be kept "
                                         "for undo. Replace it anyway?"));
        EXPECT_EQ(c.history().count(), 0);
        // Nothing of the 4 GiB reached the editor's temporary folder.
        for (const auto& [file, content] : snapshot(temp())) {
            EXPECT_TRUE(!file.starts_with("home/.cache") || file.ends_with("/")) << file;
        }
        if (!agreed) {
            EXPECT_EQ(snapshot(temp()), untouched);
        }
    }
    EXPECT_FALSE(fs::exists(bundle / "images" / old));
    EXPECT_EQ(bytes(theme + "/images/red.png"), bytes(red));
}

TEST_F(HostileEditorTest, DescriptionsAreRewrittenOnlyWhenEditedAndAnUnreadableOneOnlyWhenAgreed) {
    const std::string deep = "{\\rtf1 " + std::string(300, '{') + "x" + std::string(300, '}') + "}";
    struct Case {
        const char* name;
        std::string file;
        const char* shown;
    };
    for (const Case& each :
         {Case{"plain", "Just words\nand more", "Just words\nand more"},
          Case{"bom", "\xEF\xBB\xBF\n{\\rtf1 Marked}", "Marked"}, Case{"deep", deep, ""}}) {
        SCOPED_TRACE(each.name);
        MainController& c = start();
        QString theme = themeCopy(each.name);
        fs::path description = theme.toStdString() + "/description.rtf";
        writeFile(description, each.file);
        ASSERT_TRUE(c._openThemeAtPath(theme));
        EXPECT_EQ(c.previewdock_description->toPlainText(), each.shown);
        c.previewdock_author->setText("Someone Else");
        emit c.previewdock_author->textEdited("Someone Else");
        EXPECT_TRUE(c.btn_saveInfo());
        EXPECT_EQ(readFile(description), each.file);
        EXPECT_FALSE(c.hasUnsavedInformation());
    }
    // An edit over the description that could not be read is asked about.
    MainController& c = *controller;
    fs::path description = c.currentTheme->dockPath() + "/description.rtf";
    for (bool agreed : {false, true}) {
        dialogs.askAnswers = {agreed};
        c.previewdock_description->setPlainText("New words");
        EXPECT_TRUE(c.hasEditedDescription());
        EXPECT_EQ(c.btn_saveInfo(), agreed);
        EXPECT_EQ(dialogs.asked.back().title, "Replace Description?");
        EXPECT_EQ(dialogs.asked.back().message,
                  "The theme's description could not be read (description.rtf is damaged or too "
                  "complex to read). Saving replaces it with the text shown. Replace it?");
        EXPECT_EQ(readFile(description) == deep, !agreed);
    }
    EXPECT_EQ(c.currentTheme->description()->plainText(), "New words");
}

TEST_F(HostileEditorTest, ImagesThatDoNotCopyAreListedAndNoThemeIsLeft) {
    writeFile(dockResources() / "Separator.png", "installed separator");
    writeFile(temp() / "art/Separator.png", "my separator");
    // Fails even for the administrator: too large.
    sparse(dockResources() / "frontline.png", 17 * kMiB);
    sparse(temp() / "art/frontline.png", 17 * kMiB);
    struct Case {
        void (MainController::*command)();
        std::deque<std::optional<QString>> answers;
        QString folder;
    };
    const std::vector<Case> cases = {
        {&MainController::btn_backupMyCurrentDock, {at("Mine")}, qs(dockResources())},
        {&MainController::btn_generateThemeFromFolder, {at("art"), at("Mine")}, at("art")},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(text(each.folder));
        MainController& c = start();
        dialogs.alerts.clear();
        auto before = snapshot(temp());
        dialogs.panelAnswers = each.answers;
        (c.*each.command)();
        EXPECT_EQ(alertTexts(), "Theme Not Created: The theme could not be created at " +
                                    at("Mine.docktheme") + ": these images of " + each.folder +
                                    " could not be copied: frontline.png (frontline.png is larger "
                                    "than 16 MiB).");
        EXPECT_FALSE(c.currentTheme);
        EXPECT_EQ(snapshot(temp()), before);
        EXPECT_EQ(QDir(at(""))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                      .filter("Mine"),
                  QStringList());
    }
}

TEST_F(HostileEditorTest, DefectivePathsSayWhyAndChangeNothing) {
    writeFile(temp() / "plain.docktheme", "not a folder");
    fs::create_directories(temp() / "empty.docktheme");
    QString linked = themeCopy("linked");
    fs::rename(linked.toStdString() + "/images", temp() / "pictures");
    fs::create_directory_symlink(temp() / "pictures", linked.toStdString() + "/images");
    const std::vector<std::pair<QString, QString>> cases = {
        {at("missing.docktheme"), "there is no theme folder at that place"},
        {at("plain.docktheme"), "there is no theme folder at that place"},
        {at("empty.docktheme"), "it has no readable Info.plist"},
        {linked, "its images folder is a link to another place"},
    };
    MainController& c = start();
    auto before = snapshot(temp());
    for (const auto& [path, reason] : cases) {
        dialogs.alerts.clear();
        c.setFileImagePathForSelection(path, c.welcome_image);
        EXPECT_EQ(alertTexts(), "Defective file: This theme can't be opened: " + reason + ".");
        EXPECT_FALSE(c.currentTheme);
    }
    EXPECT_EQ(dialogs.beeps, 4);
    EXPECT_EQ(snapshot(temp()), before);
}

TEST_F(HostileEditorTest, LeftoversOfKilledEditorsAndSavesGoAndUndoCopiesLiveInOneFolder) {
    // The folder of an editor that is gone, with a link to the user's file.
    pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    fs::path stale = cache() / ("tmp-" + std::to_string(gone));
    fs::path running = cache() / ("tmp-" + std::to_string(::getppid()));
    writeFile(stale / "1", "old undo copy");
    writeFile(running / "1", "another editor's undo copy");
    writeFile(temp() / "mine.txt", "the user's");
    fs::create_symlink(temp() / "mine.txt", stale / "link");
    QString theme = themeCopy("A");
    for (const char* leftover : {".velvanto-Info.plist-1", "images/.velvanto-x"}) {
        writeFile(theme.toStdString() + "/" + leftover, "half");
    }
    MainController& c = start();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_EQ(readFile(running / "1"), "another editor's undo copy");
    EXPECT_EQ(readFile(temp() / "mine.txt"), "the user's");
    ASSERT_TRUE(c._openThemeAtPath(theme));
    for (const char* leftover : {".velvanto-Info.plist-1", "images/.velvanto-x"}) {
        EXPECT_FALSE(fs::exists(theme.toStdString() + "/" + leftover)) << leftover;
    }
    // Undo copies of a picture live in this editor's folder, and undo reaches
    // the opened bundle even when its name now belongs to another folder.
    fs::path own = cache() / ("tmp-" + std::to_string(::getpid()));
    c.setFileImagePathForSelection(picture("small.png", {4, 4}), c.info_micropreview);
    EXPECT_EQ(std::distance(fs::directory_iterator(own), fs::directory_iterator()), 2);
    fs::rename(theme.toStdString(), temp() / "moved.docktheme");
    fs::create_directory(theme.toStdString());
    c.history().undo();
    EXPECT_TRUE(fs::is_empty(theme.toStdString()));
    EXPECT_EQ(readFile(temp() / "moved.docktheme/preview_micro.png"),
              readFile(stockTheme() / "preview_micro.png"));
    controller.reset();
    EXPECT_FALSE(fs::exists(own));
}
