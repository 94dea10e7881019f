// Theme archives opened in the editor: each way in adds the theme to the collection.
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressDialog>
#include <QThreadPool>

#include "EditorTest.h"
#include "model/ThemeArchive.h"

class ArchiveImportTest : public CollectionTest {
protected:
    // A copy of the stock theme, name.docktheme called dockName, exported to
    // temp()/name.docktheme.zip; the copy itself is gone.
    QString archiveOf(const std::string& name, const std::string& dockName) {
        const std::string bundle = text(themeCopy(qs(name), {{"VL_DockName", dockName}}));
        std::string why;
        EXPECT_TRUE(ThemeArchive::write(bundle, bundle + ".zip", MiscKit::sharedFiles(), {},
                                        FileManager::Existing::Kept, &why))
            << why;
        fs::remove_all(bundle);
        return qs(bundle + ".zip");
    }
    static void drop(QWidget* target, const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        // A drop reaches the widget that took the drag's entry.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    bool opened(MainController& c, const std::string& name) {
        return c.session().theme() && fs::path(c.session().theme()->dockPath()) == entry(name);
    }
};

TEST_F(ArchiveImportTest, EveryWayInAddsTheThemeToTheCollection) {
    MainController& c = start();
    // Each: what, how it opens the archive (a panel answered with it), whether the theme opens
    // in the main window after.
    const std::vector<std::tuple<const char*, std::function<void(const QString&)>, bool>> ways = {
        {"the open panel", [&](const QString&) { c.btn_toolbar_opentheme(); }, true},
        {"the program's argument", [&](const QString& zip) { c.openHandedOver(zip); }, true},
        {"a drop on the welcome view",
         [&](const QString& zip) {
             c.setFileImagePathForSelection(
                 zip, named<DragDropImageView>("Drop a theme here to open it"));
         },
         true},
        {"the collection's Add", [&](const QString&) { editor->collection().btn_addTheme(); },
         false},
        {"a drop on the collection list",
         [&](const QString& zip) { drop(editor->collection().listOfThemes->viewport(), zip); },
         false},
    };
    std::vector<std::string> added;
    for (const auto& [what, open, opens] : ways) {
        SCOPED_TRACE(what);
        const std::string name = "T" + std::to_string(added.size());
        const QString zip = archiveOf(name, "Theme " + name);
        dialogs.panelAnswers = {zip};
        open(zip);
        // The theme opens as it gets its name, in one step on the UI thread.
        EXPECT_TRUE(waitUntil([&] { return fs::exists(entry(name)); }));
        EXPECT_EQ(opened(c, name), opens);
        EXPECT_EQ(dockNameOf(entry(name)), "Theme " + name);
        added.push_back(name + ".docktheme");
        EXPECT_EQ(entries(folder()), added);  // nothing hidden left beside
    }
    EXPECT_EQ(dialogs.panelTitles.size(), 2u);  // only the two ways by a panel asked
    EXPECT_EQ(text(alertTitles()), "");
}

TEST_F(ArchiveImportTest, AHostileArchiveIsRefusedWithAnAlertAndChangesNothing) {
    inCollection("Kept");
    MainController& c = start();
    // A theme whose Info.plist is renamed, by hand, to a name that climbs out of it.
    const fs::path evil = temp() / "evil.zip";
    std::string zipped = readFile(text(archiveOf("Good", "Good")));
    const std::string name = "Good.docktheme/Info.plist";
    for (std::size_t at = zipped.find(name); at != std::string::npos; at = zipped.find(name, at)) {
        zipped.replace(at, name.size(), "Good.docktheme/../../evil");
    }
    writeFile(evil, zipped);
    const auto before = snapshot(folder().parent_path());
    c.openFile(qs(evil));
    EXPECT_TRUE(waitUntil([&] { return !dialogs.alerts.empty(); }));
    EXPECT_EQ(text(alertTexts()),
              "Theme Not Imported: evil.zip can't be imported: the name "
              "\u201CGood.docktheme/../../evil\u201D leaves the theme.");
    EXPECT_EQ(changes(before, snapshot(folder().parent_path())), std::vector<std::string>{});
    EXPECT_EQ(entries(folder()), std::vector<std::string>{"Kept.docktheme"});
    EXPECT_FALSE(c.session().theme());
}

