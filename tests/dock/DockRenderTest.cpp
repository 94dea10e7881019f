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
    // Draws style from folder into a fresh temp()/STYLE.png, which must succeed; the picture.
    QImage drawn(const std::string& style, const fs::path& folder) {
        fs::remove(temp() / (style + ".png"));
        EXPECT_EQ(render(style, temp() / (style + ".png"), folder), 0) << style;
        return picture(temp() / (style + ".png"));
    }
    // How many pixels of image are exactly colour.
    static int count(const QImage& image, QColor colour) {
        int found = 0;
        for (int i = 0; i < image.width() * image.height(); ++i)
            found += image.pixel(i % image.width(), i / image.width()) == colour.rgb() ? 1 : 0;
        return found;
    }
};

TEST_F(DockRenderTest, TheStockScreenshotsEachStylesPiecesBrokenImagesAndBadArguments) {
    const fs::path folder = temp() / "images";
    fs::copy(stockTheme() / "images", folder);
    const QImage glass = drawn("3d", folder), flat = drawn("2d", folder);
    EXPECT_GE(glass.width(), 600);
    EXPECT_NE(glass, flat);
    std::string bundle = stockTheme().string();
    EXPECT_EQ(glass, picture(ThemeBundle::dockPreviewPath(bundle, DockStyle::ThreeD)));
    EXPECT_EQ(flat, picture(ThemeBundle::dockPreviewPath(bundle, DockStyle::TwoD)));
    // Broken images leave only their pieces out.
    writeFile(folder / "scurve-m.png", "garbage");
    fs::remove(folder / "frontline.png");
    fs::remove(folder / "separator.png");
    fs::create_directories(folder / "separator.png");
    makeFifo(folder / "shadow.png");
    writeFile(folder / "pileArrow.png", std::string("\x89PNG\r\n\x1a\n") + std::string(64, 'x'));
    EXPECT_FALSE(drawn("2d", folder).isNull());
    const QImage broken = drawn("3d", folder);
    EXPECT_FALSE(broken.isNull());
    EXPECT_NE(broken, glass);
    // With no images at all the Dock is still drawn, with its icons only.
    fs::create_directories(temp() / "empty");
    EXPECT_FALSE(drawn("2d", temp() / "empty").isNull());
    // One solid colour per style's piece: the floor for 3D, the frame's left edge for 2D.
    const fs::path pieces = temp() / "pieces";
    fs::create_directories(pieces);
    const QColor green(0, 255, 0), magenta(255, 0, 255);
    writePng(pieces / "scurve-m.png", QSize(256, 48), green);
    writePng(pieces / "border_left_external.png", QSize(16, 16), magenta);
    const QImage floor = drawn("3d", pieces), frame = drawn("2d", pieces);
    EXPECT_GT(count(floor, green), 5000);
    EXPECT_EQ(count(floor, magenta), 0);
    EXPECT_EQ(count(frame, green), 0);
    EXPECT_GT(count(frame, magenta), 5000);  // the edge and the inside made from it
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
