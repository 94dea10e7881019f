// Start-up, the flip view, toolbar validation and the refresh after opening.
#include <QApplication>
#include <QLayout>
#include <QMenu>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "EditorTest.h"
#include "widgets/RVAnimationAdditions.h"

using MainWindowTest = EditorTest;

TEST_F(MainWindowTest, StartUpShowsTheWelcomeViewTheDockStyleAndTheGuideOnTheFirstStartOnly) {
    PlistValue prefs = PlistValue::dictionary();
    prefs.set("no-glass", PlistValue(true));
    writeFile(dockPreferences(), PropertyList::toXML(prefs));
    // The stored value (nullptr: absent) and whether the guide shows.
    for (auto [stored, guide] :
         {std::pair<const char*, bool>{nullptr, true}, {"true", true}, {"false", false}}) {
        UserDefaults().remove(UserDefaults::kFirst);
        if (stored) {
            UserDefaults().setString(UserDefaults::kFirst, stored);
        }
        MainController& c = start();
        // Windows not shown are not made; the guide comes once the main window is up.
        EXPECT_FALSE(window("About Velvanto") || window("Quick guide") || window("Preferences") ||
                     window("Batch converter") || window("Theme collection"));
        mainWindow()->show();
        auto shown = [&] { return window("Quick guide") && window("Quick guide")->isVisible(); };
        EXPECT_EQ(guide ? waitUntil(shown) : shown(), guide) << (stored ? stored : "-");
        EXPECT_EQ(UserDefaults().boolForKey(UserDefaults::kFirst), std::optional<bool>(false));
        EXPECT_EQ(named<QTextBrowser>("Quick guide text") &&
                      !named<QTextBrowser>("Quick guide text")->toPlainText().isEmpty(),
                  guide);
        if (guide) {  // a closed guide keeps no page and no pictures
            c.btn_guide_close();
            EXPECT_TRUE(named<QTextBrowser>("Quick guide text")->toPlainText().isEmpty());
        }
        EXPECT_EQ(c.shownTab(), MainController::kWelcomeTab);
        EXPECT_EQ(named<QComboBox>("Dock style")->currentIndex(), 1);
        EXPECT_FALSE(c.session().theme());
        if (!stored) {  // the first start in this process loads the artwork
            EXPECT_TRUE(waitUntil([] { return !QApplication::windowIcon().isNull(); }));
            EXPECT_FALSE(
                named<DragDropImageView>("Drop a theme here to open it")->image().isNull());
        }
        start();
        EXPECT_FALSE(window("Quick guide"));  // the second start
    }
}

TEST_F(MainWindowTest, ToolbarItemsFollowOpeningAndClosingAndTheFlipViewHoldsExactlyOneView) {
    MainController& c = start();
    auto check = [&](bool open) {
        for (const char* button : {"Open the image in the external editor", "Apply theme",
                                   "Preview the selected image"}) {
            EXPECT_EQ(named<QToolButton>(button)->isEnabled(), open) << button;
        }
        for (const char* item : {"Check Theme", "Export Theme…"}) {
            EXPECT_EQ(action(item)->isEnabled(), open) << item;
        }
        EXPECT_EQ(named<QSlider>("Thumbnail size")->isEnabled(), open);
        EXPECT_EQ(named<QComboBox>("Images of the 2D or 3D Dock")->isEnabled(), open);
        EXPECT_EQ(named<QComboBox>("Show information or editor")->isEnabled(), open);
    };
    check(false);
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("A", {{"VL_DockName", "A"}})));
    check(true);
    QString title = mainWindow()->windowTitle();
    c.btn_closeTheme();
    check(false);
    EXPECT_FALSE(c.session().theme());
    EXPECT_EQ(c.shownTab(), MainController::kWelcomeTab);
    EXPECT_EQ(mainWindow()->windowTitle(), title);
    EXPECT_EQ(dialogs.beeps, 0);
    c.btn_closeTheme();  // a second close only beeps
    EXPECT_EQ(dialogs.beeps, 1);
    c.btn_showEditorDock(MainController::kEditorTab);  // no theme: a beep only
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(c.shownTab(), MainController::kWelcomeTab);
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("E")));
    const std::vector<QWidget*> shown = views();
    QWidget* flip = named<QWidget>("Theme views");
    for (int tab : {2, 2, 1, 2, 1, 1, 0, 2}) {
        c._fadeToTab(tab);
        EXPECT_EQ(flip->layout()->count(), 1);
        EXPECT_EQ(c.shownTab(), tab);
        EXPECT_TRUE(shown[static_cast<size_t>(tab)]->isVisibleTo(mainWindow()));
        EXPECT_EQ(std::ranges::count(shown, flip, &QWidget::parentWidget), 1);
    }
    c.btn_showEditorDock(MainController::kInformationTab);
    EXPECT_EQ(c.shownTab(), MainController::kInformationTab);
    EXPECT_EQ(named<QComboBox>("Show information or editor")->currentData().toInt(), 1);

    // A theme opened and one handed over, and a switch asked, while the fades
    // run: all ends, in the last view asked, and the hand-over follows.
    RVAnimationAdditions::setDefaultDuration(0.15);
    QString b = themeCopy("B"), d = themeCopy("D");
    auto open = [&] { return QString::fromStdString(c.session().theme()->dockPath()); };
    // Asked from inside the first fade's own event loop, however late that starts.
    QObject steps;
    std::function<void()> duringFade = [&] {
        if (!RVAnimationAdditions::isBlocking()) {
            QTimer::singleShot(0, &steps, duringFade);
            return;
        }
        c.openFile(b);
        c.openHandedOver(d);
        c._fadeToTab(MainController::kEditorTab);
    };
    QTimer::singleShot(0, &steps, duringFade);
    mainWindow()->showMinimized();
    c.applicationShouldHandleReopen(true);
    EXPECT_FALSE(mainWindow()->isMinimized());
    EXPECT_TRUE(c.openFile(themeCopy("C")));
    EXPECT_EQ(open(), b);
    EXPECT_EQ(c.shownTab(), MainController::kEditorTab);
    EXPECT_TRUE(waitUntil([&] { return open() == d && !RVAnimationAdditions::isBlocking(); }));
    RVAnimationAdditions::setDefaultDuration(0);
    EXPECT_EQ(c.shownTab(), MainController::kInformationTab);
    EXPECT_TRUE(flip->isVisible());
    EXPECT_TRUE(flip->findChildren<QWidget*>("_rv_fade_cover").isEmpty());
    // Handed over while a sheet is up, the theme opens when the sheet goes.
    QDialog sheet(mainWindow());
    sheet.setModal(true);
    sheet.show();
    c.openHandedOver(b);
    EXPECT_EQ(open(), d);
    sheet.hide();
    EXPECT_TRUE(waitUntil([&] { return open() == b; }));
}

