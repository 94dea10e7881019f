// New, open, back up, generate: what reaches disk and what the user is told.
#include "EditorTest.h"
#include "image/ThemePreview.h"

using ThemeCommandsTest = EditorTest;

TEST_F(ThemeCommandsTest, NewThemeMakesTheBundleNamedAfterTheChoiceOrReportsWhyNotChangingNothing) {
    MainController& c = start();
    dialogs.panelAnswers = {at("MyNewDock")};
    c.btn_toolbar_newtheme();
    ASSERT_TRUE(c.session().theme());  // the bundle made, its author: BatchTest.EveryRow...
    EXPECT_EQ(dockNameOf(temp() / "MyNewDock.docktheme"), "MyNewDock");
    EXPECT_FALSE(ThemePreview::hasStockMicroPreview(*c.session().theme()));  // its own picture
    EXPECT_EQ(named<QLineEdit>("Theme name")->text(), "MyNewDock");
    EXPECT_EQ(c.shownTab(), MainController::kInformationTab);
    EXPECT_EQ(dialogs.panelTitles, (std::vector<QString>{"MyNewDock"}));
    // A name typed with the extension gets it twice; a cancelled panel does nothing.
    dialogs.panelAnswers = {at("Twice.docktheme"), std::nullopt};
    c.btn_toolbar_newtheme();
    EXPECT_TRUE(fs::is_directory(temp() / "Twice.docktheme.docktheme"));
    c.btn_toolbar_newtheme();
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_TRUE(dialogs.alerts.empty());
    // A bundle that cannot be made is reported and changes nothing.
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("Open")));
    fs::create_directories(temp() / "Taken.docktheme");
    writeFile(temp() / "plain", "a file, not a folder");
    for (const fs::path& folder : {dockResources(), temp() / "art"}) {
        writeFile(folder / "separator.png", "a separator");
    }
    writeSparse(temp() / "art/frontline.png", 17u << 20);  // too large even for root
    using Answers = std::deque<std::optional<QString>>;
    // The command, the panels' answers and why, after "created at ".
    for (const auto& [command, answers, why] :
         {std::tuple{&MainController::btn_toolbar_newtheme, Answers{at("Taken")},
                     at("Taken.docktheme") +
                         ". Taken.docktheme is in the destination already; it was left untouched."},
          {&MainController::btn_backupMyCurrentDock, Answers{at("plain/B")},
           at("plain/B.docktheme") + ". The destination folder can't be opened: Not a directory."},
          {&MainController::btn_generateThemeFromFolder, Answers{at("art"), at("Mine")},
           at("Mine.docktheme") + ". The image frontline.png could not be copied: frontline.png "
                                  "is larger than 16 MiB."}}) {
        dialogs.alerts.clear();
        const auto before = snapshot(temp());
        dialogs.panelAnswers = answers;
        (c.*command)();
        EXPECT_EQ(alertTexts(), "Theme Not Created: The theme could not be created at " + why);
        EXPECT_EQ(c.session().theme()->dockPath(), (temp() / "Open.docktheme").string());
        EXPECT_EQ(changes(before, snapshot(temp())), std::vector<std::string>{});
    }
}

TEST_F(ThemeCommandsTest, OpeningTakesTheExactExtensionOnlyAndAFailedOneSaysWhyChangingNothing) {
    UserDefaults().setBool(UserDefaults::kStartWithEditor, true);
    MainController& c = start();
    auto* welcome = named<DragDropImageView>("Drop a theme here to open it");
    QString theme = themeCopy("Good");
    fs::rename(theme.toStdString(), temp() / "Caps.DOCKTHEME");
    EXPECT_FALSE(c.openFile(at("Caps.DOCKTHEME")));
    EXPECT_FALSE(c.session().theme());
    fs::rename(temp() / "Caps.DOCKTHEME", theme.toStdString());
    EXPECT_TRUE(c.openFile(theme + "/"));
    // A drop on the welcome view opens the same way, in the information view;
    // anything else beeps.
    c.btn_closeTheme();
    c.setFileImagePathForSelection(theme, welcome);
    EXPECT_TRUE(c.session().theme());
    EXPECT_EQ(c.shownTab(), MainController::kInformationTab);
    c.setFileImagePathForSelection(picture("x.png", {4, 4}), welcome);
    EXPECT_EQ(dialogs.beeps, 1);
    // A failed open says why, changes nothing and leaves the open theme shown (every reason
    // a theme does not open: HostileThemeTest.BundlesThatLeadOutsideOrAreNoThemes...).
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("Kept", {{"VL_DockAuthor", "Kim"}})));
    const auto before = snapshot(temp());
    dialogs.alerts.clear();
    c.setFileImagePathForSelection(at("missing.docktheme"), welcome);
    EXPECT_EQ(
        alertTexts(),
        "Defective file: This theme can't be opened: there is no theme folder at that place.");
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(c.session().theme()->dockPath(), (temp() / "Kept.docktheme").string());
    EXPECT_EQ(changes(before, snapshot(temp())), std::vector<std::string>{});
    EXPECT_EQ(named<QLineEdit>("Author")->text(), "Kim");
    EXPECT_EQ(c.shownTab(), MainController::kEditorTab);  // where the start with the editor put it
    EXPECT_TRUE(action("Apply theme")->isEnabled());
    c.btn_toolbar_opentheme();  // the open panel cancelled beeps
    EXPECT_EQ(dialogs.beeps, 3);
}

