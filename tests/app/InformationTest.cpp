// The information view: saving, the author's site, the project's pages and the Dock screenshots.
#include "EditorTest.h"
#include "app/DropPlaceholder.h"

using InformationTest = EditorTest;

TEST_F(InformationTest, ScreenshotsAndWebAddressesShownAndEveryFieldSavedOrAFailedWriteReported) {
    MainController& c = start();
    auto* screenshot = named<DragDropImageView>("Dock screenshot");
    QString theme = themeCopy("A");
    fs::remove(theme.toStdString() + "/preview_2d.png");
    ASSERT_TRUE(c._openThemeAtPath(theme));
    EXPECT_TRUE(pictured(c));
    EXPECT_EQ(screenshot->image(), QImage(theme + "/preview_3d.png"));
    // The 3D one asked again, then the missing 2D one before it lands: the placeholder stays.
    c.btn_preview_changeShowPreview();
    named<QComboBox>("Dock screenshot style")->setCurrentIndex(1);
    c.btn_preview_changeShowPreview();
    EXPECT_TRUE(pictured(c));
    EXPECT_EQ(screenshot->image(), DropPlaceholder::load());

    fs::remove(theme.toStdString() + "/preview_3d.png");
    QSignalSpy rendered(&c, &MainController::screenshotsRendered);
    c.btn_renderDockScreenshots();
    ASSERT_TRUE(waitUntil([&] { return rendered.count() == 1; }));
    EXPECT_TRUE(rendered.first().first().toBool());
    EXPECT_FALSE(QImage(theme + "/preview_3d.png").isNull());
    EXPECT_FALSE(QImage(theme + "/preview_2d.png").isNull());
    EXPECT_TRUE(pictured(c));
    EXPECT_EQ(screenshot->image(), QImage(theme + "/preview_2d.png"));
    // Only web addresses of the author and the project's own pages are opened.
    for (auto [site, opened] : {std::pair{"https://vera.example/themes", true},
                                {"http://vera.example", true},
                                {"file:///etc/passwd", false},
                                {"vera.example", false},
                                {"/usr/share/applications/x.desktop", false},
                                {"javascript:alert(1)", false},
                                {"https://", false},
                                {"", false}}) {
        std::size_t before = dialogs.openedUrls.size();
        int beeps = dialogs.beeps;
        named<QLineEdit>("Author's web site")->setText(site);
        c.btn_previewAuthorSite();
        EXPECT_EQ(dialogs.openedUrls.size() - before, opened ? 1u : 0u) << site;
        EXPECT_EQ(dialogs.beeps - beeps, opened ? 0 : 1) << site;
    }
    EXPECT_EQ(dialogs.openedUrls[0], QUrl("https://vera.example/themes"));
    // The web pages are the project's own documentation.
    dialogs.openedUrls.clear();
    c.btn_Home();
    c.btn_change_donate();
    ASSERT_EQ(dialogs.openedUrls.size(), 2u);
    for (const QUrl& page : dialogs.openedUrls) {
        EXPECT_TRUE(page.isLocalFile());
        EXPECT_TRUE(QFile::exists(page.toLocalFile())) << text(page.toString());
    }
    // Saving writes every field and the description.
    named<QLineEdit>("Theme name")->setText("Velvet");
    named<QLineEdit>("Author")->setText("Vera");
    named<QLineEdit>("Author's web site")->setText("https://vera.example");
    named<QLineEdit>("Version")->setText("");
    named<QLineEdit>("Update feed address")->setText("https://vera.example/feed.xml");
    named<QTextEdit>("Description")->setHtml("<p>Deep <b>red</b></p>");
    EXPECT_TRUE(c.session().hasUnsavedInformation());
    EXPECT_TRUE(c.btn_saveInfo());
    EXPECT_FALSE(c.session().hasUnsavedInformation());
    auto reopened = DockTheme::initWithBundleAtPath(theme.toStdString());
    EXPECT_EQ(reopened->dockName(), "Velvet");
    EXPECT_EQ(reopened->dockAuthor(), "Vera");
    EXPECT_EQ(reopened->dockAuthorSite(), "https://vera.example");
    EXPECT_EQ(reopened->version(), "");
    EXPECT_EQ(reopened->dockAppcast(), "https://vera.example/feed.xml");
    ASSERT_TRUE(reopened->description());
    EXPECT_EQ(reopened->description()->plainText(), "Deep red");
    EXPECT_EQ(reopened->description()->paragraphs()[0].runs[1].attributes.bold, true);
    const QString folder = " (" + qs(temp()) + ")[*]";
    EXPECT_EQ(mainWindow()->windowTitle(), "Velvanto - Velvet by Vera" + folder);
    // Saved empty, a name and an author read as a refresh shows them.
    type(named<QLineEdit>("Theme name"), "");
    type(named<QLineEdit>("Author"), "");
    EXPECT_TRUE(c.btn_saveInfo());
    EXPECT_EQ(mainWindow()->windowTitle(), "Velvanto - Untitled by Unknown" + folder);
    // A folder where Info.plist should be: no file can be renamed over it, so
    // nothing of the save reaches the disk or the theme in memory.
    const std::string info = bytes(theme + "/Info.plist");
    const std::string description = bytes(theme + "/description.rtf");
    fs::remove(theme.toStdString() + "/Info.plist");
    fs::create_directories(theme.toStdString() + "/Info.plist/inside");
    named<QLineEdit>("Theme name")->setText("Unsaved");
    named<QTextEdit>("Description")->setHtml("<p>Unsaved words</p>");
    EXPECT_FALSE(c.btn_saveInfo());
    EXPECT_EQ(alertTitles(), "Information Not Saved");
    c.btn_closeDockPreview();
    EXPECT_EQ(dialogs.alerts.size(), 2u);
    EXPECT_EQ(bytes(theme + "/description.rtf"), description);
    EXPECT_EQ(c.session().theme()->dockName(), "");  // as last saved
    EXPECT_TRUE(c.session().hasEditedDescription());
    // A later screenshot drop writes Info.plist from memory: the saved values only.
    fs::remove_all(theme.toStdString() + "/Info.plist");
    writeFile(theme.toStdString() + "/Info.plist", info);
    c.setFileImagePathForSelection(picture("shot.png", {40, 10}), screenshot);
    EXPECT_EQ(bytes(theme + "/Info.plist"), info);
}
