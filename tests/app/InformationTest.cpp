// The information view: saving, the author's site and the Dock screenshots.
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTextEdit>

#include "EditorTest.h"
#include "model/DockTheme.h"
#include "platform/PropertyList.h"

namespace fs = std::filesystem;

using InformationTest = EditorTest;

TEST_F(InformationTest, SavingWritesEveryFieldAndTheDescription) {
    MainController& c = start();
    QString theme = themeCopy("A");
    ASSERT_TRUE(c._openThemeAtPath(theme));
    c.previewdock_title->setText("Velvet");
    c.previewdock_author->setText("Vera");
    c.previewdock_site->setText("https://vera.example");
    c.previewdock_version->setText("");
    c.previewdock_appcasturl->setText("https://vera.example/feed.xml");
    c.previewdock_description->setHtml("<p>Deep <b>red</b></p>");
    EXPECT_TRUE(c.hasUnsavedInformation());
    EXPECT_TRUE(c.btn_saveInfo());
    EXPECT_FALSE(c.hasUnsavedInformation());
    auto reopened = DockTheme::initWithBundleAtPath(theme.toStdString());
    EXPECT_EQ(reopened->dockName(), "Velvet");
    EXPECT_EQ(reopened->dockAuthor(), "Vera");
    EXPECT_EQ(reopened->dockAuthorSite(), "https://vera.example");
    EXPECT_EQ(reopened->version(), "");
    EXPECT_EQ(reopened->dockAppcast(), "https://vera.example/feed.xml");
    ASSERT_TRUE(reopened->description());
    EXPECT_EQ(reopened->description()->plainText(), "Deep red");
    EXPECT_EQ(reopened->description()->paragraphs()[0].runs[1].attributes.bold, true);
    EXPECT_EQ(c.edit_window->windowTitle(), "Velvanto - Velvet by Vera");
}

TEST_F(InformationTest, AFailedWriteIsReported) {
    MainController& c = start();
    QString theme = themeCopy("A");
    ASSERT_TRUE(c._openThemeAtPath(theme));
    // A folder where Info.plist should be: no file can be renamed over it.
    fs::remove(theme.toStdString() + "/Info.plist");
    fs::create_directories(theme.toStdString() + "/Info.plist/inside");
    EXPECT_FALSE(c.btn_saveInfo());
    EXPECT_EQ(alertTitles(), "Information Not Saved");
    c.btn_closeDockPreview();
    EXPECT_EQ(dialogs.alerts.size(), 2u);
}

TEST_F(InformationTest, OnlyWebAddressesOfTheAuthorAreOpened) {
    MainController& c = start();
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("A")));
    struct Case {
        const char* site;
        bool opened;
    };
    for (Case k : {Case{"https://vera.example/themes", true}, Case{"http://vera.example", true},
                   Case{"file:///etc/passwd", false}, Case{"vera.example", false},
                   Case{"/usr/share/applications/x.desktop", false},
                   Case{"javascript:alert(1)", false}, Case{"https://", false}, Case{"", false}}) {
        int before = static_cast<int>(dialogs.openedUrls.size());
        int beeps = dialogs.beeps;
        c.previewdock_site->setText(k.site);
        c.btn_previewAuthorSite();
        EXPECT_EQ(static_cast<int>(dialogs.openedUrls.size()) - before, k.opened ? 1 : 0) << k.site;
        EXPECT_EQ(dialogs.beeps - beeps, k.opened ? 0 : 1) << k.site;
    }
    EXPECT_EQ(dialogs.openedUrls[0], QUrl("https://vera.example/themes"));
}

TEST_F(InformationTest, TheScreenshotOrItsPlaceholderAndRenderedScreenshots) {
    MainController& c = start();
    QString theme = themeCopy("A");
    fs::remove(theme.toStdString() + "/preview_2d.png");
    ASSERT_TRUE(c._openThemeAtPath(theme));
    QImage placeholder(QString::fromStdString((appResources() / "drag_here.png").string()));
    QImage glass(theme + "/preview_3d.png");
    EXPECT_EQ(c.screenshot_preview->image(), glass);
    c.preview_dockshow_selection->setCurrentIndex(1);
    c.btn_preview_changeShowPreview();
    EXPECT_EQ(c.screenshot_preview->image(), placeholder);

    fs::remove(theme.toStdString() + "/preview_3d.png");
    QSignalSpy rendered(&c, &MainController::screenshotsRendered);
    c.btn_renderDockScreenshots();
    ASSERT_TRUE(waitUntil([&] { return rendered.count() == 1; }));
    EXPECT_TRUE(rendered.first().first().toBool());
    EXPECT_FALSE(QImage(theme + "/preview_3d.png").isNull());
    EXPECT_FALSE(QImage(theme + "/preview_2d.png").isNull());
    EXPECT_EQ(c.screenshot_preview->image(), QImage(theme + "/preview_2d.png"));
}

TEST_F(InformationTest, DropsOnThePreviewsReachTheThemeAtOnce) {
    MainController& c = start();
    QString theme = themeCopy("A");
    ASSERT_TRUE(c._openThemeAtPath(theme));
    QImage red(20, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    QString picture = QString::fromStdString((temp() / "red.png").string());
    ASSERT_TRUE(red.save(picture));
    c.setFileImagePathForSelection(picture, c.info_micropreview);
    EXPECT_EQ(QImage(theme + "/preview_micro.png").pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(c.info_micropreview->image().size(), QSize(20, 10));
    c.setFileImagePathForSelection(picture, c.screenshot_preview);
    EXPECT_EQ(QImage(theme + "/preview_3d.png").size(), QSize(20, 10));
    EXPECT_EQ(dialogs.beeps, 0);
    c.setFileImagePathForSelection(theme + "/Info.plist", c.screenshot_preview);
    EXPECT_EQ(dialogs.beeps, 1);
}
