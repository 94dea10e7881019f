// Start-up, the flip view, toolbar validation and the refresh after opening.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QSettings>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolBar>

#include "EditorTest.h"
#include "app/UserDefaults.h"
#include "model/MiscKit.h"
#include "platform/PropertyList.h"

using MainWindowTest = EditorTest;

TEST_F(MainWindowTest, TheQuickGuideShowsOnTheFirstStartOnly) {
    struct Case {
        const char* stored;  // nullptr: absent
        bool guide;
    };
    for (Case c : {Case{nullptr, true}, Case{"true", true}, Case{"false", false}}) {
        {
            UserDefaults defaults;
            defaults.remove(UserDefaults::kFirst);
            if (c.stored) {
                defaults.setString(UserDefaults::kFirst, c.stored);
            }
        }
        start();
        EXPECT_EQ(controller->help_window->isVisible(), c.guide) << (c.stored ? c.stored : "-");
        EXPECT_EQ(UserDefaults().boolForKey(UserDefaults::kFirst), std::optional<bool>(false));
        EXPECT_EQ(!controller->help_view->toPlainText().isEmpty(), c.guide);
        start();  // the second start
        EXPECT_FALSE(controller->help_window->isVisible());
    }
}

TEST_F(MainWindowTest, StartUpShowsTheWelcomeViewAndTheDockStyleFoundNow) {
    PlistValue prefs = PlistValue::dictionary();
    prefs.set("no-glass", PlistValue(true));
    std::filesystem::create_directories(home() / "Library/Preferences");
    ASSERT_TRUE(PropertyList::write(home() / "Library/Preferences/com.apple.dock.plist", prefs));
    MainController& c = start();
    EXPECT_EQ(c.shownView(), c.view_welcome);
    EXPECT_EQ(c.set_dock_style->currentIndex(), 1);
    EXPECT_FALSE(c.currentTheme);
    EXPECT_EQ(c.menu_openWith->text(), "Open Image In... (need to specify app)");
    EXPECT_EQ(c.tbar_openIn->text(), "Choose External Editor");
    EXPECT_TRUE(waitUntil([] { return !QApplication::windowIcon().isNull(); }));
    EXPECT_FALSE(c.welcome_image->image().isNull());
}

TEST_F(MainWindowTest, ToolbarItemsFollowWhetherAThemeIsOpen) {
    MainController& c = start();
    struct Row {
        QAction* item;
        bool withoutTheme;
    };
    auto check = [&](bool open) {
        for (Row row : {Row{c.tbar_openIn, false}, Row{c.tbar_thumbSize, false},
                        Row{c.tbar_applyDock, false}, Row{c.tbar_preview, false},
                        Row{c.tbar_viewDock, true}, Row{c.tbar_showEditorOrInfo, true}}) {
            EXPECT_EQ(c.validateToolbarItem(row.item), open || row.withoutTheme)
                << text(row.item->text());
            EXPECT_EQ(row.item->isEnabled(), open || row.withoutTheme) << text(row.item->text());
        }
        EXPECT_EQ(c.dock_type_selection->isEnabled(), open);
        EXPECT_EQ(c.popup_showEditorOrInfo->isEnabled(), open);
    };
    check(false);
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("A")));
    check(true);
    c.btn_closeTheme();
    check(false);
}

TEST_F(MainWindowTest, TheFlipViewHoldsExactlyOneViewAfterRepeatedSwitches) {
    MainController& c = start();
    c.btn_showEditorDock(MainController::kEditorTab);  // no theme: a beep only
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(c.shownView(), c.view_welcome);
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("A")));
    for (int tab : {2, 2, 1, 2, 1, 1, 0, 2}) {
        c._fadeToTab(tab);
        EXPECT_EQ(c.view_flipView->layout()->count(), 1);
        QWidget* expected = tab == 1   ? c.view_infoTheme
                            : tab == 2 ? c.view_editorTheme
                                       : c.view_welcome;
        EXPECT_EQ(c.shownView(), expected);
        EXPECT_TRUE(expected->isVisibleTo(c.edit_window));
        int shown = 0;
        for (QWidget* view : {c.view_welcome, c.view_infoTheme, c.view_editorTheme}) {
            shown += view->parent() == c.view_flipView ? 1 : 0;
        }
        EXPECT_EQ(shown, 1);
    }
    c.btn_showEditorDock(MainController::kInformationTab);
    EXPECT_EQ(c.shownView(), c.view_infoTheme);
    EXPECT_EQ(c.popup_showEditorOrInfo->currentData().toInt(), 1);
}

