// The editor's start-up as a user sees it, measured from outside on the
// current X display (Xvfb, with or without a window manager): the real
// program is started by exec, and an X watcher notes when its first window is
// mapped and when the screen has been quiet (no damage) for 100 ms; the
// process's peak resident memory comes from wait4 after it is stopped. The
// baseline is a bare QMainWindow program with a menu bar and a label (so the
// toolkit loads its fonts, its floor), built with the same flags. Three
// cases, each run alternately with its own baseline run: not the first start,
// the first start (quick guide shown) and the stock theme as argument. Every
// run gets a fresh temporary home, so no editor is already running.
//   startup_watch [RUNS]
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/BenchStats.h"

extern char** environ;

namespace fs = std::filesystem;
using Clock = BenchStats::Clock;

namespace {

constexpr double kQuietMs = 100;
constexpr double kGiveUpMs = 10000;

struct Sample {
    double mapped = -1;  // ms from exec to the first top-level window mapped
    double quiet = -1;   // ms from exec to the last damage before 100 ms of quiet
    double rssMb = -1;   // peak resident memory
};

struct Series {
    std::vector<double> mapped, quiet, rss;
    void add(const Sample& sample) {
        mapped.push_back(sample.mapped);
        quiet.push_back(sample.quiet);
        rss.push_back(sample.rssMb);
    }
};

// The environment of a run: this one's, with a home of its own.
std::vector<std::string> environmentFor(const fs::path& home, bool firstStart) {
    fs::create_directories(home / ".config/Velvanto");
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    if (!firstStart) {
        std::ofstream(home / ".config/Velvanto/Velvanto.conf") << "[General]\nFIRST=false\n";
    }
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        std::string_view text(*entry);
        bool ours = false;
        for (const char* name : {"HOME=", "XDG_", "VELVANTO_ROOT=", "QT_QPA_PLATFORM="}) {
            ours = ours || text.starts_with(name);
        }
        if (!ours) {
            env.emplace_back(text);
        }
    }
    env.push_back("HOME=" + home.string());
    env.push_back("XDG_CONFIG_HOME=" + (home / ".config").string());
    env.push_back("XDG_CACHE_HOME=" + (home / ".cache").string());
    env.push_back("XDG_DATA_HOME=" + (home / ".local/share").string());
    env.push_back("XDG_RUNTIME_DIR=" + (home / "runtime").string());
    env.push_back("VELVANTO_ROOT=" + (home / "root").string());
    env.push_back("QT_QPA_PLATFORM=xcb");
    return env;
}

class Watcher {
public:
    Watcher() : display_(XOpenDisplay(nullptr)) {
        if (!display_) {
            return;
        }
        root_ = DefaultRootWindow(display_);
        int error = 0;
        if (!XDamageQueryExtension(display_, &damageEvent_, &error)) {
            XCloseDisplay(display_);
            display_ = nullptr;
            return;
        }
        XSelectInput(display_, root_, SubstructureNotifyMask);
        damage_ = XDamageCreate(display_, root_, XDamageReportNonEmpty);
    }
    ~Watcher() {
        if (display_) {
            XDamageDestroy(display_, damage_);
            XCloseDisplay(display_);
        }
    }
    bool valid() const { return display_ != nullptr; }