TEST_F(ThemeCommandsTest, UnsavedInformationIsAskedAboutBeforeTheThemeIsDropped) {
    MainController& c = start();
    using enum Dialogs::SaveAnswer;
    for (auto [answer, dropped, stored] :
         {std::tuple{Cancel, false, "Ann"}, {DontSave, true, "Ann"}, {Save, true, "Bob"}}) {
        QString theme =
            themeCopy("Q" + QString::number(static_cast<int>(answer)), {{"VL_DockAuthor", "Ann"}});
        ASSERT_TRUE(c._openThemeAtPath(theme));
        type(named<QLineEdit>("Author"), "Bob");
        dialogs.saveAnswers = {answer};
        int asked = dialogs.questions;
        c.btn_closeTheme();
        EXPECT_EQ(dialogs.questions, asked + 1);
        EXPECT_EQ(!c.session().theme(), dropped);
        auto info = PropertyList::readDictionary(theme.toStdString() + "/Info.plist");
        EXPECT_EQ(*info->stringFor("VL_DockAuthor"), stored);
        if (c.session().theme()) {
            EXPECT_EQ(named<QLineEdit>("Author")->text(), "Bob");
            dialogs.saveAnswers = {DontSave};
            EXPECT_TRUE(c.applicationShouldTerminate());
        }
    }
}

// The images copied into the new bundle: BatchTest.EveryRowEndsWithItsStatusAndCounts.
TEST_F(ThemeCommandsTest, BackupAndGenerateCopyTheInstalledOrAFoldersImagesAndSaySoOnlyIfItWorked) {
    MainController& c = start();
    dialogs.panelAnswers = {at("Mine")};
    c.btn_backupMyCurrentDock();  // the Dock folder holds no images yet
    EXPECT_EQ(alertTitles(), "Theme Not Created");
    EXPECT_FALSE(fs::exists(temp() / "Mine.docktheme"));
    dialogs.alerts.clear();
    writeFile(dockResources() / "frontline.png", "installed front line");
    dialogs.panelAnswers = {at("Mine"), std::nullopt};
    c.btn_backupMyCurrentDock();
    EXPECT_EQ(alertTexts(),
              "Backup Done!: I've backupped your current dock style at: " + at("Mine") + ".");
    EXPECT_EQ(named<QLineEdit>("Theme name")->text(), "Mine");
    c.btn_backupMyCurrentDock();
    EXPECT_EQ(dialogs.beeps, 1);
    // Generating from a folder copies its images or says the folder is empty.
    fs::create_directories(temp() / "empty");
    writeFile(temp() / "art/frontline.png", "my front line");
    auto generate = [&](std::deque<std::optional<QString>> answers, const char* alert, int beeps) {
        dialogs.alerts.clear();
        dialogs.panelAnswers = answers;
        c.btn_generateThemeFromFolder();
        EXPECT_EQ(alertTitles(), alert);
        EXPECT_EQ(dialogs.beeps, beeps);
    };
    generate({std::nullopt}, "", 1);
    generate({at("empty")}, "Empty Directory!", 1);
    generate({at("art"), std::nullopt}, "", 2);
    generate({at("art"), at("Imported")}, "Theme Created!", 2);
    EXPECT_EQ(dialogs.alerts[0].message,
              "Your theme has been created from folder " + at("art") + ".");
}
