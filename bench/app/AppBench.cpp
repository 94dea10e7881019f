// The editor's start-up against a bare Qt program that shows one empty main
// window, both started as processes alternately in the same run, and the time
// from opening the stock theme to the information view shown (fades
// included, as the user sees it). Runs in a temporary home and settings, not
// a first start, drawing offscreen unless QT_QPA_PLATFORM says otherwise.
//   app_bench [RUNS]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Milliseconds from the start of argv to its end; negative when it failed.
double timed(const std::vector<std::string>& argv, std::string* output = nullptr) {
    auto start = Clock::now();
    auto run = Process::run(argv, Process::Capture::Output);
    double took = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (output && run) {
        *output = run->output;
    }
    return run && run->exitStatus == 0 ? took : -1;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    fs::path home =
        fs::temp_directory_path() / ("velvanto-app-bench-" + std::to_string(::getpid()));
    fs::create_directories(home / ".config/Velvanto");
    {
        FILE* settings = std::fopen((home / ".config/Velvanto/Velvanto.conf").c_str(), "w");
        std::fputs("[General]\nFIRST=false\n", settings);
        std::fclose(settings);
    }
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    ::setenv("VELVANTO_ROOT", (home / "root").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM",
             std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);

    std::vector<double> bare, editor, open, openWithoutFades;
    auto openTime = [](std::vector<std::string> argv) {
        std::string output;
        timed(argv, &output);
        auto at = output.find("open_ms ");
        return at == std::string::npos ? -1 : std::atof(output.c_str() + at + 8);
    };
    for (int i = 0; i < runs; ++i) {
        bare.push_back(timed({BARE_PROGRAM}));
        editor.push_back(timed({PROBE_PROGRAM, RESOURCES}));
        open.push_back(openTime({PROBE_PROGRAM, RESOURCES, STOCK_THEME}));
        openWithoutFades.push_back(openTime({PROBE_PROGRAM, RESOURCES, STOCK_THEME, "--no-fades"}));
    }
    fs::remove_all(home);
    if (*std::min_element(bare.begin(), bare.end()) < 0 ||
        *std::min_element(editor.begin(), editor.end()) < 0) {
        std::fprintf(stderr, "app_bench: a program failed\n");
        return 1;
    }
    double b = median(bare), e = median(editor);
    std::printf("runs %d\n", runs);
    std::printf("bare main window start-up   median %8.2f ms\n", b);
    std::printf("editor start-up             median %8.2f ms   ratio %.2f (target <= 1.5)\n", e,
                e / b);
    std::printf("open stock theme to info    median %8.2f ms (with the two 0.2 s fades)\n",
                median(open));
    std::printf("  the same without fades    median %8.2f ms\n", median(openWithoutFades));
    return 0;
}