TEST_F(ArchiveImportTest, AnExportedThemeRemovedFromTheCollectionComesBackFromItsFile) {
    inCollection("Mine");
    MainController& c = start();
    CollectionController& col = editor->collection();
    select(col, {"Mine"});
    const fs::path zip = temp() / "Mine.docktheme.zip";
    writeFile(zip, "an older file");
    dialogs.panelAnswers = {qs(temp() / "Mine"), qs(temp() / "Mine.docktheme")};
    dialogs.askAnswers = {false, true};
    col.btn_exportTheme();  // the older file is kept
    col.btn_exportTheme();
    EXPECT_TRUE(waitUntil([&] { return readFile(zip).starts_with("PK"); }));
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(text(dialogs.asked[0].message),
              "Mine.docktheme.zip already exists. Want you to replace it?");
    col.moveToTrash = [](const QString& path) { return fs::remove_all(text(path)) > 0; };
    col.btn_removeTheme();
    EXPECT_EQ(entries(folder()), std::vector<std::string>{});
    c.openHandedOver(qs(zip));
    EXPECT_TRUE(waitUntil([&] { return opened(c, "Mine"); }));
    // Opened again, it clashes with itself: Cancel keeps the theme, Replace puts the file's in.
    writeFile(entry("Mine") / "notes.txt", "the copy in the collection");
    dialogs.askAnswers = {false, true};
    c.openFile(qs(zip));
    EXPECT_TRUE(waitUntil([&] { return dialogs.asked.size() == 3; }));
    EXPECT_TRUE(fs::exists(entry("Mine") / "notes.txt"));
    c.openFile(qs(zip));
    EXPECT_TRUE(waitUntil([&] { return !fs::exists(entry("Mine") / "notes.txt"); }));
    EXPECT_EQ(text(dialogs.asked[3].title + ": " + dialogs.asked[3].message),
              "Theme already exist!: Mine.docktheme already exist in your collection. Want you "
              "to replace it?");
    EXPECT_TRUE(opened(c, "Mine"));
    EXPECT_EQ(entries(folder()), std::vector<std::string>{"Mine.docktheme"});
    // Unsaved information edits are asked about first: Cancel exports nothing.
    type(named<QLineEdit>("Theme name"), "Unsaved");
    dialogs.saveAnswers = {Dialogs::SaveAnswer::Cancel, Dialogs::SaveAnswer::DontSave};
    const std::size_t panels = dialogs.panelTitles.size();
    select(col, {"Mine"});
    col.btn_exportTheme();
    EXPECT_EQ(dialogs.panelTitles.size(), panels);
    // File > Export Theme… writes the open theme the same, byte for byte.
    dialogs.panelAnswers = {qs(temp() / "again.zip")};
    c.btn_exportTheme();
    EXPECT_EQ(dialogs.questions, 2);
    EXPECT_TRUE(waitUntil([&] { return fs::exists(temp() / "again.zip"); }));
    EXPECT_EQ(readFile(temp() / "again.zip"), readFile(zip));
    // A link where the archive goes is refused unasked, and nothing is written (the other
    // refusals are the archive's tests).
    fs::create_symlink("again.zip", temp() / "link.zip");
    const auto before = snapshot(temp());
    dialogs.panelAnswers = {qs(temp() / "link.zip")};
    c.btn_exportTheme();
    EXPECT_TRUE(waitUntil([&] { return !dialogs.alerts.empty(); }));
    EXPECT_EQ(text(alertTexts()),  // the only alert of the whole case
              "Theme Not Exported: Mine.docktheme could not be exported: \u201C" +
                  (temp() / "link.zip").string() + "\u201D exists already.");
    EXPECT_EQ(dialogs.asked.size(), 4u);
    EXPECT_EQ(changes(before, snapshot(temp())), std::vector<std::string>{});
}

TEST_F(ArchiveImportTest, AnImportCancelledOrCutShortByQuittingLeavesNothing) {
    const QString zip = archiveOf("T", "T");
    // Each: how the import stops, whether its end is told (a quit tells no one).
    const std::vector<std::tuple<const char*, std::function<void()>, bool>> stops = {
        {"Cancel in its progress dialog",
         [] {
             auto* progress = named<QProgressDialog>("Importing the theme");
             ASSERT_TRUE(progress);
             emit progress->canceled();  // as its Cancel button does
         },
         true},
        {"quitting", [this] { editor.reset(); }, false},
    };
    for (const auto& [what, stop, told] : stops) {
        SCOPED_TRACE(what);
        start();
        bool done = false;
        editor->collection().importArchive(zip, [&done](const std::optional<std::string>& bundle) {
            done = true;
            EXPECT_FALSE(bundle);
        });
        stop();
        QThreadPool::globalInstance()->waitForDone();
        EXPECT_EQ(told && waitUntil([&] { return done; }), done);
        EXPECT_EQ(entries(folder()), std::vector<std::string>{});
    }
    EXPECT_EQ(text(alertTitles()), "");
}
