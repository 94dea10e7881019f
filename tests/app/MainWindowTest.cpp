// Start-up, the flip view, toolbar validation and the refresh after opening.
#include <QAccessible>
#include <QApplication>
#include <QLayout>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>

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
        EXPECT_FALSE(c.about_window || c.help_window || c.preferences_window || c.batch_window);
        c.edit_window->show();
        auto shown = [&] { return c.help_window && c.help_window->isVisible(); };
        EXPECT_EQ(guide ? waitUntil(shown) : shown(), guide) << (stored ? stored : "-");
        EXPECT_EQ(UserDefaults().boolForKey(UserDefaults::kFirst), std::optional<bool>(false));
        EXPECT_EQ(c.help_view && !c.help_view->toPlainText().isEmpty(), guide);
        if (guide) {  // a closed guide keeps no page and no pictures
            c.btn_guide_close();
            EXPECT_TRUE(c.help_view->toPlainText().isEmpty());
        }
        EXPECT_EQ(c.shownView(), c.view_welcome);
        EXPECT_EQ(c.set_dock_style->currentIndex(), 1);
        EXPECT_FALSE(c.currentTheme);
        if (!stored) {  // the first start in this process loads the artwork
            EXPECT_TRUE(waitUntil([] { return !QApplication::windowIcon().isNull(); }));
            EXPECT_FALSE(c.welcome_image->image().isNull());
        }
        EXPECT_FALSE(start().help_window);  // the second start
    }
}

TEST_F(MainWindowTest, ToolbarItemsFollowOpeningAndClosingAndTheFlipViewHoldsExactlyOneView) {
    MainController& c = start();
    auto check = [&](bool open) {
        for (auto [item, withoutTheme] : {std::pair{c.tbar_openIn, false},
                                          {c.tbar_thumbSize, false},
                                          {c.tbar_applyDock, false},
                                          {c.tbar_preview, false},
                                          {c.tbar_viewDock, true},
                                          {c.tbar_showEditorOrInfo, true}}) {
            EXPECT_EQ(c.validateToolbarItem(item), open || withoutTheme) << text(item->text());
            EXPECT_EQ(item->isEnabled(), open || withoutTheme) << text(item->text());
        }
        EXPECT_EQ(c.dock_type_selection->isEnabled(), open);
        EXPECT_EQ(c.popup_showEditorOrInfo->isEnabled(), open);
    };
    check(false);
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("A", {{"VL_DockName", "A"}})));
    check(true);
    QString title = c.edit_window->windowTitle();
    c.btn_closeTheme();
    check(false);
    EXPECT_FALSE(c.currentTheme);
    EXPECT_EQ(c.shownView(), c.view_welcome);
    EXPECT_EQ(c.edit_window->windowTitle(), title);
    EXPECT_EQ(dialogs.beeps, 0);
    c.btn_closeTheme();  // a second close only beeps
    EXPECT_EQ(dialogs.beeps, 1);
    c.btn_showEditorDock(MainController::kEditorTab);  // no theme: a beep only
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(c.shownView(), c.view_welcome);
    // The flip view holds exactly one view after repeated switches.
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("E")));
    const std::vector<QWidget*> views = {c.view_welcome, c.view_infoTheme, c.view_editorTheme};
    for (int tab : {2, 2, 1, 2, 1, 1, 0, 2}) {
        c._fadeToTab(tab);
        EXPECT_EQ(c.view_flipView->layout()->count(), 1);
        QWidget* expected = views[static_cast<size_t>(tab)];
        EXPECT_EQ(c.shownView(), expected);
        EXPECT_TRUE(expected->isVisibleTo(c.edit_window));
        EXPECT_EQ(std::ranges::count(views, c.view_flipView, &QWidget::parentWidget), 1);
    }
    c.btn_showEditorDock(MainController::kInformationTab);
    EXPECT_EQ(c.shownView(), c.view_infoTheme);
    EXPECT_EQ(c.popup_showEditorOrInfo->currentData().toInt(), 1);

    // A theme opened and one handed over, and a switch asked, while the fades
    // run: all ends, in the last view asked, and the hand-over follows.
    RVAnimationAdditions::setDefaultDuration(0.15);
    QString b = themeCopy("B"), d = themeCopy("D");
    auto open = [&] { return QString::fromStdString(c.currentTheme->dockPath()); };
    QTimer::singleShot(40, [&] { c.openFile(b); });
    QTimer::singleShot(60, [&] { c.openHandedOver(d); });
    QTimer::singleShot(80, [&] { c._fadeToTab(MainController::kEditorTab); });
    c.edit_window->showMinimized();
    c.applicationShouldHandleReopen(true);
    EXPECT_FALSE(c.edit_window->isMinimized());
    EXPECT_TRUE(c.openFile(themeCopy("C")));
    EXPECT_EQ(open(), b);
    EXPECT_EQ(c.shownView(), c.view_editorTheme);
    EXPECT_TRUE(waitUntil([&] { return open() == d && !RVAnimationAdditions::isBlocking(); }));
    RVAnimationAdditions::setDefaultDuration(0);
    EXPECT_EQ(c.shownView(), c.view_infoTheme);
    EXPECT_TRUE(c.view_flipView->isVisible());
    EXPECT_TRUE(c.view_flipView->findChildren<QWidget*>("_rv_fade_cover").isEmpty());
    // Handed over while a sheet is up, the theme opens when the sheet goes.
    QDialog sheet(c.edit_window);
    sheet.setModal(true);
    sheet.show();
    c.openHandedOver(b);
    EXPECT_EQ(open(), d);
    sheet.hide();
    EXPECT_TRUE(waitUntil([&] { return open() == b; }));
}

