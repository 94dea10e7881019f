// Figures of the stand-in Dock, each against a bare Qt window's start-up
// measured in the same run: the time from "killall Dock" to the manifest of
// the Dock that dock-keeper starts again, and "Dock --render" of each style.
// Runs in a temporary home and stand-in root, drawing offscreen unless
// QT_QPA_PLATFORM says otherwise. killall ends every Dock of this user.
//   dock_bench [RUNS]
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "dock/DockManifest.h"
#include "dock/StandInRoot.h"
#include "model/MiscKit.h"
#include "platform/Process.h"
#include "platform/SystemPaths.h"
#include "support/BenchStats.h"

namespace fs = std::filesystem;
using Clock = BenchStats::Clock;

namespace {

bool waitUntil(const std::function<bool()>& condition) {
    auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return true;
}

// Start-up of a bare window: from its start until it has been shown.
double bareWindow(const fs::path& marker) {
    fs::remove(marker);
    auto start = Clock::now();
    pid_t pid = Process::start({BARE_WINDOW_PROGRAM, marker.string()});
    waitUntil([&] { return fs::exists(marker); });
    double took = BenchStats::milliseconds(Clock::now() - start);
    ::kill(pid, SIGTERM);
    Process::wait(pid);
    return took;
}

// From "killall Dock" until the Dock started again has written its manifest.
double restart() {
    qint64 previous = DockManifest::read()->pid;
    auto start = Clock::now();
    Process::run({SystemPaths::killallPath(), "Dock"});
    waitUntil([&] {
        auto manifest = DockManifest::read();
        return manifest && manifest->pid != previous;
    });
    return BenchStats::milliseconds(Clock::now() - start);
}

double render(const char* style, const fs::path& out, const fs::path& images) {
    auto start = Clock::now();
    Process::run({DOCK_PROGRAM, "--render", style, out.string(), "--resources", images.string()});
    return BenchStats::milliseconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    fs::path temp =
        fs::temp_directory_path() / ("velvanto-dock-bench-" + std::to_string(::getpid()));
    fs::create_directories(temp / "home");
    fs::create_directories(temp / "runtime");
    fs::permissions(temp / "runtime", fs::perms::owner_all);
    ::setenv("HOME", (temp / "home").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (temp / "runtime").c_str(), 1);
    ::setenv("VELVANTO_ROOT", (temp / "root").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    MiscKit catalogue{fs::path(CATALOGUE)};
    if (!StandInRoot::prepare(temp / "root", STOCK_THEME, catalogue)) {
        return 1;
    }
    fs::path images = fs::path(STOCK_THEME) / "images";

    pid_t keeper = Process::start({KEEPER_PROGRAM});
    if (!waitUntil([] { return DockManifest::read().has_value(); })) {
        std::fprintf(stderr, "dock_bench: the Dock did not start\n");
        return 1;
    }
    std::vector<double> bare, restarts, glass, flat;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(bareWindow(temp / "shown"));
        restarts.push_back(restart());
        glass.push_back(render("3d", temp / "3d.png", images));
        flat.push_back(render("2d", temp / "2d.png", images));
    }
    ::kill(keeper, SIGTERM);
    Process::wait(keeper);
    fs::remove_all(temp);

    double base = BenchStats::median(bare);
    std::printf("runs %d, QT_QPA_PLATFORM=%s\n", runs, std::getenv("QT_QPA_PLATFORM"));
    std::printf("bare Qt window start-up (baseline)   median %7.1f ms\n", base);
    auto row = [&](const char* what, const std::vector<double>& values) {
        std::printf("%-36s median %7.1f ms, ratio %.2f\n", what, BenchStats::median(values),
                    BenchStats::median(values) / base);
    };
    row("killall Dock -> new manifest", restarts);
    row("Dock --render 3d", glass);
    row("Dock --render 2d", flat);
    return 0;
}
