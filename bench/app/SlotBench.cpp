// The slot browser with large images, as a user meets it.
//   slot_bench [RUNS]
// 1. A theme whose 30 slots hold images of 1280x128 pixels: from opening it to
//    every thumbnail of both categories shown, against decoding the same 30
//    files with QImageReader on one thread, alternately in the same run.
// 2. The longest stall of the window's thread while a browser of 500 such
//    images scrolls from top to bottom, a step per frame; thumbnails arrive
//    from the decoder's workers meanwhile.
// 3. The zoom slider dragged over every value, smallest to largest, with a
//    paint at each step: decodes started and thumbnails cached at the end,
//    against the old loader's, counted from the same paints (it decoded every
//    row painted at every size and kept each thumbnail until the theme closed).
// Runs offscreen in a temporary home, without fades.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QListView>
#include <QMainWindow>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/EditorView.h"
#include "app/ImageDecoder.h"
#include "app/LiveDock.h"
#include "app/MainController.h"
#include "app/QtDialogs.h"
#include "app/SlotListModel.h"
#include "app/ThemeSession.h"
#include "model/ThemeBundle.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/PropertyList.h"
#include "platform/SystemPaths.h"
#include "support/BenchStats.h"
#include "widgets/RVAnimationAdditions.h"

namespace {

// A 1280x128 picture that differs from file to file and decodes as a photo would.
void writeImage(const QString& path, int seed) {
    QImage image(1280, 128, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 1280, 128);
    gradient.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 200, 240));
    gradient.setColorAt(1, QColor::fromHsv(seed * 71 % 360, 120, 90));
    painter.fillRect(image.rect(), gradient);
    for (int x = 0; x < 1280; x += 7) {
        painter.setPen(QColor::fromHsv((x + seed * 13) % 360, 255, 200, 120));
        painter.drawLine(x, 0, (x * 3 + seed) % 1280, 127);
    }
    painter.end();
    image.save(path, "PNG");
}

// A copy of the stock theme at bundle whose 2D table holds extra keys, each image 1280x128.
void makeTheme(const std::string& bundle, int extraKeys) {
    FileManager::copyPath(SystemPaths::resourceFolder() / "DefaultDock.docktheme", bundle);
    auto info = PropertyList::readDictionary(ThemeBundle::infoPlistPath(bundle));
    for (int i = 0; i < extraKeys; ++i) {
        std::string name = "extra_" + std::to_string(i) + ".png";
        ThemeBundle::categoryDictionary(*info, DockCategory::TwoD)
            ->set("Extra_" + std::to_string(1000 + i), PlistValue(name));
    }
    PropertyList::write(ThemeBundle::infoPlistPath(bundle), *info);
    int seed = 0;
    std::optional<std::vector<ThemeImage>> table = ThemeBundle::imageTable(*info);
    for (const ThemeImage& image : table.value_or(std::vector<ThemeImage>{})) {
        writeImage(QString::fromStdString(ThemeBundle::imagePath(bundle, image.fileName)), ++seed);
    }
}

// The one widget of type T that screen readers know as name.
template <typename T>
T* named(const QString& name) {
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* typed = qobject_cast<T*>(widget); typed && typed->accessibleName() == name) {
            return typed;
        }
    }
    return nullptr;
}

bool allShown(MainController& c) {
    const DockTheme::SlotList* list = c.editorView().slotList();
    int side = named<QListView>("Theme images")->iconSize().width();
    return list && std::all_of(list->begin(), list->end(), [&](const auto& item) {
               return c.session().decoder().isCached(QString::fromStdString(item->path()),
                                                     QSize(side, side));
           });
}

