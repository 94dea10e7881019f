#include "dock/DockKeeper.h"

#include <signal.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "dock/StandInRoot.h"
#include "model/MiscKit.h"
#include "platform/Log.h"
#include "platform/Process.h"
#include "platform/SystemPaths.h"

namespace {

// After a crash the Dock is started again after this pause, so a Dock that
// can't start doesn't spin.
constexpr auto kCrashPause = std::chrono::milliseconds(250);
// How long the Dock may take to end after SIGTERM before it is killed.
constexpr auto kStopGrace = std::chrono::seconds(5);

const char* const kUsage =
    "usage: dock-keeper [--dock PATH] [--crash-limit N] [--crash-window SECONDS]\n"
    "       dock-keeper --prepare-root ROOT THEME\n";

sigset_t watchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGCHLD, SIGTERM, SIGINT, SIGHUP}) {
        sigaddset(&set, signal);
    }
    return set;
}

bool isStopSignal(int signal) {
    return signal == SIGTERM || signal == SIGINT || signal == SIGHUP;
}

// Ends that someone asked for; every other end is a crash.
bool isRequestedEnd(const Process::Ending& ending) {
    return ending.signalled && (isStopSignal(ending.code) || ending.code == SIGKILL);
}

std::string describe(const Process::Ending& ending) {
    if (ending.signalled) {
        return "signal " + std::to_string(ending.code) + " (" + strsignal(ending.code) + ")";
    }
    return "exit status " + std::to_string(ending.code);
}

// Waits up to timeout for one of the watched signals; 0 when none came.
int waitForSignal(std::chrono::nanoseconds timeout) {
    sigset_t set = watchedSignals();
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    timespec wait{static_cast<time_t>(seconds.count()),
                  static_cast<long>((timeout - seconds).count())};
    int signal = ::sigtimedwait(&set, nullptr, &wait);
    return signal < 0 ? 0 : signal;
}

int waitForSignal() {
    sigset_t set = watchedSignals();
    int signal;
    while ((signal = ::sigwaitinfo(&set, nullptr)) < 0 && errno == EINTR) {
    }
    return signal;
}

bool parseCount(const std::string& text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value > 0;
}

}  // namespace

DockKeeper::DockKeeper(Options options) : options_(std::move(options)) {}

int DockKeeper::run() {
    sigset_t set = watchedSignals();
    ::sigprocmask(SIG_BLOCK, &set, nullptr);
    for (;;) {
        pid_t pid = Process::start({options_.dock});
        if (pid < 0) {
            Log::write("dock-keeper: cannot start " + options_.dock);
            return 1;
        }
        Log::write("dock-keeper: started the Dock, pid " + std::to_string(pid));
        std::optional<Process::Ending> ending;
        while (!ending) {
            int signal = waitForSignal();
            if (isStopSignal(signal)) {
                stopDock(pid);
                return 0;
            }
            ending = Process::wait(pid, false);
        }
        if (isRequestedEnd(*ending)) {
            continue;
        }
        Log::write("dock-keeper: the Dock ended by itself (" + describe(*ending) + ")");
        if (crashed(Clock::now())) {
            Log::write("dock-keeper: the Dock ended " + std::to_string(options_.crashLimit) +
                       " times within " + std::to_string(options_.crashWindowSeconds) +
                       " seconds; giving up (is there a display? see the Dock's messages above)");
            return 1;
        }
        auto resume = Clock::now() + kCrashPause;
        for (auto now = Clock::now(); now < resume; now = Clock::now()) {
            if (isStopSignal(waitForSignal(resume - now))) {
                return 0;
            }
        }
    }
}

int DockKeeper::main(const std::vector<std::string>& arguments) {
    if (!arguments.empty() && arguments[0] == "--prepare-root") {
        if (arguments.size() != 3) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return StandInRoot::prepare(arguments[1], arguments[2], MiscKit::sharedFiles()) ? 0 : 1;
    }
    auto options = parse(arguments);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return DockKeeper(*options).run();
}

std::optional<DockKeeper::Options> DockKeeper::parse(const std::vector<std::string>& arguments) {
    Options options;
    options.dock = (SystemPaths::executableFolder() / "Dock").string();
    if (arguments.size() % 2 != 0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        const std::string& name = arguments[i];
        const std::string& value = arguments[i + 1];
        bool ok = false;
        if (name == "--dock") {
            options.dock = value;
            ok = !value.empty() && value[0] == '/';
        } else if (name == "--crash-limit") {
            ok = parseCount(value, options.crashLimit);
        } else if (name == "--crash-window") {
            ok = parseCount(value, options.crashWindowSeconds);
        }
        if (!ok) {
            return std::nullopt;
        }
    }
    return options;
}

bool DockKeeper::crashed(Clock::time_point when) {
    crashes_.push_back(when);
    while (!crashes_.empty() &&
           when - crashes_.front() > std::chrono::seconds(options_.crashWindowSeconds)) {
        crashes_.pop_front();
    }
    return static_cast<int>(crashes_.size()) >= options_.crashLimit;
}

void DockKeeper::stopDock(pid_t pid) const {
    Log::write("dock-keeper: ending the Dock, pid " + std::to_string(pid));
    ::kill(pid, SIGTERM);
    auto deadline = Clock::now() + kStopGrace;
    while (!Process::wait(pid, false)) {
        auto now = Clock::now();
        if (now >= deadline) {
            ::kill(pid, SIGKILL);
            Process::wait(pid, true);
            return;
        }
        waitForSignal(deadline - now);
    }
}
