#include <QPainter>

#include <algorithm>
#include <map>
#include <set>

#include "dock/DockImages.h"
#include "dock/DockScene.h"
#include "dock/DockTestSupport.h"
#include "image/ImageFile.h"
#include "image/ThemePreview.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "support/TestEnvironment.h"

namespace {

// The keys each style draws besides its floor and running light.
const std::map<DockStyle, std::vector<QString>> kDrawnKeys = {
    {DockStyle::ThreeD, {"Shadow", "Frontline", "Separator_3D", "Stack_Open", "Stack_Arrow"}},
    {DockStyle::TwoD,
     {"Angle_Left_Up", "Angle_Right_Up", "Angle_Left_Bottom", "Angle_Right_Down", "Border_Left_Up",
      "Border_Right_Border", "Border_Left_Bottom", "Border_Right_Bottom", "Border_Left_External",
      "Border_Right_External", "Separator_Vertical", "Stack_Open", "Stack_Arrow"}},
};

QColor colourOf(int index) {
    return QColor::fromHsv(index * 12, 255, index % 2 ? 255 : 150);
}

int distance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

}  // namespace

class DockPiecesTest : public TestEnvironment {
protected:
    MiscKit catalogue{appResources() / "DatabaseInfo.plist"};
    // Every key's image at its catalogue size in a colour of its own, but left out.
    std::map<QString, QImage> colouredImages(const QString& leftOut = {}) {
        std::map<QString, QImage> images;
        int index = 0;
        for (const std::string& key : catalogue.fileKeys_List()) {
            DockSize size = catalogue.getSizeForFileKey(key);
            QImage image(int(size.width), int(size.height), QImage::Format_ARGB32);
            image.fill(colourOf(index++));
            if (QString::fromStdString(key) != leftOut)
                images.emplace(QString::fromStdString(key), image);
        }
        return images;
    }
    // The key whose colour is nearest to colour.
    QString nearestKey(QColor colour) {
        const std::vector<std::string>& keys = catalogue.fileKeys_List();
        std::size_t best = 0;
        for (std::size_t i = 1; i < keys.size(); ++i) {
            if (distance(colour, colourOf(int(i))) < distance(colour, colourOf(int(best))))
                best = i;
        }
        return QString::fromStdString(keys[best]);
    }
};

TEST_F(DockPiecesTest, EveryDrawnKeyIsPlacedInsideTheSceneAndPaintedWherePiecesSay) {
    const DockImages images = DockImages::fromImages(colouredImages());
    for (DockStyle style : {DockStyle::ThreeD, DockStyle::TwoD}) {
        for (const auto& [label, tile] : DockScene::sizeSteps()) {
            for (bool open : {false, true}) {
                DockScene scene(images, style, tile);
                scene.setStackOpen(open);
                const std::string what = label.toStdString() + (open ? " open" : "") +
                                         (style == DockStyle::ThreeD ? " 3D" : " 2D");
                std::set<std::string> expected;
                for (const QString& key : kDrawnKeys.at(style)) {
                    if (open || !key.startsWith("Stack_"))  // the stack's only when open
                        expected.insert(key.toStdString());
                }
                expected.insert(DockScene::indicatorKey(style, tile).toStdString());
                if (style == DockStyle::ThreeD)
                    expected.insert(DockScene::keystoneKey(tile).toStdString());
                std::set<std::string> placed;
                const QRectF bounds(QPointF(0, 0), QSizeF(scene.size()));
                QImage canvas(scene.size(), QImage::Format_ARGB32_Premultiplied);
                canvas.fill(Qt::transparent);
                QPainter painter(&canvas);
                scene.paint(painter);
                painter.end();
                const auto& pieces = scene.pieces();
                for (std::size_t i = 0; i < pieces.size(); ++i) {
                    const DockScene::Piece& piece = pieces[i];
                    placed.insert(piece.key.toStdString());
                    EXPECT_TRUE(bounds.contains(piece.rect) && !piece.rect.isEmpty())
                        << what << " " << piece.key.toStdString();
                    const int top = scene.pieceAt(piece.rect.center());
                    EXPECT_GE(top, int(i)) << what;
                    EXPECT_TRUE(top >= 0 &&
                                pieces[std::size_t(top)].rect.contains(piece.rect.center()));
                    // On top, clear of icons and reflections: nine pixels in ten are its key's.
                    int looked = 0, matched = 0;
                    const QRect pixels = piece.rect.toAlignedRect();
                    for (int y = pixels.top() + 1; y < pixels.bottom(); y += 2) {
                        for (int x = pixels.left() + 1; x < pixels.right(); x += 2) {
                            const QRectF pixel(x - 0.2, y - 0.2, 1.4, 1.4);
                            if (!std::all_of(
                                    pieces.begin() + long(i) + 1, pieces.end(),
                                    [&](const auto& p) { return !p.rect.intersects(pixel); }) ||
                                std::any_of(scene.items().begin(), scene.items().end(),
                                            [&](const DockScene::Item& item) {
                                                return item.kind != DockScene::Kind::Separator &&
                                                       x + 1 >= item.rect.left() &&
                                                       x - 1 <= item.rect.right() &&
                                                       y + 1 >= item.rect.top();
                                            }))
                                continue;
                            ++looked;
                            matched += nearestKey(canvas.pixelColor(x, y)) == piece.key;
                        }
                    }
                    if (piece.key != "Stack_Open") {  // its grid's icons and names cover it
                        EXPECT_GE(matched * 10, looked * 9)
                            << what << " " << piece.key.toStdString();
                    }
                }
                EXPECT_EQ(placed, expected) << what;
            }
        }
    }
    // A key without an image has no piece; the rest stay where they were.
    for (const QString& key : {QString("Frontline"), QString("Angle_Left_Up")}) {
        const DockStyle style = key == "Frontline" ? DockStyle::ThreeD : DockStyle::TwoD;
        const DockImages without = DockImages::fromImages(colouredImages(key));
        DockScene scene(without, style, 64), full(images, style, 64);
        EXPECT_TRUE(scene.placesOf(key).empty());
        EXPECT_EQ(scene.pieces().size(), full.pieces().size() - 1);
        EXPECT_EQ(scene.pieceAt(QPointF(-5, -5)), -1);
    }
    // Dividers and lights are drawn once per divider and running icon.
    DockScene glass(images, DockStyle::ThreeD, 64);
    EXPECT_EQ(glass.placesOf("Separator_3D").size(), 1u);
    EXPECT_EQ(glass.placesOf("Opened_App_Indicator_M").size(), 4u);
}