    Sample run(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
        drain();
        std::vector<char*> args, vars;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        for (const std::string& var : env) {
            vars.push_back(const_cast<char*>(var.c_str()));
        }
        args.push_back(nullptr);
        vars.push_back(nullptr);
        Sample sample;
        const Clock::time_point start = Clock::now();
        pid_t child = ::fork();
        if (child == 0) {
            ::execve(args[0], args.data(), vars.data());
            ::_exit(127);
        }
        double lastDamage = -1;
        while (BenchStats::since(start) < kGiveUpMs) {
            double now = BenchStats::since(start);
            if (sample.mapped >= 0 && lastDamage >= 0 && now - lastDamage >= kQuietMs) {
                sample.quiet = lastDamage;
                break;
            }
            if (!wait(sample.mapped >= 0 ? kQuietMs / 4 : 50)) {
                continue;
            }
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == MapNotify && event.xmap.event == root_ && sample.mapped < 0 &&
                    !event.xmap.override_redirect) {
                    sample.mapped = BenchStats::since(start);
                    lastDamage = sample.mapped;
                } else if (event.type == damageEvent_ + XDamageNotify) {
                    XDamageSubtract(display_, damage_, None, None);
                    if (sample.mapped >= 0) {
                        lastDamage = BenchStats::since(start);
                    }
                }
            }
        }
        ::kill(child, SIGTERM);
        int status = 0;
        struct rusage usage {};
        ::wait4(child, &status, 0, &usage);
        sample.rssMb = usage.ru_maxrss / 1024.0;
        return sample;
    }

private:
    void drain() {
        XSync(display_, False);
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
        }
        XDamageSubtract(display_, damage_, None, None);
        XSync(display_, False);
    }
    // Whether an event came within ms.
    bool wait(double ms) {
        if (XPending(display_)) {
            return true;
        }
        int fd = ConnectionNumber(display_);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        struct timeval timeout {
            0, static_cast<suseconds_t>(ms * 1000)
        };
        return ::select(fd + 1, &readable, nullptr, nullptr, &timeout) > 0;
    }

    Display* display_ = nullptr;
    Window root_ = 0;
    int damageEvent_ = 0;
    Damage damage_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    Watcher watcher;
    if (!watcher.valid()) {
        std::fprintf(stderr, "startup_watch: needs an X display with the DAMAGE extension\n");
        return 1;
    }
    const fs::path top =
        fs::temp_directory_path() / ("velvanto-startup-watch-" + std::to_string(::getpid()));
    struct Case {
        const char* name;
        bool firstStart;
        std::vector<std::string> argv;
        Series editor, bare;
    };
    std::vector<Case> cases = {
        {"not the first start", false, {EDITOR_PROGRAM}, {}, {}},
        {"first start (quick guide)", true, {EDITOR_PROGRAM}, {}, {}},
        {"stock theme as argument", false, {EDITOR_PROGRAM, STOCK_THEME}, {}, {}},
    };
    int home = 0;
    for (int i = 0; i < runs; ++i) {
        for (Case& c : cases) {
            // Alternate which side goes first, so neither always finds a warm cache.
            for (int side = 0; side < 2; ++side) {
                const bool editor = (side == 0) == (i % 2 == 0);
                const fs::path folder = top / std::to_string(home++);
                Sample sample =
                    watcher.run(editor ? c.argv : std::vector<std::string>{BARE_PROGRAM},
                                environmentFor(folder, c.firstStart));
                fs::remove_all(folder);
                if (sample.mapped < 0 || sample.quiet < 0) {
                    std::fprintf(stderr, "startup_watch: %s: no window mapped or never quiet\n",
                                 editor ? c.argv[0].c_str() : BARE_PROGRAM);
                    fs::remove_all(top);
                    return 1;
                }
                (editor ? c.editor : c.bare).add(sample);
            }
        }
    }
    fs::remove_all(top);
    std::printf("runs %d (medians, min-max in brackets)\n", runs);
    for (const Case& c : cases) {
        std::printf("%s\n", c.name);
        auto line = [](const char* what, const std::vector<double>& editor,
                       const std::vector<double>& bare, const char* unit) {
            std::printf("  %-22s editor %7.1f %s [%s]  bare %7.1f %s [%s]  ratio %.2f\n", what,
                        BenchStats::median(editor), unit, BenchStats::spread(editor).c_str(),
                        BenchStats::median(bare), unit, BenchStats::spread(bare).c_str(),
                        BenchStats::median(editor) / BenchStats::median(bare));
        };
        line("exec -> window mapped", c.editor.mapped, c.bare.mapped, "ms");
        line("exec -> quiet", c.editor.quiet, c.bare.quiet, "ms");
        line("peak memory", c.editor.rss, c.bare.rss, "MB");
    }
    return 0;
}
