// The open theme's one door: its edits, what reaches the bundle and what its
// signals tell, without a window; and results of work for a theme no longer
// open are dropped.
#include <sys/stat.h>

#include <QUndoStack>

#include "EditorTest.h"

namespace {

class ThemeSessionTest : public EditorTest {
protected:
    // A session with a copy of the stock theme, temp()/S.docktheme, open.
    std::unique_ptr<ThemeSession> opened() {
        auto session = std::make_unique<ThemeSession>(dialogs);
        const QString bundle = themeCopy("S", {{"VL_DockAuthor", "Ann"}, {"VL_DockVersion", "1"}});
        EXPECT_EQ(session->open(text(bundle)), ThemeSession::Opening::Opened);
        return session;
    }
};

TEST_F(ThemeSessionTest, StoringAuthorAndSiteWritesOnlyThemAndAReplacementIsRefusedWholeOrDone) {
    std::unique_ptr<ThemeSession> session = opened();
    QSignalSpy saved(session.get(), &ThemeSession::saved);
    DockTheme::Information values = session->theme()->information();
    values.author = "Bo";
    values.version = "2";
    session->editInformation(values);
    ASSERT_TRUE(session->storeAuthorAndSite("Bo", "https://bo.example"));
    EXPECT_EQ(saved.count(), 1);
    auto disk = DockTheme::initWithBundleAtPath(at("S.docktheme").toStdString());
    ASSERT_TRUE(disk);
    EXPECT_EQ(disk->dockAuthor(), "Bo");
    EXPECT_EQ(disk->dockAuthorSite(), "https://bo.example");
    EXPECT_EQ(disk->version(), "1");  // the version stays an unsaved edit
    ASSERT_TRUE(session->unsavedInformation());
    EXPECT_EQ(session->unsavedInformation()->version, "2");
    // Once what is left is stored too, nothing is unsaved.
    values.site = "https://bo.example";
    values.version = "1";
    session->editInformation(values);
    ASSERT_TRUE(session->storeAuthorAndSite("Bo", "https://bo.example"));
    EXPECT_FALSE(session->hasUnsavedInformation());

    // A slot replacement is refused whole, or done with its undo and told.
    const DockTheme::SlotList& list = session->theme()->slotList(DockCategory::TwoD);
    const auto slot = std::ranges::find_if(
        list, [](const auto& item) { return item->keyDock() == "Separator_Horizontal"; });
    ASSERT_NE(slot, list.end());
    const int row = static_cast<int>(slot - list.begin());
    const QString fifo = at("fifo.png");
    ASSERT_EQ(::mkfifo(text(fifo).c_str(), 0600), 0);
    writeFile(temp() / "text.png", "not a picture");
    const QString red = picture("red.png", {60, 4});
    const std::string taken =
        session->theme()->getFileNameForKey("Separator_Vertical", DockCategory::TwoD).value();
    // Each refused replacement: the file, the name proposed, the alert's title.
    const std::vector<std::tuple<QString, std::string, QString>> refused = {
        {red, taken, "Duplicate file"},
        {fifo, "fifo.png", "Image Not Replaced"},
        {at("text.png"), "text.png", "Image Not Replaced"},
        {at("missing.png"), "missing.png", "Image Not Replaced"},
    };
    const auto before = snapshot(temp() / "S.docktheme");
    for (const auto& [file, name, title] : refused) {
        dialogs.alerts.clear();
        EXPECT_FALSE(session->replaceSlotImage(DockCategory::TwoD, row, file, name)) << name;
        EXPECT_EQ(alertTitles(), title) << name;
    }
    EXPECT_FALSE(session->replaceSlotImage(DockCategory::TwoD, 999, red, "red.png"));
    EXPECT_EQ(changes(before, snapshot(temp() / "S.docktheme")), std::vector<std::string>{});
    EXPECT_EQ(session->history().count(), 0);

    // What a replacement and its undo leave in the bundle is the slot drop's test.
    QSignalSpy changed(session.get(), &ThemeSession::slotChanged);
    ASSERT_TRUE(session->replaceSlotImage(DockCategory::TwoD, row, red, "red.png"));
    session->history().undo();
    ASSERT_EQ(changed.count(), 2);  // done and undone, each on its slot
    EXPECT_EQ(changed.at(1).at(1).toInt(), row);
}

TEST_F(ThemeSessionTest, TheGenerationMovesWithTheOpenThemeAndAStaleCheckShowsNothing) {
    std::unique_ptr<ThemeSession> session = opened();
    const quint64 first = session->generation();
    ASSERT_TRUE(session->close());
    EXPECT_NE(session->generation(), first);
    EXPECT_EQ(session->open(text(themeCopy("T"))), ThemeSession::Opening::Opened);
    EXPECT_NE(session->generation(), first);

    // The check of a theme that went before its findings came shows none of them.
    MainController& c = start();
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("Checked")));
    c.btn_checkTheme();
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("Other")));
    QThreadPool::globalInstance()->waitForDone();
    for (int turn = 0; turn < 3; ++turn) {  // the finished check's answer comes as events
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(dialogs.alerts.empty());
    EXPECT_TRUE(dialogs.sheets.empty());
    // Checked again, the theme open now gets its answer.
    c.btn_checkTheme();
    EXPECT_TRUE(waitUntil([&] { return !dialogs.alerts.empty() || !dialogs.sheets.empty(); }));
}

}  // namespace
