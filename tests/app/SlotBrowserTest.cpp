// The slot browser, its thumbnails and the selection panel.
#include <QDateTime>
#include <QSemaphore>
#include <QSlider>
#include <QTextBrowser>
#include <QThread>
#include <QThreadPool>
#include <QWindow>

#include "EditorTest.h"
#include "widgets/PellixZoomWindow.h"

using SlotBrowserTest = EditorTest;

TEST_F(SlotBrowserTest, CountPanelSliderAndThumbnailsFollowTheSlotsTheirFilesAndTheTheme) {
    MainController& c = start();
    EXPECT_EQ(c.editorView().slotCount(), 0);
    EXPECT_EQ(c.editorView().slotList(), nullptr);
    int frontline = openAndSelect(c, "Separator_Horizontal");
    EXPECT_EQ(c.editorView().slotCount(), 14);
    EXPECT_EQ(named<QLabel>("Image file name")->text(),
              QFileInfo(imagePath(c, frontline)).fileName());
    EXPECT_EQ(named<QLabel>("Image name")->text(), "Divider, 2D side Dock");
    EXPECT_EQ(named<QLabel>("Recommended size")->text(), "48x4");
    EXPECT_FALSE(named<QTextBrowser>("Image description")->toPlainText().isEmpty());
    QString size = named<QLabel>("Image size")->text();
    EXPECT_FALSE(
        named<DragDropImageView>("Selected image (drop an image to replace it)")->image().isNull());
    for (auto rows : {std::initializer_list<int>{}, std::initializer_list<int>{0, frontline}}) {
        select(c, rows);
        EXPECT_EQ(named<QLabel>("Image file name")->text(), "No Selection");
        EXPECT_TRUE(named<DragDropImageView>("Selected image (drop an image to replace it)")
                        ->image()
                        .isNull());
        EXPECT_EQ(named<QLabel>("Recommended size")->text(), "");
        EXPECT_EQ(named<QLabel>("Size warning")->text(), "");
        EXPECT_EQ(named<QLabel>("Image name")->text(), "Divider, 2D side Dock");  // kept
        EXPECT_EQ(named<QLabel>("Image size")->text(), size);
    }
    // Another category shows nothing of the slot before; a reload keeps the category, an open
    // shows the 2D images.
    select(c, {frontline});
    choose(named<QComboBox>("Images of the 2D or 3D Dock"), 1);
    EXPECT_EQ(c.editorView().slotCount(), 16);
    EXPECT_TRUE(c.editorView().selectedSlots().isEmpty());
    for (const char* label : {"Image file name", "Image name"}) {
        EXPECT_EQ(named<QLabel>(label)->text(), "No Selection") << label;
    }
    EXPECT_EQ(named<QLabel>("Image size")->text(), "");
    EXPECT_TRUE(named<QTextBrowser>("Image description")->toPlainText().isEmpty());
    const fs::path info = fs::path(c.session().theme()->dockPath()) / "Info.plist";
    auto changed = PropertyList::readDictionary(info);
    changed->set("VL_DockAuthor", PlistValue("Another program"));
    ASSERT_TRUE(PropertyList::write(info, *changed));
    QSignalSpy reloaded(&c.session(), &ThemeSession::reloaded);
    ASSERT_TRUE(c.session().syncWithDisk());
    EXPECT_EQ(reloaded.count(), 1);
    EXPECT_EQ(c.editorView().slotCount(), 16);
    EXPECT_EQ(named<QComboBox>("Images of the 2D or 3D Dock")->currentIndex(), 1);
    openTheme(c, "C");
    EXPECT_EQ(c.editorView().slotCount(), 14);
    EXPECT_EQ(named<QComboBox>("Images of the 2D or 3D Dock")->currentIndex(), 0);
    c.btn_closeTheme();
    EXPECT_EQ(c.editorView().slotCount(), 0);
    // The zoom slider decodes at three sizes and drops the decodes of sizes passed.
    openTheme(c, "B");
    mainWindow()->show();
    ASSERT_TRUE(waitUntil([&] { return mainWindow()->windowHandle()->isExposed(); }));
    QSlider* slider = named<QSlider>("Thumbnail size");
    const int before = c.session().decoder().started();
    for (int side = slider->minimum(); side <= slider->maximum(); ++side) {
        slider->setValue(side);
        named<QListView>("Theme images")->viewport()->repaint();
    }
    ASSERT_TRUE(pictured(c));
    // Only the decodes running at a size passed end; each row is decoded once at the last size.
    EXPECT_LE(c.session().decoder().started() - before,
              ImageDecoder::kWorkers + c.editorView().slotCount());
    EXPECT_LE(c.session().decoder().cachedBoxes().size(), 3);
    EXPECT_TRUE(c.session().decoder().cachedBoxes().contains(QSize(256, 256)));
    EXPECT_LE(c.session().decoder().cachedBytes(), ImageDecoder::kCacheBytes);
    c.btn_showEditorDock(MainController::kInformationTab);  // a browser not shown keeps none
    EXPECT_EQ(c.session().decoder().cachedBytes(), 0);
    // Thumbnails come from the worker, follow a file replaced in place and go with the theme.
    openTheme(c, "D");
    named<QSlider>("Thumbnail size")->setValue(40);
    EXPECT_EQ(named<QListView>("Theme images")->iconSize(), QSize(40, 40));
    QModelIndex index =
        named<QListView>("Theme images")->model()->index(rowOf(c, "Separator_Horizontal"), 0);
    QString path = imagePath(c, index.row());
    auto cached = [&] { return c.session().decoder().isCached(path, QSize(40, 40)); };
    // The first ask queues a decode and answers nothing yet.
    c.session().decoder().clear();
    QImage placeholder = index.data(Qt::DecorationRole).value<QPixmap>().toImage();
    EXPECT_EQ(placeholder.size(), QSize(40, 40));
    EXPECT_EQ(placeholder.pixelColor(20, 20).alpha(), 0);
    ASSERT_TRUE(waitUntil(cached));
    QImage line = index.data(Qt::DecorationRole).value<QPixmap>().toImage();
    EXPECT_EQ(line.size(), QSize(64, 64));  // 48x4 to 64x5, in the middle; painted at 40
    EXPECT_EQ(line.pixelColor(0, 0).alpha(), 0);
    EXPECT_NE(line.pixelColor(0, 31).alpha(), 0);
    // The same path with other bytes is another thumbnail.
    picture(path, {32, 32}, Qt::blue);
    QFile(path).setFileTime(QDateTime::currentDateTime().addSecs(5),
                            QFileDevice::FileModificationTime);
    EXPECT_FALSE(cached());
    index.data(Qt::DecorationRole);
    ASSERT_TRUE(waitUntil(cached));
    QImage shown = index.data(Qt::DecorationRole).value<QPixmap>().toImage();
    EXPECT_EQ(shown.size(), QSize(64, 64));  // enlarged to fill the square
    EXPECT_EQ(shown.pixelColor(1, 1), QColor(Qt::blue));
    // Pictures fill their box's width, centred: 64x21 from row 21 in the browser's square,
    // 128x42 from row 11 in the collection's wide box.
    QString file = picture("a.png", QSize(300, 100));
    for (auto [box, top] : {std::pair{QSize(64, 64), 21}, {QSize(128, 64), 11}}) {
        QImage decoded = ImageDecoder::decode(file, box);
        EXPECT_EQ(decoded.size(), box);
        EXPECT_EQ(decoded.pixelColor(box.width() / 2, top - 1).alpha(), 0) << box.width();
        EXPECT_EQ(decoded.pixelColor(box.width() / 2, top), QColor(Qt::red)) << box.width();
        EXPECT_EQ(decoded.pixelColor(0, 32), QColor(Qt::red)) << box.width();
        EXPECT_EQ(decoded.pixelColor(box.width() - 1, 32), QColor(Qt::red)) << box.width();
    }
    EXPECT_TRUE(ImageDecoder::decode(at("none.png"), QSize(64, 64)).isNull());
}

