// The theme collection as the user sees it and as it reaches disk.
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QUndoStack>

#include "EditorTest.h"

// The stock micro preview given to an entry lacking one: ThemeCollectionTest.ListsFolderBundles...
TEST_F(CollectionTest, AddComparesNamesExactly) {
    inCollection("Bare");
    inCollection("good");
    CollectionController& col = collection();
    // Add copies a checked theme in; the clash test compares names exactly.
    QString good = themeCopy("Good", {{"VL_DockName", "Good one"}});
    dialogs.panelAnswers = {std::nullopt, good};
    col.btn_addTheme();  // cancelled
    col.btn_addTheme();
    EXPECT_EQ(titles(col), (std::vector<std::string>{"Bare", "Good", "good"}));
    EXPECT_EQ(dockNameOf(entry("Good")), "Good one");
    EXPECT_EQ(col.stat_collection->text(), "3 theme(s)");
    EXPECT_TRUE(dialogs.alerts.empty());
    EXPECT_TRUE(dialogs.asked.empty());
}

// A Replace that goes through: ReplacingTheOpenTheme... below; what a failed one leaves on
// disk: ThemeCollectionTest.AddCopiesRegularFilesOnly...
TEST_F(CollectionTest, ANameClashAsksAndCancelOrAFailedReplaceKeepsTheOldTheme) {
    // Each: the answer (a Replace copies a file over the size limit, so it fails), the alert.
    for (auto [replace, alert] : {std::pair{false, ""}, {true, "Theme Not Replaced"}}) {
        SCOPED_TRACE(replace);
        inCollection("Same");
        CollectionController& col = collection();
        dialogs.alerts.clear();
        dialogs.asked.clear();
        fs::remove_all(temp() / "Same.docktheme");
        QString chosen = themeCopy("Same", {{"VL_DockName", "Newer"}});
        if (replace) {
            writeSparse(chosen.toStdString() + "/huge", 17u << 20);
        }
        dialogs.panelAnswers = {chosen};
        dialogs.askAnswers = {replace};
        col.btn_addTheme();
        ASSERT_EQ(dialogs.asked.size(), 1u);
        EXPECT_EQ(dialogs.asked[0].title + " [" + dialogs.asked[0].button + "] " +
                      dialogs.asked[0].message,
                  "Theme already exist! [Replace] Same.docktheme already exist in your "
                  "collection. Want you to replace it?");
        EXPECT_EQ(text(alertTitles()), alert);
        EXPECT_EQ(dockNameOf(entry("Same")), "Velvanto Default");
        fs::remove_all(home());
    }
}

TEST_F(CollectionTest, ReplacingTheOpenThemeAsksAboutItsEditsAndThenShowsTheNewOne) {
    using enum Dialogs::SaveAnswer;
    inCollection("Same");
    MainController& main = start();
    ASSERT_TRUE(main.openTheme((folder() / "Same.docktheme").string()));
    QString chosen = themeCopy("Same", {{"VL_DockName", "Newer"}});
    for (auto [answer, name] : {std::pair{Cancel, "Velvanto Default"}, {DontSave, "Newer"}}) {
        type(named<QLineEdit>("Author"), "Edited");
        dialogs.saveAnswers = {answer};
        dialogs.askAnswers = {true};
        dialogs.panelAnswers = {chosen};
        editor->collection().btn_addTheme();
        EXPECT_EQ(dockNameOf(entry("Same")), name);
        EXPECT_EQ(text(named<QLineEdit>("Theme name")->text()), name);
    }
    EXPECT_EQ(main.shownTab(), MainController::kInformationTab);
    // A save reaches the new theme, which still opens.
    named<QLineEdit>("Author")->setText("Saved");
    EXPECT_TRUE(main.btn_saveInfo());
    EXPECT_EQ(dockNameOf(entry("Same")), "Newer");
    EXPECT_TRUE(dialogs.alerts.empty());
    // Changes in the open theme's history (a new small preview) go with it: asked first.
    main.setFileImagePathForSelection(picture("micro.png", {32, 32}),
                                      named<DragDropImageView>("Theme preview picture"));
    ASSERT_EQ(main.session().history().count(), 1);
    QString newest = themeCopy("Newest", {{"VL_DockName", "Newest"}});
    fs::remove_all(chosen.toStdString());
    fs::rename(newest.toStdString(), chosen.toStdString());
    for (auto [goOn, name] : {std::pair{false, "Newer"}, {true, "Newest"}}) {
        dialogs.askAnswers = {true, goOn};
        dialogs.panelAnswers = {chosen};
        editor->collection().btn_addTheme();
        EXPECT_EQ(dialogs.asked.back().title, "Change Open Theme?");
        EXPECT_EQ(dockNameOf(entry("Same")), name);
        EXPECT_EQ(text(named<QLineEdit>("Theme name")->text()), name);
    }
    EXPECT_EQ(mainWindow()->statusBar()->currentMessage(),
              "The theme was replaced by a new copy and opened again");
}

