// Drops on the selection preview, the screenshot and the small preview, and their undo.
#include <QStatusBar>
#include <QUndoStack>

#include "EditorTest.h"
#include "model/ThemeBundle.h"

class SlotDropTest : public EditorTest {
protected:
    static void dropOnSlot(MainController& c, const QString& path) {
        c.setFileImagePathForSelection(
            path, named<DragDropImageView>("Selected image (drop an image to replace it)"));
    }
};

// Info.plist's table after a replacement and the old image gone: DockThemeTest and
// HostileThemeTest.ReplacingRemovesOnlyARegularFileNoKeyNamesAnyMore.
TEST_F(SlotDropTest, ADropReplacesTheSelectedSlotUnderItsFileNameOrAGeneratedOneIn2DAnd3D) {
    MainController& c = start();
    openTheme(c);
    QString red = picture("red.png", QSize(128, 4));
    int first = rowOf(c, "Separator_Horizontal");
    int second = rowOf(c, "Separator_Vertical");
    for (bool generated : {false, true}) {
        UserDefaults().setBool(UserDefaults::kGenerateUUID, generated);
        for (int row : {first, second}) {
            select(c, {row});
            dropOnSlot(c, red);
        }
        QString name1 = QFileInfo(imagePath(c, first)).fileName();
        QString name2 = QFileInfo(imagePath(c, second)).fileName();
        if (generated) {
            EXPECT_EQ(name1.size(), 36);
            EXPECT_EQ(name2.size(), 36);
            EXPECT_NE(name1, name2);
            EXPECT_FALSE(name1.contains('.'));
        } else {
            EXPECT_EQ(name1, "red.png");
            // the second drop of red.png
            EXPECT_EQ(alertTexts(), "Duplicate file: This file already exist in theme package");
            EXPECT_EQ(dialogs.beeps, 1);
        }
        EXPECT_EQ(bytes(imagePath(c, first)), bytes(red));
        // Re-selected, and the panel followed the selection.
        EXPECT_EQ(c.editorView().selectedSlots(), QList<int>{second});
        EXPECT_EQ(named<QLabel>("Image file name")->text(), name2);
    }
    EXPECT_TRUE(log.has("set new path " + text(red) + " (key: Separator_Horizontal)"));
    // A replacement in 3D keeps showing the 3D images.
    UserDefaults().setBool(UserDefaults::kGenerateUUID, false);
    choose(named<QComboBox>("Images of the 2D or 3D Dock"), 1);
    int row = rowOf(c, "Keystone_Base_L");
    select(c, {row});
    dropOnSlot(c, picture("floor.png", {256, 64}));
    EXPECT_EQ(named<QComboBox>("Images of the 2D or 3D Dock")->currentIndex(), 1);
    EXPECT_EQ(c.editorView().slotCount(), 16);
    EXPECT_EQ(c.editorView().selectedSlots(), QList<int>{row});
    EXPECT_EQ(named<QLabel>("Image file name")->text(), "floor.png");
}