TEST_F(MainWindowTest, OpeningEmptiesTheFieldsAThemeLacksAndARefreshKeepsUnsavedEdits) {
    MainController& c = start();
    // The title names the bundle's folder, the home folder as "~".
    fs::create_directories(home() / "themes");
    const fs::path full = home() / "themes/Full.docktheme";
    fs::rename(text(themeCopy("Full", {{"VL_DockName", "Full"},
                                       {"VL_DockAuthor", "Ann"},
                                       {"VL_DockAuthorSite", "https://ann.example"},
                                       {"VL_DockVersion", "2.5"},
                                       {"VL_DockAppCast", "https://ann.example/feed"}})),
               full);
    ASSERT_TRUE(c._openThemeAtPath(full.string()));
    EXPECT_EQ(mainWindow()->windowTitle(), "Velvanto - Full by Ann (~/themes)[*]");
    EXPECT_EQ(mainWindow()->accessibleName(), "Velvanto - Full by Ann (~/themes)");
    EXPECT_EQ(named<QLineEdit>("Author's web site")->text(), "https://ann.example");
    EXPECT_EQ(named<QLineEdit>("Version")->text(), "2.5");
    type(named<QLineEdit>("Author"), "Edited");
    c._updateThemeShow();  // as after a slot's image was replaced
    EXPECT_EQ(named<QLineEdit>("Author")->text(), "Edited");
    EXPECT_TRUE(c.session().hasUnsavedInformation());
    EXPECT_TRUE(mainWindow()->isWindowModified());
    EXPECT_EQ(mainWindow()->accessibleName(), "Velvanto - Full by Ann (~/themes) (edited)");
    dialogs.saveAnswers = {Dialogs::SaveAnswer::DontSave};
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("Bare", {{"VL_DockName", "Bare"},
                                                      {"VL_DockAuthor", ""},
                                                      {"VL_DockAuthorSite", ""},
                                                      {"VL_DockVersion", ""},
                                                      {"VL_DockAppCast", ""}})));
    EXPECT_EQ(mainWindow()->windowTitle(), "Velvanto - Bare by Unknown (" + qs(temp()) + ")[*]");
    EXPECT_EQ(named<QLineEdit>("Theme name")->text(), "Bare");
    for (const char* field : {"Author", "Author's web site", "Update feed address"}) {
        EXPECT_EQ(named<QLineEdit>(field)->text(), "") << field;
    }
    EXPECT_EQ(named<QLineEdit>("Version")->text(), "1.0");
    EXPECT_FALSE(named<QTextEdit>("Description")->toPlainText().isEmpty());
    EXPECT_EQ(c.shownTab(), MainController::kInformationTab);
    // With the preference, a theme opens in the editor view.
    UserDefaults().setBool(UserDefaults::kStartWithEditor, true);
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("B")));
    EXPECT_EQ(c.shownTab(), MainController::kEditorTab);
    EXPECT_EQ(named<QListView>("Theme images")->model()->rowCount(), 14);  // the 2D images
    EXPECT_EQ(named<QComboBox>("Images of the 2D or 3D Dock")->currentIndex(), 0);
}

