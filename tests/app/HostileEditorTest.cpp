// Hostile themes in the editor: FIFOs, huge images, unreadable descriptions, leftovers.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QUndoStack>

#include <chrono>
#include <stop_token>
#include <thread>

#include "EditorTest.h"
#include "image/ThemeScreenshots.h"

namespace {

// Lets go every reader waiting on the FIFOs; whether there was one. Opening
// a FIFO for writing without waiting succeeds only while it has a reader.
bool releaseReaders(const std::vector<fs::path>& fifos) {
    bool released = false;
    for (const fs::path& fifo : fifos) {
        int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        released = released || fd >= 0;
        ::close(fd);
    }
    return released;
}

}  // namespace

class HostileEditorTest : public EditorTest {
protected:
    // This process's temporary folder, as a snapshot names it.
    static std::string ownFolder(pid_t pid = ::getpid()) {
        return "home/.cache/Velvanto/tmp-" + std::to_string(pid) + "/";
    }
    static constexpr const char* kSettings = "home/.config/Velvanto/Velvanto.conf";
    static fs::path image(const QString& theme, const char* key) {
        auto opened = DockTheme::initWithBundleAtPath(theme.toStdString());
        return theme.toStdString() + "/images/" +
               *opened->getFileNameForKey(key, DockCategory::TwoD);
    }
};

TEST_F(HostileEditorTest, FifoPicturesNeverHangOpeningBrowsingPreviewingOrQuitting) {
    const char* keys[] = {"Separator_Horizontal", "Separator_Vertical"};
    for (const char* made : {"preview_micro.png", "preview_3d.png", "slots"}) {
        SCOPED_TRACE(made);
        MainController& c = start();
        QString theme = themeCopy(made);
        // Two slots: one for each thumbnail worker.
        const std::vector<fs::path> fifos =
            std::string_view(made) == "slots"
                ? std::vector<fs::path>{image(theme, keys[0]), image(theme, keys[1])}
                : std::vector<fs::path>{theme.toStdString() + "/" + made};
        std::ranges::for_each(fifos, makeFifo);
        const auto before = without(snapshot(temp()), {ownFolder(), kSettings});  // gone at quit
        // A reader left waiting is let go every few seconds, so a hang fails.
        std::atomic<bool> released = false;
        std::jthread watch([&](std::stop_token stop) {
            std::mutex mutex;
            std::unique_lock lock(mutex);
            while (!std::condition_variable_any().wait_for(lock, stop, std::chrono::seconds(20),
                                                           [] { return false; }) &&
                   !stop.stop_requested()) {
                released = releaseReaders(fifos) || released;
            }
        });
        ASSERT_TRUE(c._openThemeAtPath(theme));
        c.btn_showEditorDock(MainController::kEditorTab);
        for (const char* key : keys) {
            select(c, {rowOf(c, key)});
            c.session().decoder().thumbnail(imagePath(c, rowOf(c, key)), QSize(64, 64));
        }
        c.btn_show_previewPanel();
        EXPECT_TRUE(waitUntil([&] { return c.session().decoder().pending() == 0; }));
        // The Dock screenshots' copy of the images leaves the FIFOs out.
        fs::create_directory(temp() / "gathered");
        ThemeScreenshots::gatherImages(*c.session().theme(), (temp() / "gathered").string());
        for (const auto& entry : fs::directory_iterator(temp() / "gathered")) {
            EXPECT_TRUE(entry.is_regular_file()) << entry.path();
        }
        fs::remove_all(temp() / "gathered");
        editor.reset();  // quitting returns
        watch.request_stop();
        watch.join();
        EXPECT_FALSE(releaseReaders(fifos) || released);
        // Only the settings change: the theme went first among the recent ones.
        EXPECT_EQ(without(snapshot(temp()), {kSettings}), before);
        EXPECT_EQ(UserDefaults().recentThemes().front(), theme.toStdString());
        EXPECT_EQ(alertTexts(), "");
    }
}

TEST_F(HostileEditorTest, DescriptionsAreRewrittenOnlyWhenEditedAndAnUnreadableOneOnlyWhenAgreed) {
    const std::string deep = "{\\rtf1 " + std::string(300, '{') + "x" + std::string(300, '}') + "}";
    for (auto [file, shown] :
         {std::pair<std::string, QString>{"Just words\nand more", "Just words\nand more"},
          {deep, ""}}) {
        MainController& c = start();
        QString theme = themeCopy("A" + shown.left(4));
        writeFile(theme.toStdString() + "/description.rtf", file);
        ASSERT_TRUE(c._openThemeAtPath(theme));
        EXPECT_EQ(named<QTextEdit>("Description")->toPlainText(), shown);
        type(named<QLineEdit>("Author"), "Someone Else");
        EXPECT_TRUE(c.btn_saveInfo());
        EXPECT_EQ(readFile(theme.toStdString() + "/description.rtf"), file);
    }
    // An edit over the description that could not be read is asked about.
    MainController& c = editor->main();
    fs::path description = c.session().theme()->dockPath() + "/description.rtf";
    for (bool agreed : {false, true}) {
        dialogs.askAnswers = {agreed};
        named<QTextEdit>("Description")->setPlainText("New words");
        EXPECT_TRUE(c.session().hasEditedDescription());
        EXPECT_EQ(c.btn_saveInfo(), agreed);
        EXPECT_EQ(text(dialogs.asked.back().title + ": " + dialogs.asked.back().message),
                  "Replace Description?: The theme's description could not be read "
                  "(description.rtf is damaged or too complex to read). Saving replaces it with "
                  "the text shown. Replace it?");
        EXPECT_EQ(readFile(description) == deep, !agreed);
    }
    EXPECT_EQ(c.session().theme()->description()->plainText(), "New words");
}

