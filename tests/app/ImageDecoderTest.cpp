// The decoder: which results reach a view, what a hostile file in a bundle
// gives, and the browsers' thumbnails read through a theme's opened folder.
#include <cstdint>

#include "EditorTest.h"
#include "app/SlotListModel.h"

namespace {

// A whole, valid PNG of side x side black 8-bit grey pixels in a few MB: one
// zero byte and its longest copies (length 258, distance 1) in fixed codes.
std::string blackPng(std::uint32_t side) {
    std::string stream("\x78\x01", 2);
    std::uint64_t bits = 0;
    int count = 0;
    auto code = [&](std::uint32_t value, int length) {  // most significant bit first
        for (int bit = length - 1; bit >= 0; --bit) {
            bits |= std::uint64_t(value >> bit & 1) << count++;
        }
        for (; count >= 8; count -= 8, bits >>= 8) {
            stream.push_back(char(bits));
        }
    };
    const std::uint64_t raw = std::uint64_t(side) * (side + 1);  // a filter byte a row
    code(0b110, 3);                                              // the last block, fixed codes
    code(0x30, 8);
    std::uint64_t left = raw - 1;
    for (; left >= 258; left -= 258) {
        code(0xc5 << 5, 13);
    }
    for (; left > 0; --left) {
        code(0x30, 8);
    }
    code(0, 14);  // the end of the block, then up to a byte
    auto be = [](std::uint64_t value) {
        return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    };
    stream += be((raw % 65521) << 16 | 1);  // Adler-32 of zeros
    auto chunk = [&](const std::string& type, const std::string& data) {
        std::uint32_t crc = 0xffffffff;
        for (char byte : type + data) {
            crc ^= std::uint8_t(byte);
            for (int bit = 0; bit < 8; ++bit) {
                crc = crc >> 1 ^ (crc & 1 ? 0xedb88320 : 0);
            }
        }
        return be(data.size()) + type + data + be(~crc);
    };
    return std::string("\x89PNG\r\n\x1a\n", 8) +
           chunk("IHDR", be(side) + be(side) + std::string("\x08\0\0\0\0", 5)) +
           chunk("IDAT", stream) + chunk("IEND", "");
}

// The colour a thumbnail shows in its middle; "" for none.
std::string middleOf(const QVariant& decoration) {
    const QImage image = decoration.value<QPixmap>().toImage();
    const QColor colour =
        image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
    return !colour.isValid() || colour.alpha() == 0 ? "" : colour.name().toStdString();
}

}  // namespace

using ImageDecoderTest = EditorTest;

TEST_F(ImageDecoderTest, OnlyAViewsLatestRequestIsDeliveredAndNoneOnceCancelledClearedOrGone) {
    const QString red = picture("red.png", {32, 32}, Qt::red);
    const QString blue = picture("blue.png", {32, 32}, Qt::blue);
    struct Run {
        ImageDecoder decoder;
        std::unique_ptr<QObject> view = std::make_unique<QObject>();
        QObject other;
        QStringList got;
        ImageDecoder::Delivery to(const QString& name) {
            return [this, name](const QImage& image, QSize size) {
                got << name + ' ' + image.pixelColor(0, 0).name() + ' ' +
                           QString::number(size.width());
            };
        }
    };
    const std::pair<std::function<void(Run&)>, QStringList> cases[] = {
        {[](Run&) {}, {"other #0000ff 32", "view #ff0000 32"}},
        {[&](Run& run) { run.decoder.request(run.view.get(), blue, QSize(8, 8), run.to("again")); },
         {"again #0000ff 32", "other #0000ff 32"}},
        {[](Run& run) { run.decoder.cancel(run.view.get()); }, {"other #0000ff 32"}},
        {[](Run& run) { run.decoder.clear(); }, {}},
        {[](Run& run) { run.view.reset(); }, {"other #0000ff 32"}},
    };
    for (const auto& [then, delivered] : cases) {
        Run run;
        // Results come through the event loop, so then() runs before any is delivered.
        run.decoder.request(run.view.get(), red, QSize(), run.to("view"));
        run.decoder.request(&run.other, blue, QSize(), run.to("other"));
        then(run);
        ASSERT_TRUE(waitUntil([&] { return run.decoder.idle(); }));
        run.got.sort();
        EXPECT_EQ(run.got, delivered);
    }
}