TEST_F(MainWindowTest, AThemeDroppedOnTheWelcomeViewOpensWhateverItsNameAndAnythingElseSaysWhy) {
    MainController& c = start();
    for (const char* name : {"Plain", "Caps.DOCKTHEME"}) {
        fs::rename(text(themeCopy("T")), temp() / name);
    }
    fs::create_directories(temp() / "Folder");
    picture("x.png", {4, 4});
    // Each path dropped (a file manager may end a folder with "/") and whether it opens.
    for (auto [name, opens] : {std::pair{"Plain/", true},
                               {"Caps.DOCKTHEME", true},
                               {"Folder", false},
                               {"x.png", false}}) {
        dialogs.alerts.clear();
        c.setFileImagePathForSelection(at(name),
                                       named<DragDropImageView>("Drop a theme here to open it"));
        EXPECT_EQ(c.session().theme() != nullptr, opens) << name;
        EXPECT_EQ(text(alertTitles()), opens ? "" : "Defective file") << name;
        EXPECT_EQ(c.shownTab(),
                  opens ? MainController::kInformationTab : MainController::kWelcomeTab);
        c.btn_closeTheme();
    }
}

TEST_F(MainWindowTest, OpenRecentListsTheLastTenOpenedMostRecentFirstWithoutTheMissing) {
    MainController& c = start();
    auto shown = [] {
        QMenu* recent = mainWindow()->findChild<QMenu*>("menu_recent");
        emit recent->aboutToShow();
        QStringList items;
        for (QAction* item : recent->actions()) {
            items << (item->isEnabled() ? "" : "-") + item->text();
        }
        return items.join(", ");
    };
    EXPECT_EQ(shown(), ", -Clear Menu");  // a separator, then the command
    QStringList themes, expected;
    for (int n = 0; n < 12; ++n) {
        themes << themeCopy(QString("T%1").arg(n));
        ASSERT_TRUE(c._openThemeAtPath(themes.back() + "/"));
    }
    ASSERT_TRUE(c._openThemeAtPath(themes[5]));  // first again, and once
    fs::remove_all(text(themes[11]));
    for (int n : {5, 10, 9, 8, 7, 6, 4, 3, 2}) {
        expected << themes[n];
    }
    EXPECT_EQ(shown(), expected.join(", ") + ", , Clear Menu");
    EXPECT_EQ(UserDefaults().recentThemes().size(), 9u);  // the missing one left the store
    action(themes[10])->trigger();
    EXPECT_EQ(qs(c.session().theme()->dockPath()), themes[10]);
    action("Clear Menu")->trigger();
    EXPECT_EQ(shown(), ", -Clear Menu");
}

TEST_F(MainWindowTest,
       ExportImportAndApplyOfAnotherBundleSayWhatTheyDidAndTheTitleWhichCopyIsOpen) {
    MainController& c = start();
    const QString theme = themeCopy("Aqua", {{"VL_DockName", "Aqua"}, {"VL_DockAuthor", "Ann"}});
    ASSERT_TRUE(c._openThemeAtPath(theme));
    QStatusBar* status = mainWindow()->statusBar();
    const QString zip = at("Aqua.docktheme.zip");
    dialogs.panelAnswers = {zip};
    c.btn_exportTheme();
    ASSERT_TRUE(waitUntil([&] { return !status->currentMessage().isEmpty(); }));
    EXPECT_EQ(status->currentMessage(), "Exported Aqua as " + zip);
    c.openFile(zip);
    const fs::path copy = home() / ".local/share/Velvanto/Aqua.docktheme";
    ASSERT_TRUE(waitUntil(
        [&] { return c.session().theme() && c.session().theme()->dockPath() == copy.string(); }));
    EXPECT_EQ(status->currentMessage(),
              "Imported Aqua from " + zip + " into the collection; the collection's copy is open");
    EXPECT_EQ(mainWindow()->windowTitle(), "Velvanto - Aqua by Ann (~/.local/share/Velvanto)[*]");

    // Another bundle that is no theme is refused and says why; the open copy stays.
    fs::remove(text(theme) + "/Info.plist");
    c.applyTheme(text(theme));
    ASSERT_TRUE(waitUntil([&] { return !dialogs.sheets.empty(); }));
    EXPECT_EQ(dialogs.sheets.back().title, "Theme Not Applied");
    EXPECT_EQ(c.session().theme()->dockPath(), copy.string());
}