TEST_F(MainWindowTest, OpeningAThemeEmptiesTheFieldsItLacks) {
    MainController& c = start();
    ASSERT_TRUE(
        c._openThemeAtPath(themeCopy("Full", {{"VL_DockName", "Full"},
                                              {"VL_DockAuthor", "Ann"},
                                              {"VL_DockAuthorSite", "https://ann.example"},
                                              {"VL_DockVersion", "2.5"},
                                              {"VL_DockAppCast", "https://ann.example/feed"}})));
    EXPECT_EQ(c.edit_window->windowTitle(), "Velvanto - Full by Ann");
    EXPECT_EQ(c.previewdock_site->text(), "https://ann.example");
    EXPECT_EQ(c.previewdock_version->text(), "2.5");
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("Bare", {{"VL_DockName", "Bare"},
                                                      {"VL_DockAuthor", ""},
                                                      {"VL_DockAuthorSite", ""},
                                                      {"VL_DockVersion", ""},
                                                      {"VL_DockAppCast", ""}})));
    EXPECT_EQ(c.edit_window->windowTitle(), "Velvanto - Bare by Unknown");
    EXPECT_EQ(c.previewdock_title->text(), "Bare");
    for (QLineEdit* field : {c.previewdock_author, c.previewdock_site, c.previewdock_appcasturl}) {
        EXPECT_EQ(field->text(), "") << text(field->accessibleName());
    }
    EXPECT_EQ(c.previewdock_version->text(), "1.0");
    EXPECT_FALSE(c.previewdock_description->toPlainText().isEmpty());
    EXPECT_EQ(c.shownView(), c.view_infoTheme);
}

TEST_F(MainWindowTest, ARefreshKeepsUnsavedEditsAndTheEditorViewFollowsThePreference) {
    MainController& c = start();
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("A")));
    c.previewdock_author->setText("Edited");
    emit c.previewdock_author->textEdited("Edited");
    c._updateThemeShow();  // as after a slot's image was replaced
    EXPECT_EQ(c.previewdock_author->text(), "Edited");
    EXPECT_TRUE(c.hasUnsavedInformation());

    UserDefaults().setBool(UserDefaults::kStartWithEditor, true);
    dialogs.saveAnswers = {Dialogs::SaveAnswer::DontSave};
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("B")));
    EXPECT_EQ(c.shownView(), c.view_editorTheme);
    EXPECT_EQ(c.listOfImages->model()->rowCount(), 14);  // the 2D images
    EXPECT_EQ(c.dock_type_selection->currentIndex(), 0);
}

TEST_F(MainWindowTest, EveryControlHasAnAccessibleName) {
    MainController& c = start();
    std::vector<QWidget*> windows = {c.view_welcome, c.view_infoTheme, c.view_editorTheme};
    for (QWidget* window :
         {static_cast<QWidget*>(c.edit_window), static_cast<QWidget*>(c.about_window),
          c.help_window, static_cast<QWidget*>(c.preferences_window), c.preview_window,
          static_cast<QWidget*>(c.progress_window), c.collection_window, c.batch_window}) {
        windows.push_back(window);
    }
    for (QWidget* window : windows) {
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
    QWidget* apply = c.edit_toolbar->widgetForAction(c.tbar_applyDock);
    EXPECT_EQ(apply->accessibleName(), "Apply theme");
}