TEST_F(SlotBrowserTest, TooBigIsStrictlyLargerInPixelsAndAnyImageWithoutACatalogueSize) {
    writeBundle(temp() / "A.docktheme",
                themeInfo({{"Separator_Horizontal", "line.png"}, {"Mystery", "m.png"}}, {}));
    picture("A.docktheme/images/m.png", {1, 1});
    MainController& c = start();
    ASSERT_TRUE(c._openThemeAtPath(at("A.docktheme")));
    c.btn_showEditorDock(MainController::kEditorTab);
    int row = rowOf(c, "Separator_Horizontal");
    for (auto [size, dotsPerMetre, alert] :
         {std::tuple{QSize(48, 4), 2835, ""},
          {{49, 4}, 2835, "Size is too big"},
          {{48, 5}, 2835, "Size is too big"},
          {{24, 2}, 2835, ""},
          {{49, 4}, 5669, "Size is too big"},  // 144 dpi: still 49 pixels
          {{48, 4}, 5669, ""}}) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::green);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        ASSERT_TRUE(image.save(imagePath(c, row), "PNG"));
        select(c, {});
        select(c, {row});
        EXPECT_EQ(named<QLabel>("Image size")->text(),
                  QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
        EXPECT_EQ(named<QLabel>("Size warning")->text(), alert) << size.width();
    }
    // A file that does not decode: 0x0, no picture, no alert.
    writeFile(text(imagePath(c, row)), "not a picture");
    select(c, {});
    select(c, {row});
    EXPECT_EQ(named<QLabel>("Image size")->text(), "0x0");
    EXPECT_TRUE(
        named<DragDropImageView>("Selected image (drop an image to replace it)")->image().isNull());
    EXPECT_EQ(named<QLabel>("Size warning")->text(), "");
    // A key the catalogue has no size for: any image is too big.
    int mystery = rowOf(c, "Mystery");
    ASSERT_GE(mystery, 0);
    select(c, {mystery});
    EXPECT_EQ(named<QLabel>("Recommended size")->text(), "0x0");
    EXPECT_EQ(named<QLabel>("Size warning")->text(), "Size is too big");
}