// Runs the event loop, sleeping while nothing happens, until done().
void waitFor(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

double openToThumbnails(MainController& c, const QString& theme) {
    QElapsedTimer timer;
    timer.start();
    c._openThemeAtPath(theme);
    c.btn_showEditorDock(MainController::kEditorTab);
    for (int category : {0, 1}) {
        c.btn_change_docktype(dockCategoryAt(category).value_or(DockCategory::TwoD));
        waitFor([&] { return allShown(c); });
    }
    double took = timer.nsecsElapsed() / 1e6;
    c.btn_closeTheme();
    return took;
}

double decodeAll(const QString& theme) {
    QElapsedTimer timer;
    timer.start();
    for (const QString& name : QDir(theme + "/images").entryList(QDir::Files)) {
        QImageReader reader(theme + "/images/" + name);
        if (reader.read().isNull()) {
            std::fprintf(stderr, "cannot decode %s\n", qPrintable(name));
        }
    }
    return timer.nsecsElapsed() / 1e6;
}

// The longest time the window's thread is busy with one scroll step (paint,
// thumbnails arriving and turned into pixmaps) while scrolling to the bottom.
double longestStall(MainController& c, const QString& theme) {
    c._openThemeAtPath(theme);
    c.btn_showEditorDock(MainController::kEditorTab);
    QScrollBar* bar = named<QListView>("Theme images")->verticalScrollBar();
    double longest = 0;
    QElapsedTimer frame;
    for (int value = 0;; value += std::max(1, bar->singleStep() * 2)) {
        frame.start();
        bar->setValue(std::min(value, bar->maximum()));
        named<QListView>("Theme images")->viewport()->repaint();
        QCoreApplication::processEvents();
        longest = std::max(longest, frame.nsecsElapsed() / 1e6);
        QThread::msleep(16);  // the next frame
        if (value >= bar->maximum()) {
            break;
        }
    }
    c.btn_closeTheme();
    return longest;
}

struct Sweep {
    int decodes = 0;
    qsizetype bytes = 0;
    qsizetype sizes = 0;
};

// The rows of the browser on screen now.
int rowsShown(MainController& c) {
    int shown = 0;
    for (int row = 0; row < c.editorView().slotCount(); ++row) {
        QRect cell = named<QListView>("Theme images")
                         ->visualRect(named<QListView>("Theme images")->model()->index(row, 0));
        shown += named<QListView>("Theme images")->viewport()->rect().intersects(cell) ? 1 : 0;
    }
    return shown;
}

// Drags the zoom slider over every value with a paint at each; the decoder's
// numbers once every decode ended, and the old loader's for the same paints.
std::pair<Sweep, Sweep> sweepSlider(MainController& c, const QString& theme) {
    c._openThemeAtPath(theme);
    c.btn_showEditorDock(MainController::kEditorTab);
    QSlider* slider = named<QSlider>("Thumbnail size");
    const int startedBefore = c.session().decoder().started();
    Sweep old;
    for (int side = slider->minimum(); side <= slider->maximum(); ++side) {
        slider->setValue(side);
        named<QListView>("Theme images")->viewport()->repaint();
        QCoreApplication::processEvents();
        int shown = rowsShown(c);
        old.decodes += shown;
        old.bytes += qsizetype(shown) * side * side * 4;
        old.sizes += shown > 0 ? 1 : 0;
    }
    waitFor([&] { return c.session().decoder().idle(); });
    Sweep now{c.session().decoder().started() - startedBefore, c.session().decoder().cachedBytes(),
              c.session().decoder().cachedBoxes().size()};
    c.btn_closeTheme();
    return {old, now};
}

struct Burst {
    double longestTurn = 0;         // the event loop's turns: the live Dock's share
    double longestReplacement = 0;  // the replacements' own writes (Info.plist synced)
    int drawings = 0;
};

// Twenty slot replacements, one per turn of the event loop, while the live
// Dock redraws: the longest turn of the window's thread apart from the
// replacements, the longest replacement, and how many drawings ran.
Burst liveDockBurst(MainController& c, const QString& theme, const QString& red) {
    c.btn_showLiveDock(true);
    c._openThemeAtPath(theme);
    c.btn_showEditorDock(MainController::kEditorTab);
    LiveDock& dock = c.editorView().liveDock();
    waitFor([&] { return !dock.isDrawing() && !dock.picture().isNull(); });
    const int before = dock.drawings();
    Burst burst;
    QElapsedTimer turn;
    for (int edit = 0; edit < 20; ++edit) {
        turn.start();
        c.session().replaceSlotImage(DockCategory::TwoD, edit % 10, red,
                                     QStringLiteral("burst%1.png").arg(edit).toStdString());
        burst.longestReplacement = std::max(burst.longestReplacement, turn.nsecsElapsed() / 1e6);
        turn.start();
        QCoreApplication::processEvents();
        burst.longestTurn = std::max(burst.longestTurn, turn.nsecsElapsed() / 1e6);
    }
    while (dock.isDrawing()) {
        // Waiting for the worker is not work of the window's thread.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        turn.start();
        QCoreApplication::processEvents();
        burst.longestTurn = std::max(burst.longestTurn, turn.nsecsElapsed() / 1e6);
    }
    burst.drawings = dock.drawings() - before;
    c.btn_closeTheme();
    return burst;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QDir home(QDir::tempPath() + "/velvanto-slot-bench-" +
              QString::number(QCoreApplication::applicationPid()));
    home.mkpath(".config/Velvanto");
    QFile settings(home.filePath(".config/Velvanto/Velvanto.conf"));
    settings.open(QIODevice::WriteOnly);
    settings.write("[General]\nFIRST=false\n");
    settings.close();
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
    qputenv("VELVANTO_ROOT", home.filePath("root").toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    SystemPaths::setResourceFolder(RESOURCES);
    Log::setSink([](const std::string&) {});
    RVAnimationAdditions::setDefaultDuration(0);
    QString thirty = home.filePath("Thirty.docktheme");
    QString many = home.filePath("Many.docktheme");
    makeTheme(thirty.toStdString(), 0);
    makeTheme(many.toStdString(), 500 - 14);

    QtDialogs dialogs;
    MainController controller(dialogs);
    QWidget* window = named<QMainWindow>("Velvanto");
    window->resize(1100, 800);
    window->show();
    // The browser alone, as these measures were made: every thumbnail row in view.
    controller.btn_showLiveDock(false);

    std::vector<double> browser, decoding, stalls;
    for (int run = 0; run < runs; ++run) {
        decoding.push_back(decodeAll(thirty));
        browser.push_back(openToThumbnails(controller, thirty));
    }
    for (int run = 0; run < std::max(1, runs / 2); ++run) {
        stalls.push_back(longestStall(controller, many));
    }
    std::printf("30 slots of 1280x128, open to every thumbnail shown: %.1f ms\n",
                BenchStats::median(browser));
    std::printf("QImageReader decoding the same 30 files:            %.1f ms\n",
                BenchStats::median(decoding));
    std::printf("ratio: %.2f (target at most 1.5)\n",
                BenchStats::median(browser) / BenchStats::median(decoding));
    std::printf("500 images scrolled top to bottom, longest stall:   %.1f ms (target under 50)\n",
                *std::max_element(stalls.begin(), stalls.end()));
    auto [old, now] = sweepSlider(controller, thirty);
    for (auto [name, sweep] : {std::pair{"before", old}, std::pair{"after ", now}}) {
        std::printf(
            "zoom slider swept, every value, %s: %d decodes started, %lld sizes, %.1f MiB cached\n",
            name, sweep.decodes, static_cast<long long>(sweep.sizes), sweep.bytes / 1048576.0);
    }
    std::printf("target: at most 3 sizes, at most %lld MiB cached\n",
                static_cast<long long>(ImageDecoder::kCacheBytes / 1048576));
    const QString red = home.filePath("red.png");
    QImage square(40, 40, QImage::Format_ARGB32);
    square.fill(Qt::red);
    square.save(red, "PNG");
    const Burst burst = liveDockBurst(controller, thirty, red);
    std::printf(
        "20 replacements while the live Dock redraws: longest turn of the window's "
        "thread %.1f ms (target under 16), longest replacement %.1f ms, %d drawings\n",
        burst.longestTurn, burst.longestReplacement, burst.drawings);
    home.removeRecursively();
    return 0;
}
