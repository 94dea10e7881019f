// Check Theme for Update in the editor and the collection, against a loopback server: what the
// sheet says, what Install does to the bundle, and what a tampered archive leaves.
#include <QPlainTextEdit>
#include <QPushButton>

#include "EditorTest.h"
#include "model/ThemeSignature.h"
#include "support/UpdateServer.h"

namespace {

class UpdateSheetTest : public CollectionTest {
protected:
    void SetUp() override {
        CollectionTest::SetUp();
        keys = *ThemeSignature::generate();
    }
    // Serves a feed offering 1.1 at /a.zip, the archive's bytes changed at one place when tampered.
    void serve(bool tampered) {
        QByteArray good = UpdateServer::archiveOf(temp() / "made", "1.1", keys.publicKey,
                                                  server.url("/feed").toStdString());
        const std::string signature = *ThemeSignature::sign(good.toStdString(), keys.secretKey);
        if (tampered) {
            good[good.size() / 2] = char(good[good.size() / 2] ^ 0x5a);
        }
        server.answers["/feed"] =
            UpdateServer::Answer(200, UpdateServer::feed(UpdateServer::item(
                                          "1.1", server.url("/a.zip"), good.size(), signature)));
        server.answers["/a.zip"] = UpdateServer::Answer(200, good);
    }
    // A theme of version 1.0 with the key, its feed on the server.
    void makeTheme(const fs::path& bundle, bool withFeed = true) {
        UpdateServer::makeTheme(bundle, "1.0", keys.publicKey,
                                withFeed ? server.url("/feed").toStdString() : "");
    }
    static QString said() {
        QWidget* sheet = window("Checking the theme for an update");
        auto* label = sheet ? sheet->findChild<QLabel*>() : nullptr;
        return label ? label->text() : QString();
    }
    static std::string versionOf(const fs::path& bundle) {
        auto theme = DockTheme::initWithBundleAtPath(bundle.string());
        return theme ? theme->information().version : "(none)";
    }

    ThemeSignature::KeyPair keys;
    UpdateServer server;
};

TEST_F(UpdateSheetTest, TheSheetInstallsASignedReleaseAndATamperedOneChangesNothing) {
    // Each: whether the archive was tampered with, what the sheet says at the end.
    for (auto [tampered, end] :
         {std::pair{true,
                    "The update of Velvanto Default was not installed: the signature does "
                    "not match. The theme was not changed."},
          {false, "Velvanto Default 1.1 is installed. The old version is in the trash."}}) {
        SCOPED_TRACE(tampered);
        MainController& c = start();
        const fs::path bundle = temp() / "themes/Mine.docktheme";
        fs::remove_all(bundle.parent_path());
        makeTheme(bundle);
        serve(tampered);
        ASSERT_TRUE(c._openThemeAtPath(qs(bundle)));
        EXPECT_TRUE(action("Check Theme for Update…")->isEnabled());
        c.btn_checkUpdateForTheme();
        ASSERT_TRUE(waitUntil([] { return said().contains("available"); })) << text(said());
        EXPECT_EQ(said(),
                  "Velvanto Default 1.1 is available (you have 1.0).\nIt is signed by the "
                  "theme's author.");
        EXPECT_EQ(named<QPlainTextEdit>("Release notes")->toPlainText(), "New dots");
        named<QPushButton>("Install Update")->click();
        ASSERT_TRUE(waitUntil([] { return said().contains("installed"); })) << text(said());
        EXPECT_EQ(said(), end);
        // The window shows the theme as it is now.
        EXPECT_EQ(named<QLineEdit>("Version")->text(), tampered ? "1.0" : "1.1");
        named<QPushButton>("Close")->click();
    }
    EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(UpdateSheetTest, TheCollectionBadgesAThemeWithAReleaseAndUpdatesIt) {
    makeTheme(entry("Fed"));
    makeTheme(entry("Quiet"), false);  // no feed: not checked
    serve(false);
    CollectionController& col = collection();
    col.btn_checkUpdates();
    ASSERT_TRUE(waitUntil([&] {
        return col.stat_collection->text() == "2 theme(s), 1 update(s) available";
    })) << text(col.stat_collection->text());
    select(col, {"Fed"});
    EXPECT_TRUE(named<QPushButton>("Update the selected theme")->isEnabled());
    const QModelIndex fed = col.listOfThemes->selectionModel()->selectedIndexes().value(0);
    EXPECT_TRUE(fed.data(Qt::ToolTipRole).toString().startsWith("Update 1.1 available"));
    select(col, {"Quiet"});
    EXPECT_FALSE(named<QPushButton>("Update the selected theme")->isEnabled());
    select(col, {"Fed"});
    col.btn_updateTheme();
    ASSERT_TRUE(waitUntil([&] { return versionOf(entry("Fed")) == "1.1"; }));
    EXPECT_TRUE(
        waitUntil([&] { return !named<QPushButton>("Update the selected theme")->isEnabled(); }));
    EXPECT_EQ(versionOf(entry("Quiet")), "1.0");
    EXPECT_TRUE(dialogs.alerts.empty()) << text(alertTexts());
}

}  // namespace
