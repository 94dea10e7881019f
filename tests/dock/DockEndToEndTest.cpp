#include "dock/DockManifest.h"
#include "dock/DockTestSupport.h"
#include "dock/StandInRoot.h"
#include "model/MiscKit.h"
#include "support/TestEnvironment.h"

// With the real killall: the kept Dock's next manifest shows each applied change.
class DockEndToEndTest : public TestEnvironment {
protected:
    void SetUp() override {
        if (const char* reason = std::getenv("VELVANTO_END_TO_END_SKIP"))
            GTEST_SKIP() << reason;
        TestEnvironment::SetUp();
        setEnv("VELVANTO_KILLALL", "");  // the real /usr/bin/killall
        setEnv("VELVANTO_ROOT", (temp() / "stand-in").string());
        MiscKit catalogue(appResources() / "DatabaseInfo.plist");
        ASSERT_TRUE(StandInRoot::prepare(temp() / "stand-in", stockTheme().string(), catalogue));
    }
    // Waits for a manifest from a Dock other than previous; nothing when none comes.
    static std::optional<DockManifest> nextManifest(qint64 previous) {
        std::optional<DockManifest> manifest;
        eventually([&] {
            manifest = DockManifest::read();
            return manifest && manifest->pid != previous && alive(manifest->pid);
        });
        return manifest && manifest->pid != previous ? manifest : std::nullopt;
    }
};

TEST_F(DockEndToEndTest, AnAppliedThemeAndTheStyleSetShowInTheDocksTheKeeperStartsAgain) {
    Started keeper({KEEPER_PROGRAM});
    auto first = nextManifest(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->dockStyle, DockStyle::ThreeD);
    ASSERT_EQ(first->images.size(), 30u);
    fs::path theme = temp() / "Green.docktheme";
    writeBundle(theme, themeInfo({{"2D_Opened_App_Indicator_M", "dot.png"}},
                                 {{"Keystone_Base_M", "floor.png"}, {"Frontline", "line.png"}}));
    writePng(theme / "images/dot.png", QSize(12, 12), Qt::green);
    writePng(theme / "images/floor.png", QSize(300, 40), Qt::green);
    writePng(theme / "images/line.png", QSize(90, 3), Qt::white);
    ProgramRun apply = runProgram({(appResources() / "VelvantoHelper").string(), theme.string()});
    EXPECT_EQ(apply.exitCode, 1) << apply.standardError;
    auto applied = nextManifest(first->pid);
    ASSERT_TRUE(applied);
    EXPECT_FALSE(alive(static_cast<pid_t>(first->pid)));
    EXPECT_EQ(applied->images.size(), 30u);
    const DockManifest::Image& floor = applied->images.at("scurve-m.png");
    EXPECT_EQ(floor.width, 300);
    EXPECT_EQ(floor.sha256.toStdString(), sha256sum(theme / "images/floor.png"));
    EXPECT_EQ(applied->images.at("frontline.png").sha256.toStdString(),
              sha256sum(theme / "images/line.png"));
    EXPECT_EQ(applied->images.at("indicator_medium_simple.png").width, 12);
    EXPECT_EQ(applied->images.at("scurve-l.png"), first->images.at("scurve-l.png"));
    // The style switch restarts the Dock with the same images.
    MiscKit::setCurrentDock(DockStyle::TwoD);
    auto flat = nextManifest(applied->pid);
    ASSERT_TRUE(flat);
    EXPECT_EQ(flat->dockStyle, DockStyle::TwoD);
    EXPECT_EQ(flat->images, applied->images);
    MiscKit::setCurrentDock(DockStyle::ThreeD);
    auto again = nextManifest(flat->pid);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->dockStyle, DockStyle::ThreeD);
    // Ending the keeper ends its Dock.
    EXPECT_EQ(keeper.stop(), 0);
    EXPECT_FALSE(alive(static_cast<pid_t>(again->pid)));
    if (alive(static_cast<pid_t>(again->pid)))
        ::kill(static_cast<pid_t>(again->pid), SIGKILL);
}
