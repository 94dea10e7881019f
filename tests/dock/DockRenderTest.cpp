#include <QImage>

#include "dock/DockTestSupport.h"
#include "model/ThemeBundle.h"
#include "support/TestEnvironment.h"

class DockRenderTest : public TestEnvironment {
protected:
    // Runs "Dock --render style out --resources folder"; the exit code.
    int render(const std::string& style, const fs::path& out, const fs::path& folder) {
        return runProgram(
                   {DOCK_PROGRAM, "--render", style, out.string(), "--resources", folder.string()})
            .exitCode;
    }
    static QImage picture(const fs::path& file) {
        return QImage(QString::fromStdString(file.string()));
    }
    // How many pixels of image are exactly colour.
    static int count(const QImage& image, QColor colour) {
        int found = 0;
        for (int i = 0; i < image.width() * image.height(); ++i)
            found += image.pixel(i % image.width(), i / image.width()) == colour.rgb() ? 1 : 0;
        return found;
    }
};

TEST_F(DockRenderTest,
       TheStockScreenshotsAreWhatTheDockDrawsAndBrokenImagesLeaveOnlyTheirPiecesOut) {
    const fs::path folder = temp() / "images";
    fs::copy(stockTheme() / "images", folder);
    ASSERT_EQ(render("3d", temp() / "3d.png", folder), 0);
    ASSERT_EQ(render("2d", temp() / "2d.png", folder), 0);
    QImage glass = picture(temp() / "3d.png"), flat = picture(temp() / "2d.png");
    EXPECT_GE(glass.width(), 600);
    EXPECT_NE(glass, flat);
    std::string bundle = stockTheme().string();
    EXPECT_EQ(glass, picture(ThemeBundle::dockPreviewPath(bundle, DockStyle::ThreeD)));
    EXPECT_EQ(flat, picture(ThemeBundle::dockPreviewPath(bundle, DockStyle::TwoD)));
    writeFile(folder / "scurve-m.png", "garbage");
    fs::remove(folder / "frontline.png");
    fs::remove(folder / "separator.png");
    fs::create_directories(folder / "separator.png");
    makeFifo(folder / "shadow.png");
    writeFile(folder / "pileArrow.png", std::string("\x89PNG\r\n\x1a\n") + std::string(64, 'x'));
    for (const char* style : {"3d", "2d"}) {
        fs::path out = temp() / (std::string(style) + "-broken.png");
        EXPECT_EQ(render(style, out, folder), 0) << style;
        EXPECT_FALSE(picture(out).isNull()) << style;
    }
    EXPECT_NE(picture(temp() / "3d-broken.png"), glass);
    // With no images at all the Dock is still drawn, with its icons only.
    fs::create_directories(temp() / "empty");
    EXPECT_EQ(render("2d", temp() / "empty.png", temp() / "empty"), 0);
    EXPECT_FALSE(picture(temp() / "empty.png").isNull());
}

TEST_F(DockRenderTest, EachStyleDrawsItsOwnPiecesAndBadArgumentsOrUnwritableOutputFail) {
    // One solid colour per style's piece: the floor for 3D, the frame's left edge for 2D.
    fs::path folder = temp() / "pieces";
    fs::create_directories(folder);
    const QColor green(0, 255, 0), magenta(255, 0, 255);
    writePng(folder / "scurve-m.png", QSize(256, 48), green);
    writePng(folder / "border_left_external.png", QSize(16, 16), magenta);
    ASSERT_EQ(render("3d", temp() / "3d.png", folder), 0);
    ASSERT_EQ(render("2d", temp() / "2d.png", folder), 0);
    QImage glass = picture(temp() / "3d.png"), flat = picture(temp() / "2d.png");
    EXPECT_GT(count(glass, green), 5000);
    EXPECT_EQ(count(glass, magenta), 0);
    EXPECT_EQ(count(flat, green), 0);
    EXPECT_GT(count(flat, magenta), 5000);  // the edge and the inside made from it
    std::string out = (temp() / "out.png").string();
    EXPECT_EQ(runProgram({DOCK_PROGRAM, "--render", "4d", out}).exitCode, 2);
    EXPECT_EQ(runProgram({DOCK_PROGRAM, "--render", "3d"}).exitCode, 2);
    EXPECT_EQ(runProgram({DOCK_PROGRAM, "--render", "3d", out, "--resources"}).exitCode, 2);
    EXPECT_EQ(runProgram({DOCK_PROGRAM, "--show"}).exitCode, 2);
    EXPECT_EQ(render("3d", out, temp() / "no-such-folder"), 1);
    EXPECT_EQ(render("3d", temp() / "no-such-folder/out.png", stockTheme() / "images"), 1);
    EXPECT_FALSE(fs::exists(out));
    // Without --resources the Dock's own resources folder (here empty) is drawn.
    EXPECT_EQ(runProgram({DOCK_PROGRAM, "--render", "3d", out}).exitCode, 0);
    EXPECT_FALSE(picture(out).isNull());
}
