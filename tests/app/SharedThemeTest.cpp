// The editor and velvanto-theme on one theme: nothing either writes is lost,
// and the window follows what the other program changed.
#include <QProcess>
#include <QStatusBar>
#include <QUndoStack>

#include "EditorTest.h"

using SharedThemeTest = EditorTest;

namespace {

// Runs velvanto-theme with arguments; whether it exited with 0.
bool command(const QStringList& arguments) {
    QProcess program;
    program.start(QStringLiteral(VELVANTO_THEME_PROGRAM), arguments);
    program.waitForFinished(60000);
    return program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0;
}

}  // namespace

TEST_F(SharedThemeTest, CommandLineChangesAreShownKeptAskedAboutOnConflictAndUndoneWhereTheyApply) {
    MainController& c = start();
    const QString theme = openTheme(c);
    const int row = rowOf(c, "Separator_Horizontal");
    select(c, {row});
    type(named<QLineEdit>("Author"), "Editor");
    // Another program replaces the selected slot's image and sets the version.
    ASSERT_TRUE(command(
        {"set-image", theme, "Separator_Horizontal", picture("blue.png", {60, 4}, Qt::blue)}));
    ASSERT_TRUE(command({"info", theme, "--set", "version=9"}));
    ASSERT_TRUE(waitUntil([&] {
        return QFileInfo(imagePath(c, rowOf(c, "Separator_Horizontal"))).fileName() == "blue.png";
    }));
    ASSERT_TRUE(waitUntil([&] { return named<QLineEdit>("Version")->text() == "9"; }));
    EXPECT_EQ(named<QLabel>("Image file name")->text(),
              "blue.png");                                    // still selected, its new file shown
    EXPECT_EQ(named<QLineEdit>("Author")->text(), "Editor");  // the unsaved edit stays
    EXPECT_TRUE(mainWindow()->statusBar()->currentMessage().contains("read again"));
    EXPECT_TRUE(dialogs.asked.empty());
    ASSERT_TRUE(c.btn_saveInfo());
    auto saved = DockTheme::initWithBundleAtPath(theme.toStdString());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->dockAuthor(), "Editor");
    EXPECT_EQ(saved->version(), "9");
    EXPECT_EQ(saved->getFileNameForKey("Separator_Horizontal", DockCategory::TwoD), "blue.png");

    // Both change the author: the user is asked, and "Use Theirs" takes the other's value.
    type(named<QLineEdit>("Author"), "Mine");
    ASSERT_TRUE(command({"info", theme, "--set", "author=Theirs"}));
    ASSERT_TRUE(waitUntil([&] { return !dialogs.asked.empty(); }));
    EXPECT_EQ(dialogs.asked.back().title, "Theme Changed on Disk");
    EXPECT_TRUE(dialogs.asked.back().message.contains("author"));
    EXPECT_EQ(named<QLineEdit>("Author")->text(), "Theirs");
    EXPECT_FALSE(c.session().hasUnsavedInformation());

    // Undo keeps other slots' changes; steps that no longer apply are dropped.
    c.setFileImagePathForSelection(
        picture("red.png", {60, 4}),
        named<DragDropImageView>("Selected image (drop an image to replace it)"));
    ASSERT_EQ(c.session().history().count(), 1);
    // Another slot changed elsewhere: the step still applies, and undoing it keeps that change.
    ASSERT_TRUE(command({"set-image", theme, "Separator_Vertical", picture("green.png", {4, 60})}));
    ASSERT_TRUE(waitUntil([&] {
        return QFileInfo(imagePath(c, rowOf(c, "Separator_Vertical"))).fileName() == "green.png";
    }));
    EXPECT_EQ(c.session().history().count(), 1);
    c.session().history().undo();
    auto undone = DockTheme::initWithBundleAtPath(theme.toStdString());
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->getFileNameForKey("Separator_Vertical", DockCategory::TwoD), "green.png");
    EXPECT_NE(undone->getFileNameForKey("Separator_Horizontal", DockCategory::TwoD), "red.png");
    // The step's own slot changed elsewhere: redoing it would undo that, so it goes.
    c.session().history().redo();
    ASSERT_TRUE(command({"set-image", "--unique-name", theme, "Separator_Horizontal",
                         picture("blue.png", {60, 4}, Qt::blue)}));
    ASSERT_TRUE(waitUntil([&] { return c.session().history().count() == 0; }));
    EXPECT_TRUE(mainWindow()->statusBar()->currentMessage().contains("dropped"));
    auto after = DockTheme::initWithBundleAtPath(theme.toStdString());
    ASSERT_TRUE(after);
    EXPECT_NE(after->getFileNameForKey("Separator_Horizontal", DockCategory::TwoD), "red.png");
    EXPECT_FALSE(fs::exists(theme.toStdString() + "/images/red.png"));
}