TEST_F(SlotBrowserTest, ALargeImageIsDecodedOffTheWindowsThreadAndADoubleClickZoomsThePreview) {
    PellixZoomWindow::setModifierQuery([] { return Qt::NoModifier; });
    MainController& c = start();
    openTheme(c, "Large");
    int row = rowOf(c, "Angle_Left_Up");
    picture(imagePath(c, row), {4000, 2400}, Qt::darkCyan);
    select(c, {row});
    EXPECT_EQ(named<QLabel>("Image size")->text(), "4000x2400");
    EXPECT_LT(
        named<DragDropImageView>("Selected image (drop an image to replace it)")->image().width(),
        4000);
    // The preview asked for the large slot, then for another before its picture lands (the
    // global pool held, so no decode there lands meanwhile either).
    QSemaphore held;
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    QThreadPool::globalInstance()->start([&held] { held.acquire(); });
    c.btn_show_previewPanel();
    c.btn_show_previewPanel();
    QListView* images = named<QListView>("Theme images");
    QModelIndex other = images->model()->index(rowOf(c, "Separator_Horizontal"), 0);
    images->selectionModel()->select(other, QItemSelectionModel::ClearAndSelect);
    c.btn_show_previewPanel();
    held.release();
    QThreadPool::globalInstance()->waitForDone();
    QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
    ASSERT_TRUE(pictured(c));
    EXPECT_TRUE(window("Image preview")->isVisible());
    EXPECT_EQ(named<DragDropImageView>("Previewed image")->image().size(), QSize(48, 4));
    EXPECT_EQ(named<QLabel>("Image size")->text(), "48x4");

    // A double click zooms the preview on, and the next one off.
    MainController& again = start();
    mainWindow()->show();
    again.btn_show_previewPanel();  // no theme
    EXPECT_EQ(dialogs.beeps, 1);
    row = openAndSelect(again, "Separator_Horizontal");
    again.imageBrowserCellWasDoubleClicked(row);
    EXPECT_TRUE(pictured(again));
    EXPECT_TRUE(window("Image preview")->isVisible());
    EXPECT_EQ(named<DragDropImageView>("Previewed image")->image().size(), QSize(48, 4));
    EXPECT_EQ(named<DragDropImageView>("Previewed image")->imageScaling(),
              DragDropImageView::Scaling::AxesIndependently);
    named<QCheckBox>("Show the image at its actual size")->click();
    EXPECT_EQ(named<DragDropImageView>("Previewed image")->imageScaling(),
              DragDropImageView::Scaling::None);
    again.imageBrowserCellWasDoubleClicked(row);
    EXPECT_FALSE(window("Image preview")->isVisible());
    EXPECT_TRUE(named<DragDropImageView>("Previewed image")->image().isNull());  // none kept
    select(again, {});
    again.btn_show_previewPanel();
    EXPECT_EQ(dialogs.beeps, 2);
    PellixZoomWindow::setModifierQuery(nullptr);
}