TEST_F(DockPiecesTest, SizesDrawingNameTheStepsThatDrawAKey) {
    const struct {
        const char* key;
        DockStyle style;
        QStringList sizes;
    } rows[] = {
        {"Keystone_Base_L", DockStyle::ThreeD, {"Large"}},
        {"Keystone_Base_L", DockStyle::TwoD, {}},
        {"Opened_App_Indicator_L", DockStyle::ThreeD, {"Large", "Extra large"}},
        {"2D_Opened_App_Indicator_M", DockStyle::TwoD, {"Medium", "Large", "Extra large"}},
        {"Stack_Arrow", DockStyle::TwoD, {"Small", "Medium", "Large", "Extra large"}},
        {"Separator_Horizontal", DockStyle::TwoD, {}},
        {"NoSuchKey", DockStyle::ThreeD, {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DockScene::sizesDrawing(row.key, row.style), row.sizes) << row.key;
}

TEST_F(DockPiecesTest, AThemesPreviewShowsItsOwnPicturesAndItsMicroPreviewIsItsOwn) {
    const fs::path bundle = temp() / "Mine.docktheme";
    fs::copy(stockTheme(), bundle, fs::copy_options::recursive);
    auto theme = DockTheme::initWithBundleAtPath(bundle.string());
    ASSERT_TRUE(theme);
    EXPECT_TRUE(ThemePreview::hasStockMicroPreview(*theme));
    writePng(temp() / "green.png", QSize(128, 4), QColor(0, 255, 0));
    ASSERT_TRUE(theme->setFileName((temp() / "green.png").string(), "Frontline",
                                   DockCategory::ThreeD, "green.png"));
    theme = DockTheme::initWithBundleAtPath(bundle.string());  // its items name the new picture

    const DockImages images = ThemePreview::decode(ThemePreview::sourcesOf(*theme));
    const DockScene scene(images, DockStyle::ThreeD, 64);
    const QImage drawn = ThemePreview::drawDock(*theme, DockStyle::ThreeD, 64, false);
    ASSERT_EQ(drawn.size(), scene.size());
    const QRectF line = scene.placesOf("Frontline").at(0);
    const QPointF beside(line.left() + 4, line.center().y());  // beside the icons and lights
    EXPECT_EQ(scene.pieces()[std::size_t(scene.pieceAt(beside))].key, "Frontline");
    EXPECT_EQ(drawn.pixelColor(beside.toPoint()), QColor(0, 255, 0));

    std::string why;
    ASSERT_TRUE(ThemePreview::renderMicroPreview(*theme, &why)) << why;
    EXPECT_FALSE(ThemePreview::hasStockMicroPreview(*theme));
    EXPECT_EQ(readFile(bundle / "preview_micro.png").substr(0, 4), "\x89PNG");
    auto sizeOf = [](const fs::path& file) {
        return ImageFile(QString::fromStdString(file.string())).size();
    };
    EXPECT_EQ(sizeOf(bundle / "preview_micro.png"), sizeOf(stockTheme() / "preview_micro.png"));
    // A theme without one is not the stock one either; a write in the way fails.
    fs::remove(bundle / "preview_micro.png");
    EXPECT_FALSE(ThemePreview::hasStockMicroPreview(*theme));
    fs::create_directory(bundle / "preview_micro.png");
    EXPECT_FALSE(ThemePreview::renderMicroPreview(*theme, &why));
    EXPECT_FALSE(why.empty());
}