TEST_F(ImageDecoderTest, LinksFifosAndDecompressionBombsInABundleReadAsNothing) {
    const fs::path bundle = temp() / "Theme.docktheme";
    fs::create_directories(bundle / "images");
    fs::create_directories(temp() / "outside");
    picture("Theme.docktheme/images/real.png", {32, 32}, Qt::red);
    picture("outside/real.png", {32, 32}, Qt::blue);
    fs::create_symlink("real.png", bundle / "images/link.png");
    fs::create_symlink(temp() / "outside", bundle / "linked");
    makeFifo(bundle / "images/fifo.png");
    // 400 MB of pixels in a 2.5 MB file, beyond the allocation limit; whole, so it would decode.
    static_assert(20000LL * 20000 > ImageFile::kAllocationLimitMb * 1024LL * 1024);
    writeFile(bundle / "images/bomb.png", blackPng(20000));
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(blackPng(300))).pixel(299, 299),
              qRgb(0, 0, 0));
    std::shared_ptr<const BundleFolder> folder = BundleFolder::open(bundle.string());
    ImageDecoder decoder;
    const std::pair<const char*, const char*> files[] = {
        {"images/real.png", "#ff0000"}, {"images/link.png", ""}, {"linked/real.png", ""},
        {"images/fifo.png", ""},        {"images/bomb.png", ""}, {"../outside/real.png", ""},
    };
    for (const auto& [name, shown] : files) {
        const ImageFile::Source source(folder, QString::fromStdString((bundle / name).string()));
        std::string got = "nothing";
        decoder.request(&decoder, source, QSize(), [&got](const QImage& image, QSize size) {
            got = image.isNull() && !size.isValid() ? ""
                                                    : image.pixelColor(0, 0).name().toStdString();
        });
        EXPECT_TRUE(decoder.thumbnail(source, QSize(64, 64)).isNull()) << name;
        ASSERT_TRUE(waitUntil([&] { return decoder.idle(); }));
        EXPECT_EQ(got, shown) << name;
        EXPECT_EQ(middleOf(decoder.thumbnail(source, QSize(64, 64))), shown) << name;
    }
}

TEST_F(ImageDecoderTest, TheBrowsersThumbnailsReadThroughTheFolderOpenedFirst) {
    // A theme whose images/ is swapped for a link after it was opened shows none of them.
    const fs::path bundle = temp() / "Theme.docktheme";
    writeBundle(bundle, themeInfo({{"Frontline", "f.png"}, {"Stack_Arrow", "s.png"}}, {}));
    picture("Theme.docktheme/images/f.png", {32, 32});
    picture("Theme.docktheme/images/s.png", {32, 32});
    std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(bundle.string());
    ASSERT_TRUE(theme);
    ImageDecoder decoder;
    SlotListModel browser(decoder);
    browser.setTheme(theme.get(), DockCategory::TwoD);
    ASSERT_EQ(browser.rowCount(), 2);
    QSignalSpy repainted(&browser, &QAbstractItemModel::dataChanged);
    auto shown = [&](int row) {
        return middleOf(browser.data(browser.index(row), Qt::DecorationRole));
    };
    for (const std::string expected : {"#ff0000", ""}) {
        if (expected.empty()) {
            decoder.clear();
            linkAway(bundle / "images", temp() / "elsewhere");
        }
        shown(0);
        shown(1);
        ASSERT_TRUE(waitUntil([&] { return decoder.idle(); }));
        EXPECT_EQ(shown(0) + shown(1), expected + expected);
        EXPECT_EQ(repainted.count(), 2);  // each row once its thumbnail is there
        repainted.clear();
    }
    // A collection's theme swapped for another after listing still shows the one listed.
    const fs::path listed = temp() / "Listed.docktheme";
    ImageObjectView item;
    fs::create_directories(listed);
    item.setPath(text(picture("Listed.docktheme/preview_micro.png", {32, 32}, Qt::green)));
    item.setKeyDock(item.path());
    CollectionModel collection;
    collection.setItems({item});
    fs::rename(listed, temp() / "gone.docktheme");
    fs::create_directories(listed);
    picture("Listed.docktheme/preview_micro.png", {32, 32}, Qt::blue);
    QSignalSpy arrived(&collection, &QAbstractItemModel::dataChanged);
    collection.data(collection.index(0), Qt::DecorationRole);
    ASSERT_TRUE(waitUntil([&] { return collection.pendingThumbnails() == 0; }));
    EXPECT_EQ(arrived.count(), 1);
    EXPECT_EQ(middleOf(collection.data(collection.index(0), Qt::DecorationRole)), "#00ff00");
}
