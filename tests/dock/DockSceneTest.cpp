#include <QScreen>
#include <QTest>

#include "dock/DockImages.h"
#include "dock/DockScene.h"
#include "dock/DockTestSupport.h"
#include "dock/DockWindow.h"
#include "model/MiscKit.h"
#include "support/TestEnvironment.h"

class DockSceneTest : public TestEnvironment {
protected:
    MiscKit catalogue{appResources() / "DatabaseInfo.plist"};
    // Every image of the catalogue at one size.
    DockImages imagesOfSize(QSize size) {
        fs::path folder = temp() / ("images-" + std::to_string(size.width()) + "x" +
                                    std::to_string(size.height()));
        fs::create_directories(folder);
        for (const std::string& key : catalogue.fileKeys_List())
            writePng(folder / *catalogue.getOriginalFileNameForKey(key), size, Qt::red);
        return DockImages::load(catalogue, folder);
    }
    // Items lie side by side in order, inside the scene, each found where it is drawn.
    static void expectSoundLayout(const DockScene& scene, const std::string& what) {
        QRectF bounds(QPointF(0, 0), QSizeF(scene.size()));
        qreal lastRight = -1;
        for (std::size_t i = 0; i < scene.items().size(); ++i) {
            QRectF rect = scene.items()[i].rect;
            EXPECT_TRUE(bounds.contains(rect)) << what << " item " << i;
            EXPECT_GT(rect.left(), lastRight) << what << " item " << i;
            EXPECT_EQ(scene.itemAt(rect.center()), static_cast<int>(i)) << what;
            lastRight = rect.right();
        }
    }
};

TEST_F(DockSceneTest, ImagesOfAnySizeKeepTheLayoutSoundAndOpeningTheStackGrowsItUpwards) {
    const std::pair<std::string, DockImages> sets[] = {
        {"none", DockImages::load(catalogue, temp() / "missing")},
        {"1x1", imagesOfSize(QSize(1, 1))},
        {"2000x3", imagesOfSize(QSize(2000, 3))},
        {"3x900", imagesOfSize(QSize(3, 900))}};
    for (const auto& [name, images] : sets) {
        for (DockStyle style : {DockStyle::ThreeD, DockStyle::TwoD}) {
            for (int tile : {0, 16, 37, 64, 100, 128, 500}) {
                DockScene scene(images, style, tile);
                std::string what = name + " style " + std::to_string(indexOf(style)) + " tile " +
                                   std::to_string(tile);
                EXPECT_EQ(scene.tileSize(), std::clamp(tile, 16, 128)) << what;
                // The Dock stays no taller than two and a half icons, whatever the images.
                EXPECT_LE(scene.size().height(), scene.tileSize() * 2.5) << what;
                expectSoundLayout(scene, what);
                scene.setStackOpen(true);
                expectSoundLayout(scene, what + " open");
                QImage canvas(scene.size(), QImage::Format_ARGB32_Premultiplied);
                canvas.fill(Qt::transparent);
                QPainter painter(&canvas);
                scene.paint(painter);
            }
        }
    }
    DockImages images = DockImages::load(catalogue, stockTheme() / "images");
    DockScene scene(images, DockStyle::ThreeD, 64);
    const QSize closed = scene.size();
    const std::vector<DockScene::Item> before = scene.items();
    scene.setStackOpen(true);
    const int grown = scene.size().height() - closed.height();
    EXPECT_GT(grown, 64);
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(scene.items()[i].rect, before[i].rect.translated(0, grown)) << i;
    scene.setStackOpen(false);
    EXPECT_EQ(scene.size(), closed);
    // The window sits at the bottom and opens the stack on a click.
    DockWindow window(images, DockStyle::TwoD, 48);
    window.show();
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    auto expectAtBottom = [&] {
        EXPECT_EQ(window.geometry().bottom(), screen.bottom());
        EXPECT_LE(std::abs(window.geometry().center().x() - screen.center().x()), 1);
        EXPECT_EQ(window.size(), window.scene().size());
    };
    expectAtBottom();
    int closedHeight = window.height();
    for (bool open : {true, false}) {  // a click elsewhere closes it
        const std::size_t index = open ? std::size_t(window.scene().stackIndex()) : 0;
        QTest::mouseClick(&window, Qt::LeftButton, {},
                          window.scene().items()[index].rect.center().toPoint());
        EXPECT_EQ(window.scene().stackOpen(), open);
        EXPECT_TRUE(open ? window.height() > closedHeight : window.height() == closedHeight);
        expectAtBottom();
    }
}
