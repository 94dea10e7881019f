// The check of the stock theme (30 images, headers only) against reading the
// same 30 files once with cat to /dev/null, alternating, many runs; prints
// the medians, their spreads (min-max) and the ratio. Reading the files whole
// in this process is printed beside them, as the floor of any reader.
// Usage: theme_check_bench [RUNS]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "model/MiscKit.h"
#include "model/ThemeCheck.h"
#include "platform/Process.h"
#include "support/BenchStats.h"

namespace fs = std::filesystem;
using Clock = BenchStats::Clock;

namespace {

bool readWhole(const std::vector<std::string>& files) {
    char buffer[65536];
    for (const std::string& file : files) {
        int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
        ::close(fd);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
    const fs::path resources = RESOURCES;
    const std::string theme = (resources / "DefaultDock.docktheme").string();
    const MiscKit catalogue(resources / "DatabaseInfo.plist");
    std::vector<std::string> cat = {"/bin/cat"};
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(theme + "/images")) {
        files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    cat.insert(cat.end(), files.begin(), files.end());

    std::size_t findings = ThemeCheck::check(theme, catalogue).size();  // warms the caches
    std::vector<double> checks, cats, reads;
    for (int run = 0; run < runs; ++run) {
        Clock::time_point start = Clock::now();
        findings = ThemeCheck::check(theme, catalogue).size();
        checks.push_back(BenchStats::since(start));
        start = Clock::now();
        auto ran = Process::run(cat, Process::Capture::Nothing);
        cats.push_back(BenchStats::since(start));
        start = Clock::now();
        const bool read = readWhole(files);
        reads.push_back(BenchStats::since(start));
        if (!ran || ran->exitStatus != 0 || !read) {
            std::fprintf(stderr, "the stock theme's images did not read\n");
            return 1;
        }
    }
    std::printf(
        "check of %zu images (%zu findings), %d runs: check %s, cat to /dev/null %s, ratio of "
        "medians %.2f (target <= 1.5); the same files read whole in-process %s\n",
        files.size(), findings, runs, BenchStats::summary(checks, 3).c_str(),
        BenchStats::summary(cats, 3).c_str(), BenchStats::median(checks) / BenchStats::median(cats),
        BenchStats::summary(reads, 3).c_str());
    return 0;
}