TEST_F(SlotDropTest, ARefusedOrDuplicateDropOrNoSelectionLeavesTheSlotAndUndoPutsTheOldBack) {
    MainController& c = start();
    int row = openAndSelect(c, "Separator_Horizontal");
    QString before = imagePath(c, row);
    // A refusal is told (its reasons, a FIFO or a file over 16 MiB among them: HostileThemeTest).
    QString folder = at("folder.png");
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto untouched = snapshot(temp());
    dropOnSlot(c, folder);
    EXPECT_EQ(alertTexts(), "Image Not Replaced: " + folder +
                                " was not put in the theme: it is not a readable file.");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(log.has("Cannot copy " + text(folder)));
    EXPECT_EQ(imagePath(c, row), before);
    EXPECT_EQ(changes(untouched, snapshot(temp())), std::vector<std::string>{});
    // The slot's own name is a duplicate.
    dialogs.alerts.clear();
    QString copy = at(text(QFileInfo(before).fileName()));
    ASSERT_TRUE(QFile::copy(before, copy));
    dropOnSlot(c, copy);
    EXPECT_EQ(alertTitles(), "Duplicate file");
    select(c, {});
    dropOnSlot(c, picture("four.png", {4, 4}));
    EXPECT_EQ(dialogs.beeps, 3);  // the refusal, the duplicate, then no selection
    EXPECT_EQ(mainWindow()->statusBar()->currentMessage(),
              "No image is selected: select one among the thumbnails first.");
    EXPECT_EQ(c.session().history().count(), 0);
    // Undo puts back the old image byte for byte, and Info.plist with it.
    const QString theme = qs(c.session().theme()->dockPath());
    row = rowOf(c, "Angle_Left_Up");
    select(c, {row});
    QString oldPath = imagePath(c, row);
    std::string oldBytes = bytes(oldPath);
    std::string oldInfo = bytes(theme + "/Info.plist");
    QString shadow = picture("corner.png", {300, 24}, Qt::black);
    dropOnSlot(c, shadow);
    EXPECT_FALSE(QFile::exists(oldPath));  // gone from the bundle, kept aside
    std::string newInfo = bytes(theme + "/Info.plist");
    QAction* undo = action("Undo Replace Corner, top left");
    ASSERT_TRUE(undo);
    EXPECT_EQ(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    undo->trigger();
    EXPECT_EQ(bytes(oldPath), oldBytes);
    EXPECT_EQ(bytes(theme + "/Info.plist"), oldInfo);
    EXPECT_FALSE(QFile::exists(theme + "/images/corner.png"));
    EXPECT_EQ(imagePath(c, row), oldPath);
    EXPECT_EQ(named<QLabel>("Image file name")->text(), QFileInfo(oldPath).fileName());
    c.session().history().redo();
    EXPECT_EQ(bytes(theme + "/images/corner.png"), bytes(shadow));
    EXPECT_EQ(bytes(theme + "/Info.plist"), newInfo);
    EXPECT_FALSE(QFile::exists(oldPath));
    // Beyond the history's bound the oldest steps go with their copies; the newest stays.
    c.session().setHistoryBytes(1);
    std::vector<std::pair<int, std::string>> kept;  // row, bytes before its drop
    for (const char* key : {"Separator_Horizontal", "Separator_Vertical"}) {
        const int other = rowOf(c, key);
        kept.emplace_back(other, bytes(imagePath(c, other)));
        select(c, {other});
        dropOnSlot(c, picture(QString(key) + ".png", {40, 40}));
    }
    c.session().history().undo();
    EXPECT_EQ(bytes(imagePath(c, kept[1].first)), kept[1].second);
    EXPECT_FALSE(c.session().history().canUndo()) << "the older steps can no longer be undone";
    EXPECT_EQ(bytes(theme + "/images/corner.png"), bytes(shadow));
    EXPECT_NE(bytes(imagePath(c, kept[0].first)), kept[0].second);
    c.btn_closeTheme();
    EXPECT_EQ(c.session().history().count(), 0);
}

TEST_F(SlotDropTest, ScreenshotAndMicroPreviewDropsReachTheThemeAndAFailedCopyChangesNothing) {
    MainController& c = start();
    auto* preview = named<DragDropImageView>("Theme preview picture");
    auto* screenshot = named<DragDropImageView>("Dock screenshot");
    QString blue = picture("blue.png", {20, 10}, Qt::blue);
    preview->setImage(QImage(4, 4, QImage::Format_RGB32));
    c.setFileImagePathForSelection(blue, preview);  // no theme: the picture goes
    EXPECT_TRUE(preview->image().isNull());
    EXPECT_EQ(dialogs.beeps, 0);
    QString theme = openTheme(c);
    QString shot = theme + "/preview_3d.png";
    std::string oldShot = bytes(shot);
    QString folder = at("dir.png");
    ASSERT_TRUE(QDir().mkpath(folder));
    QString upper = picture("SHOT.PNG", {40, 10});
    QString fresh = picture("shot.png", {40, 10}, Qt::yellow);
    const auto untouched = snapshot(temp());
    QImage shown = screenshot->image();
    for (const QString& refused : {upper, folder, theme + "/Info.plist"}) {
        c.setFileImagePathForSelection(refused, screenshot);
    }
    EXPECT_EQ(dialogs.beeps, 3);
    EXPECT_TRUE(log.has("Cannot copy " + text(folder)));
    EXPECT_EQ(changes(untouched, snapshot(temp())), std::vector<std::string>{});
    EXPECT_EQ(screenshot->image(), shown);
    EXPECT_EQ(c.session().history().count(), 0);
    c.setFileImagePathForSelection(fresh, screenshot);
    EXPECT_EQ(bytes(shot), bytes(fresh));
    EXPECT_TRUE(pictured(c));
    EXPECT_EQ(screenshot->image().size(), QSize(40, 10));
    c.session().history().undo();
    EXPECT_EQ(bytes(shot), oldShot);
    c.session().history().redo();
    EXPECT_EQ(bytes(shot), bytes(fresh));
    // A step that fails is told and leaves the history.
    fs::remove(text(shot));
    fs::create_directory(text(shot));
    dialogs.alerts.clear();
    c.session().history().undo();
    EXPECT_EQ(alertTitles(), "Picture Not Replaced");
    EXPECT_EQ(dialogs.beeps, 4);
    EXPECT_EQ(c.session().history().count(), 0);
    // The small preview (its undo's bytes are the hostile editor's test).
    c.setFileImagePathForSelection(blue, preview);
    EXPECT_EQ(bytes(qs(ThemeBundle::microPreviewPath(text(theme)))), bytes(blue));
    EXPECT_TRUE(pictured(c));
    EXPECT_EQ(preview->image().size(), QSize(20, 10));
    c.session().history().undo();
    EXPECT_TRUE(pictured(c));
    EXPECT_NE(preview->image().size(), QSize(20, 10));
}
