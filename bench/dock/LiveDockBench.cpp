// The editor's live Dock against the stand-in Dock, measured in the same run:
// a redraw from a theme (ThemePreview::drawDock: its slot pictures read
// through its folder and decoded, then the scene painted) against the
// stand-in Dock's own draw of the same scene (its images loaded from the Dock
// folder, then the same scene painted), alternating, 3D, stack open, at the
// screenshots' icon size. Also the micro preview that new and batch themes get.
// Offscreen unless QT_QPA_PLATFORM says otherwise.
//   live_dock_bench [RUNS]
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "dock/DockImages.h"
#include "dock/DockRenderer.h"
#include "image/ThemePreview.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "platform/SystemPaths.h"
#include "support/BenchStats.h"

namespace fs = std::filesystem;
using Clock = BenchStats::Clock;

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 51;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    SystemPaths::setResourceFolder(RESOURCES);
    const fs::path stock = fs::path(RESOURCES) / "DefaultDock.docktheme";
    const fs::path temp =
        fs::temp_directory_path() / ("velvanto-live-dock-bench-" + std::to_string(::getpid()));
    fs::create_directories(temp);
    fs::copy(stock, temp / "Bench.docktheme", fs::copy_options::recursive);
    auto theme = DockTheme::initWithBundleAtPath((temp / "Bench.docktheme").string());
    if (!theme) {
        std::fprintf(stderr, "live_dock_bench: the theme does not open\n");
        return 1;
    }
    const MiscKit& catalogue = MiscKit::sharedFiles();
    const DockStyle style = DockStyle::ThreeD;
    const int tile = DockRenderer::kTileSize;
    std::vector<double> live, standIn, micro;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        QImage drawn = ThemePreview::drawDock(*theme, style, tile, true);
        live.push_back(BenchStats::since(start));

        start = Clock::now();
        QImage own =
            ThemePreview::paint(DockImages::load(catalogue, stock / "images"), style, tile, true);
        standIn.push_back(BenchStats::since(start));

        start = Clock::now();
        ThemePreview::renderMicroPreview(*theme);
        micro.push_back(BenchStats::since(start));
    }
    fs::remove_all(temp);

    const double base = BenchStats::median(standIn);
    std::printf("runs %d, QT_QPA_PLATFORM=%s, 3D, stack open, icons %d px\n", runs,
                std::getenv("QT_QPA_PLATFORM"), tile);
    std::printf("stand-in Dock: load folder + paint (baseline)  %s\n",
                BenchStats::summary(standIn).c_str());
    std::printf("live Dock: drawDock from the theme             %s, ratio %.2f (target <= 1.5)\n",
                BenchStats::summary(live).c_str(), BenchStats::median(live) / base);
    std::printf("micro preview: draw + locked write             %s, ratio %.2f\n",
                BenchStats::summary(micro).c_str(), BenchStats::median(micro) / base);
    return 0;
}