TEST_F(HostileEditorTest, LeftoversGoUndoCopiesLiveInOneFolderAndAnOldImageOver16MiBIsNotKept) {
    // The folder of an editor that is gone holds a link to the user's file.
    pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    writeFile(temp() / ownFolder(gone) / "1", "old undo copy");
    writeFile(temp() / ownFolder(::getppid()) / "1", "a running editor's undo copy");
    writeFile(temp() / "mine.txt", "the user's");
    fs::create_symlink(temp() / "mine.txt", temp() / ownFolder(gone) / "link");
    QString theme = themeCopy("A");
    MainController& c = start();
    EXPECT_FALSE(fs::exists(temp() / ownFolder(gone)));
    EXPECT_EQ(readFile(temp() / ownFolder(::getppid()) / "1"), "a running editor's undo copy");
    EXPECT_EQ(readFile(temp() / "mine.txt"), "the user's");
    ASSERT_TRUE(c._openThemeAtPath(theme));  // a bundle's leftovers: HostileThemeTest
    // Undo copies live in this editor's folder; undo reaches the opened
    // bundle even when its name now belongs to another folder.
    c.setFileImagePathForSelection(picture("small.png", {4, 4}),
                                   named<DragDropImageView>("Theme preview picture"));
    EXPECT_EQ(entries(temp() / ownFolder()).size(), 2u);
    fs::rename(theme.toStdString(), temp() / "moved.docktheme");
    fs::create_directory(theme.toStdString());
    c.session().history().undo();
    EXPECT_TRUE(fs::is_empty(theme.toStdString()));
    EXPECT_EQ(readFile(temp() / "moved.docktheme/preview_micro.png"),
              readFile(stockTheme() / "preview_micro.png"));
    editor.reset();
    EXPECT_FALSE(fs::exists(temp() / ownFolder()));
    // An old image over 16 MiB is not kept for undo, and the user is asked first.
    MainController& again = start();
    QString other = openTheme(again, "B");
    fs::path old = image(other, "Separator_Vertical");
    writeSparse(old, std::uintmax_t{4} << 30);
    QString red = picture("red.png", {8, 8});
    for (bool agreed : {false, true}) {
        const auto untouched = snapshot(temp());
        dialogs.askAnswers = {agreed};
        select(again, {rowOf(again, "Separator_Vertical")});
        again.setFileImagePathForSelection(
            red, named<DragDropImageView>("Selected image (drop an image to replace it)"));
        ASSERT_EQ(dialogs.asked.size(), agreed ? 2u : 1u);
        EXPECT_EQ(text(dialogs.asked.back().title + ": " + dialogs.asked.back().message),
                  "Replace Without Undo?: “" + old.filename().string() +
                      "” is larger than 16 MiB and can't be kept for undo. Replace it anyway?");
        EXPECT_EQ(again.session().history().count(), 0);
        EXPECT_TRUE(fs::is_empty(temp() / ownFolder()));  // nothing of the 4 GiB kept
        EXPECT_EQ(snapshot(temp()) == untouched, !agreed);
    }
    EXPECT_FALSE(fs::exists(old));
    EXPECT_EQ(bytes(other + "/images/red.png"), bytes(red));
}

// The selected slot's picture is read through the folder opened with the theme (a bomb or a
// link in the folder itself is the decoder's test; a picture shown, the browser's).
TEST_F(HostileEditorTest, APictureOutsideTheOpenedBundleIsNotShown) {
    const char* key = "Separator_Horizontal";
    MainController& c = start();
    QString theme = openTheme(c, "Linked");
    // Swapped after opening: the path leads outside, the opened folder does not.
    linkAway(image(theme, key).parent_path(), temp() / "outside");
    select(c, {rowOf(c, key)});
    ASSERT_TRUE(waitUntil([&] { return c.session().decoder().pending() == 0; }));
    EXPECT_TRUE(
        named<DragDropImageView>("Selected image (drop an image to replace it)")->image().isNull());
}