TEST_F(CollectionTest, RemoveAndEditNeedExactlyOneSelectedThemeAndRemovingTheOpenOneClosesIt) {
    using Names = std::vector<std::string>;
    for (auto [selected, acts] :
         {std::pair{Names{}, false}, {Names{"A", "B"}, false}, {Names{"A"}, true}}) {
        SCOPED_TRACE(selected.size());
        fs::remove_all(home());
        inCollection("A");
        inCollection("B");
        MainController& main = start();
        CollectionController& col = editor->collection();
        main.btn_browseCollection();
        dialogs.beeps = 0;
        select(col, selected);
        col.btn_editTheme();
        EXPECT_EQ(dialogs.beeps, acts ? 0 : 1);
        EXPECT_EQ(main.session().theme() != nullptr, acts);
        EXPECT_EQ(col.collection_window->isVisible(), !acts);
        if (acts) {
            EXPECT_EQ(main.session().theme()->dockPath(), (folder() / "A.docktheme").string());
            EXPECT_EQ(main.shownTab(), MainController::kInformationTab);
            main.btn_closeTheme();
            emit col.listOfThemes->activated(
                col.listOfThemes->selectionModel()->selectedIndexes()[0]);
            ASSERT_TRUE(main.session().theme());
        }
        select(col, selected);
        col.btn_removeTheme();  // the open theme is closed and trashed
        EXPECT_FALSE(main.session().theme());
        EXPECT_EQ(main.shownTab(), MainController::kWelcomeTab);
        EXPECT_EQ(fs::exists(folder() / "A.docktheme"), !acts);
        EXPECT_EQ(fs::exists(home() / ".local/share/Trash/files/A.docktheme/Info.plist"), acts);
        EXPECT_TRUE(fs::exists(folder() / "B.docktheme"));
        EXPECT_EQ(col.stat_collection->text(), acts ? "1 theme(s)" : "2 theme(s)");
        EXPECT_EQ(dialogs.beeps, acts ? 0 : 1);
        EXPECT_TRUE(dialogs.alerts.empty());
    }
}

TEST_F(CollectionTest, ABrokenThemeCanBeRemovedButNotEditedAndAFailedRemovalIsReported) {
    inCollection("Broken");
    inCollection("Gone");
    fs::remove_all(folder() / "Broken.docktheme/images");
    MainController& main = start();
    CollectionController& col = editor->collection();
    main.btn_browseCollection();
    select(col, {"Broken"});
    col.btn_editTheme();  // the main window tells why; the collection stays
    EXPECT_FALSE(main.session().theme());
    EXPECT_TRUE(col.collection_window->isVisible());
    col.btn_removeTheme();
    EXPECT_FALSE(fs::exists(folder() / "Broken.docktheme"));
    EXPECT_EQ(col.stat_collection->text(), "1 theme(s)");
    dialogs.alerts.clear();
    select(col, {"Gone"});
    fs::remove_all(folder() / "Gone.docktheme");  // taken away behind the window's back
    col.btn_removeTheme();
    EXPECT_EQ(alertTitles(), "Theme Not Removed");
    EXPECT_EQ(col.stat_collection->text(), "0 theme(s)");
}

TEST_F(CollectionTest, ADropIsTakenAsACopySoTheSourceKeepsItsOriginal) {
    CollectionController& col = collection();
    const QString theme = themeCopy("Dropped");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(theme)});
    // Each: the actions the source offers, whether the drop is taken. Shift proposes a move.
    for (auto [offered, taken] : {std::pair{Qt::DropActions(Qt::MoveAction), false},
                                  {Qt::CopyAction | Qt::MoveAction, true}}) {
        QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(col.listOfThemes->viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(col.listOfThemes->viewport(), &drop);
        EXPECT_EQ(enter.isAccepted() && drop.isAccepted(), taken);
        EXPECT_EQ(drop.dropAction(), taken ? Qt::CopyAction : drop.proposedAction());
        EXPECT_EQ(fs::exists(entry("Dropped")), taken);
        EXPECT_TRUE(fs::exists(temp() / "Dropped.docktheme/Info.plist"));
    }
}

TEST_F(CollectionTest, ApplyPutsTheSelectedThemeOnTheDockWithoutOpeningIt) {
    inCollection("A");
    inCollection("B");
    fs::copy_file(text(picture("front.png", {128, 4}, Qt::blue)),
                  entry("A") / "images/frontline.png", fs::copy_options::overwrite_existing);
    MainController& main = start();
    CollectionController& col = editor->collection();
    main.btn_browseCollection();
    auto* apply = named<QPushButton>("Apply the selected theme");
    for (const std::vector<std::string>& names : {std::vector<std::string>{}, {"A", "B"}}) {
        select(col, names);
        EXPECT_FALSE(apply->isEnabled());
        col.btn_applyTheme();
    }
    EXPECT_EQ(dialogs.beeps, 2);
    // Tabbed into with none selected, the list selects the theme it marks.
    const QModelIndex marked = col.listOfDirectory->index(1);
    col.listOfThemes->selectionModel()->setCurrentIndex(marked, QItemSelectionModel::Clear);
    QFocusEvent tabbed(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(col.listOfThemes, &tabbed);
    EXPECT_EQ(col.listOfThemes->selectionModel()->selectedIndexes(), QModelIndexList{marked});
    EXPECT_TRUE(apply->isEnabled());
    select(col, {"A"});
    QSignalSpy ended(&main, &MainController::applyEnded);
    const QList<QAction*> actions = col.collection_window->actions();
    auto shortcut = std::ranges::find(actions, QKeySequence("Ctrl+Return"), &QAction::shortcut);
    ASSERT_NE(shortcut, actions.end());
    (*shortcut)->trigger();
    ASSERT_TRUE(waitUntil([&] { return ended.count() == 1; }));
    EXPECT_EQ(readFile(dockResources() / "frontline.png"),
              readFile(entry("A") / "images/frontline.png"));
    EXPECT_FALSE(main.session().theme());
    EXPECT_TRUE(dialogs.alerts.empty()) << text(alertTitles());
}
