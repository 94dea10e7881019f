// The collection against a stranger's themes and a hostile disk: links, FIFOs, a refusing trash.
#include "EditorTest.h"

using HostileCollectionTest = CollectionTest;
using Names = std::vector<std::string>;

TEST_F(HostileCollectionTest, AnAddTheCheckRefusesIsToldAndChangesNothing) {
    const std::string image = "indicator_medium_simple.png";  // one of the stock theme's table
    CollectionController& col = collection();
    // Each: the theme, its file made a FIFO (Info.plist: removed), the alert after its path.
    for (const auto& [name, file, alert] :
         {std::tuple<QString, std::string, std::string>{
              "Fifo", "images/" + image,
              " is corrupted: The image " + image +
                  " is not a plain file (a FIFO, a device or a socket)."},
          {"Bare", "Info.plist", " is corrupted: Info.plist is missing."}}) {
        SCOPED_TRACE(file);
        dialogs.alerts.clear();
        const QString chosen = themeCopy(name);
        const fs::path broken = text(chosen) + "/" + file;
        file == "Info.plist" ? (void)fs::remove(broken) : makeFifo(broken);
        const auto before = snapshot(temp());
        dialogs.panelAnswers = {chosen};
        col.btn_addTheme();
        EXPECT_EQ(changes(before, snapshot(temp())), Names{});
        EXPECT_EQ(alertTexts(), "Invalid theme!: " + chosen + QString::fromStdString(alert));
    }
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
