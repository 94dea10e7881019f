// The batch converter on 300 sub-folders of 30 small PNG images each, against
// a shell script that makes the same bundles with `cp -r` of the stock theme
// and `cp` of each folder's images; and listing a collection of 1,000 themes
// until every thumbnail is decoded. Works in a temporary home, offscreen
// unless QT_QPA_PLATFORM says otherwise.
//   collection_batch_bench [RUNS]
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>

#include "app/BatchController.h"
#include "app/CollectionController.h"
#include "app/CollectionModel.h"
#include "app/Dialogs.h"
#include "app/MainController.h"
#include "model/MiscKit.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/Process.h"
#include "platform/SystemPaths.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFolders = 300;
constexpr int kThemes = 1000;

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

double since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const fs::path home =
        fs::temp_directory_path() / ("velvanto-batch-bench-" + std::to_string(::getpid()));
    fs::create_directories(home / ".config/Velvanto");
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    ::setenv("VELVANTO_ROOT", (home / "root").c_str(), 1);
    if (!std::getenv("QT_QPA_PLATFORM")) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    SystemPaths::setResourceFolder(RESOURCES);
    Log::setSink([](const std::string&) {});
    Answers dialogs;
    MainController controller(dialogs);
    controller.help_window->hide();

    // 300 folders of 30 small PNG images named as the Dock names them.
    const fs::path source = home / "source";
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(QColor(40, 90, 200, 180));
    for (int folder = 0; folder < kFolders; ++folder) {
        fs::path dir = source / ("Theme " + std::to_string(folder));
        fs::create_directories(dir);
        for (const PlistValue& record : MiscKit::sharedFiles().dockFilesList()) {
            image.save(q(dir / *record.stringFor("Original")), "PNG");
        }
    }
    const std::string script =
        "for d in \"$1\"/*; do n=$(basename \"$d\"); cp -r \"$2\" \"$3/$n.docktheme\" && "
        "cp \"$d\"/* \"$3/$n.docktheme/images/\"; done";
    std::vector<double> copies, batches;
    for (int run = 0; run < runs; ++run) {
        const fs::path byCp = home / ("cp" + std::to_string(run));
        const fs::path byBatch = home / ("batch" + std::to_string(run));
        fs::create_directories(byCp);
        fs::create_directories(byBatch);
        auto start = Clock::now();
        Process::run({"/bin/bash", "-c", script, "bench", source.string(),
                      (fs::path(RESOURCES) / "DefaultDock.docktheme").string(), byCp.string()},
                     Process::Capture::Nothing);
        copies.push_back(since(start));
        BatchController& batch = controller.batchController();
        dialogs.paths = {q(source), q(byBatch)};
        start = Clock::now();
        batch.btn_chooseSource();
        batch.btn_startBatch();
        while (batch.isRunning()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        batches.push_back(since(start));
        fs::remove_all(byCp);
        fs::remove_all(byBatch);
    }
    std::printf(
        "batch of %d folders x 30 images: converter median %.0f ms, cp script median "
        "%.0f ms, ratio %.2f (target <= 1.3)\n",
        kFolders, median(batches), median(copies), median(batches) / median(copies));

    // 1,000 themes in the collection, each with its own micro preview.
    const fs::path collection = CollectionController::collectionFolder();
    const fs::path stock = fs::path(RESOURCES) / "DefaultDock.docktheme";
    for (int theme = 0; theme < kThemes; ++theme) {
        fs::path bundle = collection / ("Theme " + std::to_string(theme) + ".docktheme");
        fs::create_directories(bundle);
        fs::copy(stock / "Info.plist", bundle / "Info.plist");
        fs::copy(stock / "preview_micro.png", bundle / "preview_micro.png");
    }
    std::vector<double> listings;
    for (int run = 0; run < runs; ++run) {
        CollectionController& col = controller.collectionController();
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
        listings.push_back(since(start));
        int shown = 0;
        for (int row = 0; row < model.rowCount(); ++row) {
            shown += model.index(row).data(Qt::DecorationRole).value<QPixmap>().toImage() !=
                     ImageDecoder::placeholder(CollectionModel::kThumbnailBox).toImage();
        }
        if (shown != kThemes) {
            std::printf("only %d of %d thumbnails decoded\n", shown, kThemes);
        }
    }
    std::printf(
        "listing %d themes until every thumbnail is decoded: median %.0f ms (first run "
        "%.0f ms, thumbnails not yet cached)\n",
        kThemes, median(listings), listings.front());
    fs::remove_all(home);
    return 0;
}
