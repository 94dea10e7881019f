// The collection against a stranger's themes and a hostile disk: links, FIFOs, a refusing trash.
#include "EditorTest.h"

using HostileCollectionTest = CollectionTest;
using Names = std::vector<std::string>;

// Each finding's reason (a FIFO image, a missing Info.plist): ThemeCheckTest.
TEST_F(HostileCollectionTest, AnAddTheCheckRefusesIsToldAndChangesNothing) {
    CollectionController& col = collection();
    const QString chosen = themeCopy("Bare");
    fs::remove(text(chosen) + "/Info.plist");
    const auto before = snapshot(temp());
    dialogs.panelAnswers = {chosen};
    col.btn_addTheme();
    EXPECT_EQ(changes(before, snapshot(temp())), Names{});
    EXPECT_EQ(alertTexts(), "Invalid theme!: " + chosen + " is corrupted: Info.plist is missing.");
    EXPECT_EQ(entries(folder()), Names{});
}

TEST_F(HostileCollectionTest, AnUnreadableFolderIsToldAndANonUtf8NameOpens) {
    fs::remove_all(folder());
    writeFile(folder(), "a file where the folder should be");
    CollectionController& blocked = collection();
    EXPECT_EQ(blocked.stat_collection->text(), "0 theme(s): the collection folder can't be read");
    EXPECT_EQ(blocked.listOfDirectory->rowCount(), 0);
    QString chosen = themeCopy("New");
    const auto unadded = snapshot(temp());
    dialogs.panelAnswers = {chosen};
    blocked.btn_addTheme();
    EXPECT_EQ(alertTexts(), "Theme Not Added: " + chosen +
                                " could not be copied into your collection: the collection "
                                "folder " +
                                qs(folder()) + " can't be read (Not a directory).");
    EXPECT_EQ(changes(unadded, snapshot(temp())), Names{});
    fs::remove(folder());
    inCollection("Caf\xe9");
    MainController& main = start();
    CollectionController& again = editor->collection();
    again.listOfThemes->selectionModel()->select(again.listOfDirectory->index(0),
                                                 QItemSelectionModel::Select);
    again.btn_editTheme();
    ASSERT_TRUE(main.session().theme());
    EXPECT_EQ(main.session().theme()->dockPath(), entry("Caf\xe9").string());
}

TEST_F(HostileCollectionTest, WhenTheTrashRefusesRemoveAsksFirstAndDeletesOnlyThatEntry) {
    for (auto [what, link, answer] : {std::tuple{"Cancel keeps it", false, false},
                                      {"Delete removes that entry", false, true},
                                      {"Delete on a link removes the link only", true, true}}) {
        SCOPED_TRACE(what);
        fs::remove_all(home());
        fs::remove_all(temp() / "Target.docktheme");
        inCollection("B");
        if (link) {
            themeCopy("Target");
            fs::create_directory_symlink(temp() / "Target.docktheme", entry("A"));
        } else {
            inCollection("A");
        }
        CollectionController& col = collection();
        col.moveToTrash = [](const QString&) { return false; };
        dialogs.asked.clear();
        const auto before = snapshot(temp());
        select(col, {"A"});
        dialogs.askAnswers = {answer};
        col.btn_removeTheme();
        ASSERT_EQ(dialogs.asked.size(), 1u);
        EXPECT_EQ(dialogs.asked[0].button + ": " + dialogs.asked[0].message,
                  "Delete: A.docktheme cannot be moved to the trash. Delete it permanently?");
        EXPECT_TRUE(dialogs.alerts.empty());
        Names ignored = {"home/.config/", "home/.cache/"};
        if (answer) {  // the entry alone goes, a link without its target
            ignored.push_back("home/.local/share/Velvanto/A.docktheme");
        }
        EXPECT_EQ(changes(without(before, ignored), without(snapshot(temp()), ignored)), Names{});
        EXPECT_EQ(fs::exists(fs::symlink_status(entry("A"))), !answer);
    }
}