TEST_F(MainWindowTest, OpeningEmptiesTheFieldsAThemeLacksAndARefreshKeepsUnsavedEdits) {
    MainController& c = start();
    ASSERT_TRUE(
        c._openThemeAtPath(themeCopy("Full", {{"VL_DockName", "Full"},
                                              {"VL_DockAuthor", "Ann"},
                                              {"VL_DockAuthorSite", "https://ann.example"},
                                              {"VL_DockVersion", "2.5"},
                                              {"VL_DockAppCast", "https://ann.example/feed"}})));
    EXPECT_EQ(c.edit_window->windowTitle(), "Velvanto - Full by Ann[*]");
    EXPECT_EQ(c.edit_window->accessibleName(), "Velvanto - Full by Ann");
    EXPECT_EQ(c.previewdock_site->text(), "https://ann.example");
    EXPECT_EQ(c.previewdock_version->text(), "2.5");
    type(c.previewdock_author, "Edited");
    c._updateThemeShow();  // as after a slot's image was replaced
    EXPECT_EQ(c.previewdock_author->text(), "Edited");
    EXPECT_TRUE(c.hasUnsavedInformation());
    EXPECT_TRUE(c.edit_window->isWindowModified());
    EXPECT_EQ(c.edit_window->accessibleName(), "Velvanto - Full by Ann (edited)");
    dialogs.saveAnswers = {Dialogs::SaveAnswer::DontSave};
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("Bare", {{"VL_DockName", "Bare"},
                                                      {"VL_DockAuthor", ""},
                                                      {"VL_DockAuthorSite", ""},
                                                      {"VL_DockVersion", ""},
                                                      {"VL_DockAppCast", ""}})));
    EXPECT_EQ(c.edit_window->windowTitle(), "Velvanto - Bare by Unknown[*]");
    EXPECT_EQ(c.previewdock_title->text(), "Bare");
    for (QLineEdit* field : {c.previewdock_author, c.previewdock_site, c.previewdock_appcasturl}) {
        EXPECT_EQ(field->text(), "") << text(field->accessibleName());
    }
    EXPECT_EQ(c.previewdock_version->text(), "1.0");
    EXPECT_FALSE(c.previewdock_description->toPlainText().isEmpty());
    EXPECT_EQ(c.shownView(), c.view_infoTheme);
    // With the preference, a theme opens in the editor view.
    UserDefaults().setBool(UserDefaults::kStartWithEditor, true);
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("B")));
    EXPECT_EQ(c.shownView(), c.view_editorTheme);
    EXPECT_EQ(c.listOfImages->model()->rowCount(), 14);  // the 2D images
    EXPECT_EQ(c.dock_type_selection->currentIndex(), 0);
}

TEST_F(MainWindowTest, EveryControlHasAnAccessibleName) {
    MainController& c = start();
    c.imageBrowserCellWasDoubleClicked(openAndSelect(c, "Separator_Horizontal"));
    for (auto show :
         {&MainController::btn_change_openAbout, &MainController::btn_quickGuide,
          &MainController::btn_show_preferences, &MainController::btn_checkUpdateForTheme,
          &MainController::btn_browseCollection, &MainController::btn_openBatchConverter}) {
        (c.*show)();
    }
    for (QWidget* window : std::vector<QWidget*>{
             c.view_welcome, c.view_infoTheme, c.view_editorTheme, c.edit_window, c.about_window,
             c.help_window, c.preferences_window, c.preview_window, c.progress_window,
             c.collection_window, c.batch_window}) {
        EXPECT_FALSE(window->accessibleName().isEmpty()) << text(window->objectName());
        for (QWidget* control : window->findChildren<QWidget*>()) {
            bool interactive = control->focusPolicy() != Qt::NoFocus &&
                               !control->inherits("QScrollBar") && !control->inherits("QMenu") &&
                               !control->objectName().startsWith("qt_");
            if (interactive && control->isVisibleTo(window)) {
                EXPECT_FALSE(control->accessibleName().isEmpty())
                    << text(window->objectName()) << " " << control->metaObject()->className()
                    << " " << text(control->objectName());
            }
        }
    }
    EXPECT_EQ(c.edit_toolbar->widgetForAction(c.tbar_applyDock)->accessibleName(), "Apply theme");
    // Windows are told as windows, and every menu item reads as it should.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(c.help_window)->role(), QAccessible::Dialog);
    for (QAction* action : c.edit_window->findChildren<QAction*>()) {
        EXPECT_FALSE(action->text().contains("Images Images")) << text(action->text());
    }
}
