// Reads documents of several shapes at 100 kB and 1 MB and prints, for each,
// the median time, its ratio to a plain-text document of the same size (the
// baseline, read in the same run), how the time grows with the size (1.00 =
// linear), and the time and peak memory of reading 16 MB of it (in a child
// process, input included), which the reader's limits bound.
// Usage: rtf_read_bench [RUNS]
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "model/RtfReader.h"

namespace {

struct Shape {
    const char* name;
    std::string head;  // once
    std::string unit;  // repeated up to the size
};

std::string document(const Shape& shape, std::size_t size) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252" + shape.head;
    while (rtf.size() + shape.unit.size() < size) {
        rtf += shape.unit;
    }
    return rtf + "}";
}

double medianSeconds(const std::string& rtf, int runs) {
    RtfReader::read(rtf);  // warms the allocator's heap
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const bool read = RtfReader::read(rtf).has_value();
        const auto end = std::chrono::steady_clock::now();
        if (!read) {
            std::fprintf(stderr, "a benchmark document did not read\n");
            std::exit(1);
        }
        times.push_back(std::chrono::duration<double>(end - start).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}

struct Largest {
    double seconds = 0;
    bool read = false;  // false when the text passes the reader's limits (or the child failed)
    long peakMegabytes = 0;
};

// The time of one read of 16 MB of the shape, and the peak memory in MB of
// the child that makes and reads it.
Largest largest(const Shape& shape) {
    int fds[2];
    if (pipe(fds) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const std::string rtf = document(shape, RtfReader::kMaxInputBytes);
        const auto start = std::chrono::steady_clock::now();
        const bool read = RtfReader::read(rtf).has_value();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const bool written = write(fds[1], &seconds, sizeof seconds) == sizeof seconds;
        _exit(written && read ? 0 : 1);
    }
    close(fds[1]);
    Largest result;
    const bool timed =
        read(fds[0], &result.seconds, sizeof result.seconds) == sizeof result.seconds;
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    result.read = timed && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.peakMegabytes = usage.ru_maxrss / 1024;
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    // Keep freed memory in the heap, so that the times measure the reader and
    // not the kernel handing out fresh pages (slow on some virtual machines).
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    const std::string longFont = "{\\fonttbl\\f0 " + std::string(255, 'F') + ";}\\f0 ";
    const std::vector<Shape> shapes = {
        {"plain text (baseline)", " ", "A calm graphite Dock with soft blue lights. "},
        {"TextEdit styled",
         "{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red0\\green64\\blue128;}",
         "\\pard\\tx566\\tx1133\\qc\\pardirnatural\n\\f0\\b\\fs36 \\cf1 Title\\\n\\pard\\ql"
         "\\qnatural\n\\b0\\fs24 \\cf0 A thin \\i bright\\i0  line and \\ul blue\\ulnone .\\\n"},
        {"a run per word, long font", longFont, "\\b bold words \\b0 and plain words "},
        {"\\u with fallback", " ", "\\u9786?"},
        {"\\'hh in 1252", " ", "\\'e9"},
        {"\\'hh in Shift JIS", "\\ansicpg932 ", "\\'82\\'a0"},
        // Word's Shift JIS: a second byte that is printable ASCII comes as a plain character.
        {"cp932 escaped and plain", "\\ansicpg932{\\fonttbl\\f0\\fcharset128 MS Mincho;}\\f0 ",
         "\\'83e\\'83L\\'83X\\'83g\\'95\\'5c\\'8e\\'a6 Dock "},
        {"cp1258 with tone marks", "\\ansicpg1258 ", "Ti\\'ea\\'ecng Vi\\'ea\\'f2t \\'f0\\'e8p "},
        {"East Asian runs (\\dbch)", "{\\fonttbl\\f0 Latin;\\f1 Asian;}\\f0 ",
         "{\\dbch\\af1\\afs28\\ab \\u26085\\'3f\\u26412\\'3f Dock \\u35486\\'3f}"},
        {"8-bit bytes in 1252", " ", "\x80"},
        {"paragraph ends", " ", "a short line\\\n"},
        {"groups one after another", " ", "{\\b x}"},
        {"nested groups", " ", std::string(200, '{') + "x" + std::string(200, '}')},
        {"skipped picture", " ", "{\\pict 89504e470d0a1a0a0000000d49484452}"},
        {"long control words", " ", "\\" + std::string(500, 'w') + "123456789012 "},
    };
    std::printf("%-26s %12s %12s %9s %7s %13s %15s\n", "shape", "100 kB (ms)", "1 MB (ms)",
                "vs plain", "growth", "16 MB (ms)", "16 MB peak (MB)");
    // All timings first: a forked child would leave the heap copy-on-write.
    std::vector<std::pair<double, double>> times;
    for (const Shape& shape : shapes) {
        times.emplace_back(medianSeconds(document(shape, 100'000), runs),
                           medianSeconds(document(shape, 1'000'000), std::max(1, runs / 3)));
    }
    const double baseline = times.front().second;
    double worst100k = 0;
    double worstGrowth = 0;
    double worst16M = 0;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const auto [small, large] = times[i];
        const double growth = large / small / 10.0;
        const Largest sixteen = largest(shapes[i]);
        worst100k = std::max(worst100k, small);
        worstGrowth = std::max(worstGrowth, growth);
        worst16M = std::max(worst16M, sixteen.seconds);
        std::printf("%-26s %12.3f %12.3f %9.2f %7.2f %12.1f%c %15ld\n", shapes[i].name, small * 1e3,
                    large * 1e3, large / baseline, growth, sixteen.seconds * 1e3,
                    sixteen.read ? ' ' : '*', sixteen.peakMegabytes);
    }
    std::printf(
        "slowest 100 kB read %.3f ms (target < 1000 ms); largest growth %.2f (target <= 2.0, "
        "1.0 = linear); slowest 16 MB read %.0f ms (target < 2000 ms)\n"
        "*: 16 MB of the shape passes the reader's run or paragraph limit, so the read gives "
        "nothing\n",
        worst100k * 1e3, worstGrowth, worst16M * 1e3);
    return 0;
}
