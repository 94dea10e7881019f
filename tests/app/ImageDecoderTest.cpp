// The decoder: which results reach a view, what a hostile file in a bundle
// gives, and the browsers' thumbnails read through a theme's opened folder.
#include <QCoreApplication>
#include <QImage>
#include <QSignalSpy>

#include <cstdint>
#include <functional>
#include <memory>

#include "app/CollectionModel.h"
#include "app/ImageDecoder.h"
#include "app/SlotListModel.h"
#include "model/DockTheme.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

// A PNG of width x height 8-bit grey pixels, all black, whole and valid: a
// few MB of file that decodes to width * height bytes (deflate's longest
// matches of the one byte, fixed codes).
std::string blackPng(std::uint32_t width, std::uint32_t height) {
    std::string stream("\x78\x01", 2);
    std::uint32_t bits = 0;
    int count = 0;
    auto put = [&](std::uint32_t value, int length) {  // LSB first
        bits |= value << count;
        for (count += length; count >= 8; count -= 8, bits >>= 8) {
            stream.push_back(char(bits & 0xff));
        }
    };
    auto code = [&](std::uint32_t value, int length) {  // a Huffman code, MSB first
        for (int bit = length - 1; bit >= 0; --bit) {
            put((value >> bit) & 1, 1);
        }
    };
    const std::uint64_t raw = std::uint64_t(height) * (width + 1);  // a filter byte a row
    put(1, 1);                                                      // the last block, fixed codes
    put(1, 2);
    code(0x30, 8);  // the first byte, then copies of it
    std::uint64_t left = raw - 1;
    for (; left >= 258; left -= 258) {
        code(0xc5, 8);  // length 258
        code(0, 5);     // distance 1
    }
    for (; left > 0; --left) {
        code(0x30, 8);
    }
    code(0, 7);  // the end of the block
    if (count > 0) {
        stream.push_back(char(bits));
    }
    const std::uint32_t adler = std::uint32_t(raw % 65521) << 16 | 1;
    auto be = [](std::uint32_t value) {
        return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    };
    stream += be(adler);
    auto chunk = [&](const std::string& type, const std::string& data) {
        std::uint32_t crc = 0xffffffff;
        for (char byte : type + data) {
            crc ^= std::uint8_t(byte);
            for (int bit = 0; bit < 8; ++bit) {
                crc = crc >> 1 ^ (crc & 1 ? 0xedb88320 : 0);
            }
        }
        return be(std::uint32_t(data.size())) + type + data + be(~crc);
    };
    return std::string("\x89PNG\r\n\x1a\n", 8) +
           chunk("IHDR", be(width) + be(height) + std::string("\x08\0\0\0\0", 5)) +
           chunk("IDAT", stream) + chunk("IEND", "");
}

}  // namespace

class ImageDecoderTest : public TestEnvironment {
protected:
    // A picture of colour at path.
    static void picture(const fs::path& path, QColor colour, QSize size = {32, 32}) {
        fs::create_directories(path.parent_path());
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(path.string())));
    }
    // Runs the event loop until the decoder has nothing left to do.
    static bool settle(const ImageDecoder& decoder) {
        return eventually([&] {
            QCoreApplication::processEvents();
            return decoder.idle();
        });
    }
    // The colour a thumbnail shows in its middle; "" for none.
    static std::string middleOf(const QVariant& decoration) {
        const QImage image = decoration.value<QPixmap>().toImage();
        const QColor colour =
            image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
        return !colour.isValid() || colour.alpha() == 0 ? "" : colour.name().toStdString();
    }
};

TEST_F(ImageDecoderTest, OnlyAViewsLatestRequestIsDeliveredAndNoneOnceCancelledClearedOrGone) {
    picture(temp() / "red.png", Qt::red);
    picture(temp() / "blue.png", Qt::blue);
    const QString red = QString::fromStdString((temp() / "red.png").string());
    const QString blue = QString::fromStdString((temp() / "blue.png").string());
    struct Run {
        ImageDecoder decoder;
        std::unique_ptr<QObject> view = std::make_unique<QObject>();
        QObject other;
        QStringList got;
        ImageDecoder::Delivery to(const QString& name) {
            return [this, name](const QImage& image, QSize size) {
                got << QStringLiteral("%1 %2 %3x%4")
                           .arg(name, image.pixelColor(0, 0).name())
                           .arg(size.width())
                           .arg(size.height());
            };
        }
    };
    const std::pair<std::function<void(Run&)>, QStringList> cases[] = {
        {[](Run&) {}, {"other #0000ff 32x32", "view #ff0000 32x32"}},
        {[&](Run& run) { run.decoder.request(run.view.get(), blue, QSize(8, 8), run.to("again")); },
         {"again #0000ff 32x32", "other #0000ff 32x32"}},
        {[](Run& run) { run.decoder.cancel(run.view.get()); }, {"other #0000ff 32x32"}},
        {[](Run& run) { run.decoder.clear(); }, {}},
        {[](Run& run) { run.view.reset(); }, {"other #0000ff 32x32"}},
    };
    for (const auto& [then, delivered] : cases) {
        Run run;
        // Nothing is delivered before the event loop runs, so then() comes before any result.
        run.decoder.request(run.view.get(), red, QSize(), run.to("view"));
        run.decoder.request(&run.other, blue, QSize(), run.to("other"));
        then(run);
        ASSERT_TRUE(settle(run.decoder));
        run.got.sort();
        EXPECT_EQ(run.got, delivered);
    }
}

