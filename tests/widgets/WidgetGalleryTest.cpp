#include <QSet>

#include "WidgetGallery.h"
#include "support/TestEnvironment.h"

class WidgetGalleryTest : public TestEnvironment {};

TEST_F(WidgetGalleryTest, RendersAndSavesAsPng) {
    const QImage gallery = renderWidgetGallery();
    ASSERT_FALSE(gallery.isNull());
    QSet<QRgb> colours;
    for (int y = 0; y < gallery.height(); y += 3) {
        for (int x = 0; x < gallery.width(); x += 3)
            colours.insert(gallery.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 200);
    const QString file = QString::fromStdString((temp() / "gallery.png").string());
    ASSERT_TRUE(gallery.save(file));
    EXPECT_EQ(QImage(file).size(), gallery.size());
}
