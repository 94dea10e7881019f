// The batch converter on 300 sub-folders of 30 small PNG images each, against
// one `cp -r` of the converter's own output; adding a theme to the
// collection (the first add of a process and the later ones) against `cp -r`
// of the theme; and listing a collection of 1,000 themes until every
// thumbnail is decoded. Each measure alternates with its baseline. Works in a
// temporary home under TMPDIR (/dev/shm keeps the disk out of the measure),
// offscreen unless QT_QPA_PLATFORM says otherwise.
//   collection_batch_bench [RUNS [FOLDERS]]
// A first add needs a new process: the bench starts itself as
//   collection_batch_bench --adds HOME THEME COUNT
// which adds COUNT copies of THEME and prints the time of each.
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <sstream>

#include "app/BatchController.h"
#include "app/CollectionController.h"
#include "app/CollectionModel.h"
#include "app/Dialogs.h"
#include "app/Editor.h"
#include "model/MiscKit.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/Process.h"
#include "platform/SystemPaths.h"
#include "support/BenchStats.h"

namespace fs = std::filesystem;
using Clock = BenchStats::Clock;

namespace {

constexpr int kThemes = 1000;
constexpr int kAdds = 5;

// Answers each panel with the next path; everything else is silent.
class Answers : public Dialogs {
public:
    std::deque<QString> paths;
    std::optional<QString> runOpenPanel(QWidget*, const OpenPanel&) override { return next(); }
    std::optional<QString> runSavePanel(QWidget*, const SavePanel&) override { return next(); }
    void alert(QWidget*, const QString&, const QString&, const QString&) override {}
    SaveAnswer askSaveChanges(QWidget*) override { return SaveAnswer::DontSave; }
    void beep() override {}
    void openUrl(const QUrl&) override {}

private:
    std::optional<QString> next() {
        if (paths.empty()) {
            return std::nullopt;
        }
        QString path = paths.front();
        paths.pop_front();
        return path;
    }
};

QString q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// The time of `cp -r from to`, the files of from written out first so the
// two measures don't pay for each other's writes.
double copyTime(const fs::path& from, const fs::path& to) {
    ::sync();
    auto start = Clock::now();
    Process::run({"/bin/cp", "-r", from.string(), to.string()}, Process::Capture::Nothing);
    return BenchStats::since(start);
}

// A home of its own for the editor's settings and collection.
void useHome(const fs::path& home) {
    fs::create_directories(home / ".config/Velvanto");
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    ::setenv("VELVANTO_ROOT", (home / "root").c_str(), 1);
    if (!std::getenv("QT_QPA_PLATFORM")) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
}

// The editor as these measures drive it, in the home useHome set: the
// build's resources, a silent log, panels answered from dialogs.paths.
struct Measured {
    Measured(int& argc, char** argv) : application(argc, argv) {
        SystemPaths::setResourceFolder(RESOURCES);
        Log::setSink([](const std::string&) {});
        windows = std::make_unique<Editor>(dialogs);
    }
    QApplication application;
    Answers dialogs;
    std::unique_ptr<Editor> windows;
};

// The child of the add measure: count adds of copies of theme, the first
// one this process makes first; prints each time.
int timeAdds(int& argc, char** argv) {
    const fs::path home = argv[2];
    const fs::path theme = argv[3];
    const int count = std::atoi(argv[4]);
    useHome(home);
    Measured editor(argc, argv);
    Answers& dialogs = editor.dialogs;
    Editor& controller = *editor.windows;
    CollectionController& collection = controller.collection();
    for (int add = 0; add < count; ++add) {
        const fs::path copy = home / "adds" / ("Added " + std::to_string(add) + ".docktheme");
        fs::create_directories(copy.parent_path());
        fs::copy(theme, copy, fs::copy_options::recursive);
        ::sync();
        dialogs.paths = {q(copy)};
        auto start = Clock::now();
        collection.btn_addTheme();
        std::printf("%.3f\n", BenchStats::since(start));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--adds") {
        return timeAdds(argc, argv);
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const int folders = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    const fs::path home =
        fs::temp_directory_path() / ("velvanto-batch-bench-" + std::to_string(::getpid()));
    useHome(home);
    Measured editor(argc, argv);
    Answers& dialogs = editor.dialogs;
    Editor& controller = *editor.windows;
    const fs::path stock = fs::path(RESOURCES) / "DefaultDock.docktheme";

    // Folders of 30 small PNG images named as the Dock names them.
    const fs::path source = home / "source";
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(QColor(40, 90, 200, 180));
    for (int folder = 0; folder < folders; ++folder) {
        fs::path dir = source / ("Theme " + std::to_string(folder));
        fs::create_directories(dir);
        for (const PlistValue& record : MiscKit::sharedFiles().dockFilesList()) {
            image.save(q(dir / *record.stringFor("Original")), "PNG");
        }
    }
    // Nothing is removed before the end: ext4 makes new files slowly while
    // many were deleted in the last minutes (it skips their inodes), which
    // would weigh on whichever measure came after a removal.
    std::vector<double> copies, batches;
    for (int run = 0; run < runs; ++run) {
        const fs::path byBatch = home / ("batch" + std::to_string(run));
        fs::create_directories(byBatch);
        BatchController& batch = controller.batch();
        dialogs.paths = {q(source), q(byBatch)};
        ::sync();
        auto start = Clock::now();
        batch.btn_chooseSource();
        batch.btn_startBatch();
        while (batch.isRunning()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        batches.push_back(BenchStats::since(start));
        copies.push_back(copyTime(byBatch, home / ("cp" + std::to_string(run))));
    }
    std::printf(
        "batch of %d folders x 30 images, %d runs: converter %s, cp -r of its output %s, "
        "ratio of medians %.2f (target <= 1.5)\n",
        folders, runs, BenchStats::summary(batches).c_str(), BenchStats::summary(copies).c_str(),
        BenchStats::median(batches) / BenchStats::median(copies));
    std::fflush(stdout);

    // Adds to the collection, each run in a new process, against cp -r of the theme.
    std::vector<double> firsts, laters, themeCopies;
    for (int run = 0; run < runs; ++run) {
        const fs::path child = home / ("adds" + std::to_string(run));
        auto output = Process::run({fs::read_symlink("/proc/self/exe").string(), "--adds",
                                    child.string(), stock.string(), std::to_string(kAdds)},
                                   Process::Capture::Output);
        std::istringstream lines(output ? output->output : std::string());
        std::vector<double> times;
        for (double time = 0; lines >> time;) {
            times.push_back(time);
        }
        if (times.size() != static_cast<std::size_t>(kAdds)) {
            std::printf("the add process failed\n");
            return 1;
        }
        firsts.push_back(times.front());
        laters.insert(laters.end(), times.begin() + 1, times.end());
        themeCopies.push_back(copyTime(stock, child / "cp.docktheme"));
    }
    std::printf(
        "adding the stock theme to the collection, %d runs: first add %s, later adds %s, "
        "cp -r of the theme %s, ratios of medians %.2f and %.2f (target <= 1.5)\n",
        runs, BenchStats::summary(firsts).c_str(), BenchStats::summary(laters).c_str(),
        BenchStats::summary(themeCopies).c_str(),
        BenchStats::median(firsts) / BenchStats::median(themeCopies),
        BenchStats::median(laters) / BenchStats::median(themeCopies));
    std::fflush(stdout);

    // 1,000 themes in the collection, each with its own micro preview.
    const fs::path collection = CollectionController::collectionFolder();
    for (int theme = 0; theme < kThemes; ++theme) {
        fs::path bundle = collection / ("Theme " + std::to_string(theme) + ".docktheme");
        fs::create_directories(bundle);
        fs::copy(stock / "Info.plist", bundle / "Info.plist");
        fs::copy(stock / "preview_micro.png", bundle / "preview_micro.png");
    }
    std::vector<double> listings;
    for (int run = 0; run < runs; ++run) {
        CollectionController& col = controller.collection();
        auto start = Clock::now();
        col._reloadThemesList();
        // Every row asks for its thumbnail, as a view scrolled through them would;
        // the workers decode them meanwhile.
        CollectionModel& model = *col.listOfDirectory;
        for (int row = 0; row < model.rowCount(); ++row) {
            model.index(row).data(Qt::DecorationRole);
        }
        while (model.pendingThumbnails() > 0) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        listings.push_back(BenchStats::since(start));
    }
    // Every row was decoded; the cache keeps as many as its bound holds.
    CollectionModel& model = *controller.collection().listOfDirectory;
    int kept = 0;
    for (int row = 0; row < model.rowCount(); ++row) {
        kept += model.index(row).data(Qt::DecorationRole).value<QPixmap>().toImage() !=
                ImageDecoder::placeholder(CollectionModel::kThumbnailBox).toImage();
    }
    std::printf("%d of %d thumbnails kept decoded (the cache holds at most %lld MiB)\n", kept,
                kThemes, static_cast<long long>(ImageDecoder::kCacheBytes / 1048576));
    std::printf(
        "listing %d themes until every thumbnail is decoded: median %.0f ms (first run "
        "%.0f ms, thumbnails not yet cached)\n",
        kThemes, BenchStats::median(listings), listings.front());
    fs::remove_all(home);
    return 0;
}
