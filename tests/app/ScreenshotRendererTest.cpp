// The images a theme's Dock screenshots are drawn from.
#include "app/ScreenshotRenderer.h"
#include "model/DockTheme.h"
#include "platform/SystemPaths.h"
#include "support/TestEnvironment.h"

class ScreenshotRendererTest : public TestEnvironment {};

TEST_F(ScreenshotRendererTest, ImagesAreGatheredByDockNameAndTheThreeDImageWins) {
    SystemPaths::setResourceFolder(appResources());
    std::filesystem::path bundle = temp() / "Both.docktheme";
    writeBundle(bundle, themeInfo({{"Frontline", "flat.png"}, {"Separator_Vertical", "line.png"}},
                                  {{"Frontline", "glass.png"}}));
    auto theme = DockTheme::initWithBundleAtPath(bundle.string());
    ASSERT_TRUE(theme);
    std::filesystem::create_directories(temp() / "images");
    ScreenshotRenderer::gatherImages(*theme, QString::fromStdString((temp() / "images").string()));
    EXPECT_EQ(snapshot(temp() / "images"),
              (std::map<std::string, std::string>{{"frontline.png", "image:glass.png"},
                                                  {"separatorstraight.png", "image:line.png"}}));
}
