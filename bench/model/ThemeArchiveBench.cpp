// Theme archives against bsdtar on the stock theme (30 images): importing
// its export (unpacking, the checks and the theme check) against
// `bsdtar -xf` of the same archive into a new folder, and exporting against
// `bsdtar -a -cf x.zip` of the same folder; alternating, many runs. Prints
// the medians, their spreads (min-max) and the ratios (target: at most 1.5).
// Usage: theme_archive_bench [RUNS]  (bsdtar: scripts/setup-deps libarchive-tools)
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/MiscKit.h"
#include "model/ThemeArchive.h"
#include "platform/Descriptor.h"
#include "platform/Process.h"
#include "support/BenchStats.h"

namespace fs = std::filesystem;
using Clock = BenchStats::Clock;

namespace {

// The median of values, printed after label with the spread.
double report(const char* label, const std::vector<double>& values) {
    std::printf("%-28s %s\n", label, BenchStats::summary(values, 3).c_str());
    return BenchStats::median(values);
}

// How long work takes, in milliseconds; ends the program when it fails.
double timed(const std::function<bool()>& work) {
    const Clock::time_point start = Clock::now();
    if (!work()) {
        std::fprintf(stderr, "a run failed\n");
        std::exit(1);
    }
    return BenchStats::since(start);
}

bool bsdtar(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {"/usr/bin/bsdtar"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto ran = Process::run(argv, Process::Capture::Nothing);
    return ran && ran->exitStatus == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 51;
    const fs::path resources = RESOURCES;
    const fs::path theme = resources / "DefaultDock.docktheme";
    const MiscKit catalogue(resources / "DatabaseInfo.plist");
    const fs::path work =
        fs::temp_directory_path() / ("theme-archive-bench-" + std::to_string(::getpid()));
    fs::create_directories(work);
    const std::string ours = (work / "ours.zip").string();
    const std::string theirs = (work / "theirs.zip").string();
    std::string why;
    std::vector<double> exports, tarExports, imports, tarImports;
    for (int run = 0; run < runs; ++run) {
        fs::remove(ours);  // an export never replaces a file
        exports.push_back(timed([&] {
            return ThemeArchive::write(theme.string(), ours, catalogue, {},
                                       FileManager::Existing::Kept, &why);
        }));
        tarExports.push_back(timed([&] {
            fs::remove(theirs);
            return bsdtar(
                {"-a", "-cf", theirs, "-C", resources.string(), theme.filename().string()});
        }));
        const fs::path into = work / "into";
        const fs::path tarInto = work / "tar-into";
        fs::remove_all(into);
        fs::remove_all(tarInto);
        imports.push_back(timed([&] {
            fs::create_directory(into);
            Descriptor folder(::open(into.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            return ThemeArchive::extract(ours, folder.get(), into.string(), catalogue, {}, &why)
                .has_value();
        }));
        tarImports.push_back(timed([&] {
            fs::create_directory(tarInto);
            return bsdtar({"-xf", ours, "-C", tarInto.string()});
        }));
    }
    fs::remove_all(work);
    const double exported = report("export", exports);
    const double tarExported = report("bsdtar -a -cf x.zip", tarExports);
    const double imported = report("import (with the check)", imports);
    const double tarImported = report("bsdtar -xf", tarImports);
    std::printf("export / bsdtar: %.2f (target <= 1.5)\nimport / bsdtar: %.2f (target <= 1.5)\n",
                exported / tarExported, imported / tarImported);
    return 0;
}