TEST_F(ImageDecoderTest, LinksFifosAndDecompressionBombsInABundleReadAsNothing) {
    const fs::path bundle = temp() / "Theme.docktheme";
    picture(bundle / "images/real.png", Qt::red);
    picture(temp() / "outside/real.png", Qt::blue);
    fs::create_symlink("real.png", bundle / "images/link.png");
    fs::create_symlink(temp() / "outside", bundle / "linked");
    makeFifo(bundle / "images/fifo.png");
    // 400 MB of pixels from a 2.5 MB file: beyond the allocation limit, so never allocated.
    static_assert(20000LL * 20000 > ImageFile::kAllocationLimitMb * 1024LL * 1024);
    writeFile(bundle / "images/bomb.png", blackPng(20000, 20000));
    std::shared_ptr<const BundleFolder> folder = BundleFolder::open(bundle.string());
    ASSERT_TRUE(folder);
    ImageDecoder decoder;
    for (const auto& [name, shown] : {std::pair{"images/real.png", "#ff0000"},
                                      {"images/link.png", ""},
                                      {"linked/real.png", ""},
                                      {"images/fifo.png", ""},
                                      {"images/bomb.png", ""},
                                      {"../outside/real.png", ""}}) {
        const ImageFile::Source source(folder, QString::fromStdString((bundle / name).string()));
        std::string got = "nothing";
        decoder.request(&decoder, source, QSize(), [&got](const QImage& image, QSize size) {
            got = image.isNull() && !size.isValid() ? ""
                                                    : image.pixelColor(0, 0).name().toStdString();
        });
        EXPECT_TRUE(decoder.thumbnail(source, QSize(64, 64)).isNull()) << name;
        ASSERT_TRUE(settle(decoder));
        EXPECT_EQ(got, shown) << name;
        EXPECT_EQ(middleOf(decoder.thumbnail(source, QSize(64, 64))), shown) << name;
        EXPECT_EQ(middleOf(QPixmap::fromImage(ImageDecoder::decode(source, QSize(64, 64)))), shown)
            << name;
    }
    // The bomb is a whole picture: with room for its pixels it decodes.
    EXPECT_FALSE(QImage::fromData(QByteArray::fromStdString(blackPng(300, 200))).isNull());
}

TEST_F(ImageDecoderTest, TheBrowsersThumbnailsReadThroughTheFolderOpenedFirst) {
    // A theme whose images/ is swapped for a link after it was opened shows none of them.
    const fs::path bundle = temp() / "Theme.docktheme";
    writeBundle(bundle, themeInfo({{"Frontline", "f.png"}, {"Stack_Arrow", "s.png"}}, {}));
    picture(bundle / "images/f.png", Qt::red);
    picture(bundle / "images/s.png", Qt::red);
    std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(bundle.string());
    ASSERT_TRUE(theme);
    ImageDecoder decoder;
    SlotListModel browser(decoder);
    browser.setTheme(theme.get(), DockCategory::TwoD);
    ASSERT_EQ(browser.rowCount(), 2);
    QSignalSpy repainted(&browser, &QAbstractItemModel::dataChanged);
    for (bool swapped : {false, true}) {
        if (swapped) {
            decoder.clear();
            linkAway(bundle / "images", temp() / "elsewhere");
        }
        for (int row = 0; row < browser.rowCount(); ++row) {
            browser.data(browser.index(row), Qt::DecorationRole);
        }
        ASSERT_TRUE(settle(decoder));
        for (int row = 0; row < browser.rowCount(); ++row) {
            EXPECT_EQ(middleOf(browser.data(browser.index(row), Qt::DecorationRole)),
                      swapped ? "" : "#ff0000")
                << row;
        }
        EXPECT_EQ(repainted.count(), 2);  // each row once its thumbnail is there
        repainted.clear();
    }
    // A collection's theme swapped for another after listing still shows the one listed.
    const fs::path listed = temp() / "Listed.docktheme";
    picture(listed / "preview_micro.png", Qt::green);
    ImageObjectView item;
    item.setPath((listed / "preview_micro.png").string());
    item.setKeyDock(item.path());
    CollectionModel collection;
    collection.setItems({item});
    fs::rename(listed, temp() / "gone.docktheme");
    picture(listed / "preview_micro.png", Qt::blue);
    QSignalSpy shown(&collection, &QAbstractItemModel::dataChanged);
    collection.data(collection.index(0), Qt::DecorationRole);
    ASSERT_TRUE(eventually([&] {
        QCoreApplication::processEvents();
        return collection.pendingThumbnails() == 0;
    }));
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(middleOf(collection.data(collection.index(0), Qt::DecorationRole)), "#00ff00");
}
