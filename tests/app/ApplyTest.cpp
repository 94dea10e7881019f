// Applying and restoring: rights asked off the UI thread, the tool's run, what the user is told.
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include "EditorTest.h"
#include "privileged/SXAuthentication.h"

class ApplyTest : public EditorTest {
protected:
    // Runs command and waits for the apply it starts to end; whether it went through.
    bool applied(const std::function<void()>& command) {
        QSignalSpy ended(&editor->main(), &MainController::applyEnded);
        command();
        EXPECT_TRUE(waitUntil([&] { return ended.count() > 0; }));
        return ended.count() > 0 && ended.first().first().toBool();
    }
};

// The images the tool installs: ApplyToolTest.
TEST_F(ApplyTest, ApplyingInstallsTheImagesAndSetsTheStyleOnlyWhenAsked) {
    for (bool autoStyle : {false, true}) {
        writeFile(dockPreferences(), PropertyList::toXML(PlistValue(
                                         PlistValue::Dictionary{{"tilesize", PlistValue(48.0)}})));
        UserDefaults().setBool(UserDefaults::kAutoDockStyle, autoStyle);
        MainController& c = start();
        ASSERT_TRUE(c._openThemeAtPath(themeCopy(autoStyle ? "Auto" : "Plain")));
        named<QComboBox>("Dock style")->setCurrentIndex(1);
        EXPECT_TRUE(applied([&] { c.btn_change_applyTheme(); }));
        EXPECT_EQ(MiscKit::currentDockType(), autoStyle ? DockStyle::TwoD : DockStyle::ThreeD);
        EXPECT_EQ(PropertyList::readDictionary(dockPreferences())->find("no-glass") != nullptr,
                  autoStyle);
        EXPECT_TRUE(waitForKillall(autoStyle ? 3 : 1));
        EXPECT_TRUE(dialogs.alerts.empty()) << text(alertTitles());
        EXPECT_TRUE(dialogs.sheets.empty());  // the stock theme passes the check
        fs::remove(temp() / "killall.log");
    }
}

TEST_F(ApplyTest, TheWindowAndDecodesAnswerWhileTheRightsAreAskedForAndASecondApplyBeeps) {
    authorization->gated = true;
    // One thread in the global pool, as on a one-CPU machine: the wait must hold none of it.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    MainController& c = start();
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("A")));
    QSignalSpy ended(&c, &MainController::applyEnded);
    c.btn_change_applyTheme();
    ASSERT_TRUE(waitUntil([&] { return authorization->waiting(); }));
    // The dialog is up: timers, the global pool and picture decodes still run.
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    QFuture<bool> pooled = QtConcurrent::run([] { return true; });
    QString path = picture("a.png", {300, 100});
    c.session().decoder().thumbnail(path, QSize(64, 64));
    EXPECT_TRUE(waitUntil([&] {
        return fired && pooled.isFinished() && c.session().decoder().isCached(path, QSize(64, 64));
    }));
    EXPECT_TRUE(c.isApplying());
    c.btn_change_applyTheme();
    c.btn_restoreDock();
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(ended.count(), 0);
    authorization->open();
    ASSERT_TRUE(waitUntil([&] { return ended.count() == 1; }));
    EXPECT_TRUE(ended.first().first().toBool());
    EXPECT_FALSE(c.isApplying());
    EXPECT_EQ(authorization->dialogs, 1);
    QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
}

TEST_F(ApplyTest, RefusedRightsAndAFailingToolAreReportedNotCelebrated) {
    const QString refused = "Administrator rights were refused or cancelled.";
    for (auto [grant, brokenTheme, restore, alert] :
         {std::tuple{false, false, false, "Theme Not Applied: " + refused},
          {false, false, true, "Dock Not Restored: " + refused},
          {true, true, false, "Theme Not Applied: The apply tool failed with exit status 255."},
          {true, false, true,
           "Dock Restored!: Welcome back to Apple default 10.5 Dock style! Have a nice day"}}) {
        authorization->grant = grant;
        dialogs.alerts.clear();
        MainController& c = start();
        QString theme = themeCopy("T");
        ASSERT_TRUE(c._openThemeAtPath(theme));
        authorization->gated = brokenTheme;
        bool ok = applied([&] {
            restore ? c.btn_restoreDock() : c.btn_change_applyTheme();
            if (brokenTheme) {  // an image vanishes after the check, while rights are asked for
                ASSERT_TRUE(waitUntil([&] { return authorization->waiting(); }));
                fs::remove(theme.toStdString() + "/images/frontline.png");
                authorization->open();
            }
        });
        EXPECT_EQ(ok, alert.startsWith("Dock Restored!")) << text(alert);
        EXPECT_EQ(alertTexts(), alert);
        fs::remove_all(theme.toStdString());
        SXAuthentication::sharedInstance().deauthenticate();
    }
}

// The images put back byte for byte: OriginalImagesTest.TheFirstApplyKeepsTheDocksImages...
TEST_F(ApplyTest, RestoreOriginalPutsBackTheDocksOwnImagesOnceATheme) {
    writeFile(dockResources() / "frontline.png", "own front");
    MainController& c = start();
    EXPECT_FALSE(MainController::originalImagesKept());
    c.btn_restoreOriginalDock();  // nothing kept yet: nothing to do
    EXPECT_EQ(dialogs.beeps, 1);
    ASSERT_TRUE(c._openThemeAtPath(themeCopy("A")));
    ASSERT_TRUE(applied([&] { c.btn_change_applyTheme(); }));
    EXPECT_TRUE(MainController::originalImagesKept());
    EXPECT_TRUE(applied([&] { c.btn_restoreOriginalDock(); }));
    EXPECT_EQ(readFile(dockResources() / "frontline.png"), "own front");
    EXPECT_EQ(alertTexts(),
              "Dock Restored!: The Dock has the images it had before the first theme again.");
}
