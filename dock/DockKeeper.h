#pragma once

#include <sys/types.h>

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// Keeps the Dock running, as the system does: starts it, and starts it again
// whenever it ends. An end by SIGTERM, SIGINT, SIGHUP or SIGKILL (for example
// "killall Dock") is a request to restart and is followed at once; any other
// end is a crash, and after crashLimit crashes within crashWindowSeconds the
// keeper gives up with a message. SIGTERM, SIGINT or SIGHUP to the keeper ends
// the Dock and then the keeper.
//
// run() blocks those signals and SIGCHLD and waits for them, so it must run on
// the process's only thread, which it keeps until it returns.
class DockKeeper {
public:
    struct Options {
        std::string dock;  // absolute path of the program to keep
        int crashLimit = 5;
        int crashWindowSeconds = 30;
    };

    explicit DockKeeper(Options options);

    // Exit status: 0 after a stop signal, 1 after giving up or when the Dock can't be started.
    int run();

    // The keeper's command line; returns the exit status (2 for bad arguments).
    //   dock-keeper [--dock PATH] [--crash-limit N] [--crash-window SECONDS]
    //   dock-keeper --prepare-root ROOT THEME
    static int main(const std::vector<std::string>& arguments);
    // Options from the first form of the command line; nothing when they are bad.
    static std::optional<Options> parse(const std::vector<std::string>& arguments);

private:
    using Clock = std::chrono::steady_clock;

    // Notes a crash; true when the limit is reached.
    bool crashed(Clock::time_point when);
    void stopDock(pid_t pid) const;

    Options options_;
    std::deque<Clock::time_point> crashes_;
};
