// The check before an apply, Dock > Check Theme, and a failing theme in the collection.
#include <QTableWidget>

#include "EditorTest.h"
#include "app/QtDialogs.h"

class ThemeCheckSheetTest : public CollectionTest {
protected:
    // A theme whose front line is larger than the Dock draws it.
    QString tooBigTheme(const QString& name) {
        QString theme = themeCopy(name);
        fs::remove(theme.toStdString() + "/images/frontline.png");
        picture(name + ".docktheme/images/frontline.png", {300, 80});
        return theme;
    }
};

// A clean theme applies with no sheet: see ApplyTest; the findings: ThemeCheckTest.
TEST_F(ThemeCheckSheetTest, ErrorsBlockTheApplyAndWarningsAsk) {
    using Answer = Dialogs::FindingsAnswer;
    // Each: its name, an image missing, the answer, the sheet's title, whether it applies.
    for (const auto& [name, missingImage, answer, sheet, applies] :
         {std::tuple{"errors", true, Answer{true, {}}, "Theme Not Applied", false},
          {"warnings, Cancel", false, Answer{}, "Apply Anyway?", false},
          {"warnings, Apply Anyway", false, Answer{true, {}}, "Apply Anyway?", true}}) {
        SCOPED_TRACE(name);
        dialogs.sheets.clear();
        MainController& c = start();
        const QString theme = tooBigTheme("Big");
        ASSERT_TRUE(c._openThemeAtPath(theme));
        if (missingImage) {
            fs::remove(theme.toStdString() + "/images/separator.png");
        }
        dialogs.findingsAnswers = {answer};
        QSignalSpy ended(&c, &MainController::applyEnded);
        c.btn_change_applyTheme();
        // The tool runs only when the apply goes on.
        ASSERT_TRUE(waitUntil([&] { return !dialogs.sheets.empty(); }));
        EXPECT_TRUE(waitUntil([&, n = applies ? 1 : 0] { return ended.count() == n; }));
        ASSERT_EQ(dialogs.sheets.size(), 1u);
        EXPECT_EQ(text(dialogs.sheets[0].title), sheet);
        EXPECT_EQ(dialogs.sheets[0].proceedButton.isEmpty(), missingImage);
        EXPECT_EQ(readFile(dockResources() / "frontline.png").empty(), !applies);
        fs::remove_all(theme.toStdString());
        fs::remove_all(dockResources());
        fs::create_directories(dockResources());
    }
}

TEST_F(ThemeCheckSheetTest, CheckThemeListsTheFindingsAndADoubleClickShowsTheSlot) {
    MainController& c = start();
    QAction* check = action("Check Theme");
    ASSERT_NE(check, nullptr);  // its enabling: the main window's toolbar test
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("Clean")));
    check->trigger();
    ASSERT_TRUE(waitUntil([&] { return !dialogs.alerts.empty(); }));
    EXPECT_EQ(text(alertTitles()), "Theme Check");
    EXPECT_TRUE(dialogs.sheets.empty());

    ASSERT_TRUE(c._openThemeAtPath(tooBigTheme("Big")));
    dialogs.findingsAnswers = {{false, 0}};
    c.btn_checkTheme();
    ASSERT_TRUE(waitUntil([&] { return !dialogs.sheets.empty(); }));
    EXPECT_EQ(c.shownTab(), MainController::kEditorTab);
    EXPECT_EQ(named<QComboBox>("Images of the 2D or 3D Dock")->currentIndex(),
              indexOf(DockCategory::ThreeD));
    EXPECT_EQ(c.editorView().selectedSlots(), QList<int>{rowOf(c, "Frontline")});
}

TEST_F(ThemeCheckSheetTest, TheSheetNamesASlotAsTheBrowserDoesWithItsKeyInTheTooltip) {
    using enum ThemeFinding::Severity;
    std::unique_ptr<QTableWidget> table(
        QtDialogs::findingsTable({{Error, "Separator_3D", "images/separator.png", "gone"},
                                  {Warning, "No_Such_Key", "images/x.png", "unknown"},
                                  {Warning, "", "preview_2d.png", "missing"}}));
    // Each row's image cell and its tooltip.
    const std::pair<const char*, const char*> images[] = {
        {"Divider, 3D", "Separator_3D"}, {"No_Such_Key", "No_Such_Key"}, {"preview_2d.png", ""}};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(text(table->item(row, 1)->text()), images[row].first);
        EXPECT_EQ(text(table->item(row, 1)->toolTip()), images[row].second);
    }
}

TEST_F(ThemeCheckSheetTest, ACollectionThemeThatFailsTheCheckSaysWhyInItsTooltip) {
    inCollection("Good");
    inCollection("Bad");
    fs::remove(entry("Bad") / "images/shadow.png");
    CollectionController& col = collection();
    // The themes are checked in a worker; until then a tooltip says so.
    EXPECT_EQ(text(col.listOfDirectory->index(0).data(Qt::ToolTipRole).toString()),
              "Checking the theme\u2026");
    ASSERT_TRUE(waitUntil([&] { return col.listOfDirectory->checksDone(); }));
    std::map<std::string, std::string> tips;
    for (int row = 0; row < col.listOfDirectory->rowCount(); ++row) {
        QModelIndex index = col.listOfDirectory->index(row);
        tips[text(index.data().toString())] = text(index.data(Qt::ToolTipRole).toString());
    }
    EXPECT_EQ(tips["Bad"], "Invalid theme: The image shadow.png is missing.");
    EXPECT_EQ(tips["Good"], (entry("Good") / "preview_micro.png").string());
}
