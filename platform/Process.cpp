#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

extern char** environ;

namespace {

// The signals a child gets back at their default action: a caller that
// blocks or ignores them (to wait for them) must not pass that on, since a
// child with SIGTERM blocked could not be ended by killall.
constexpr int kDefaultSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ, SIGCHLD};

// argv as execve takes it, pointing into argv; empty when argv is.
std::vector<char*> argumentsOf(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    if (argv.empty()) {
        return args;
    }
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    return args;
}

// Reads exactly size bytes, or fewer at the end of the stream.
std::size_t readFully(int fd, void* into, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        ssize_t chunk = ::read(fd, static_cast<char*>(into) + got, size - got);
        if (chunk < 0 && errno == EINTR) {
            continue;
        }
        if (chunk <= 0) {
            break;
        }
        got += static_cast<std::size_t>(chunk);
    }
    return got;
}

// The grandchild of startDetached: standard input and output on /dev/null,
// signals as a new program's, then argv; on failure its errno reaches report
// (closed by a successful exec). Only async-signal-safe calls: the caller may
// have other threads.
[[noreturn]] void execDetached(char* const* args, int report) {
    int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        if (null > STDERR_FILENO) {
            ::close(null);
        }
    }
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal : kDefaultSignals) {
        ::sigaction(signal, &defaults, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execve(args[0], args, environ);
    const int error = errno;
    [[maybe_unused]] ssize_t written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

// Starts argv with standard output on /dev/null, or on captureFd when that is
// given, as the stream captureTarget (standard output or standard error).
pid_t spawn(const std::vector<std::string>& argv, int captureFd = -1,
            int captureTarget = STDOUT_FILENO) {
    std::vector<char*> args = argumentsOf(argv);
    if (args.empty()) {
        return -1;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (captureFd < 0 || captureTarget != STDOUT_FILENO) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    if (captureFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, captureFd, captureTarget);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : kDefaultSignals) {
        sigaddset(&defaults, signal);
    }
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    int error = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

int waitFor(pid_t pid) {
    auto ending = Process::wait(pid);
    return ending && !ending->signalled ? ending->code : -1;
}

}  // namespace

pid_t Process::startDetached(const std::vector<std::string>& argv) {
    std::vector<char*> args = argumentsOf(argv);
    int report[2] = {-1, -1};
    if (args.empty() || ::pipe2(report, O_CLOEXEC) != 0) {
        return -1;
    }
    // The child only forks the grandchild that runs argv and ends at once, so
    // it is reaped here and the grandchild goes to init: no zombie, no thread.
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            execDetached(args.data(), report[1]);
        }
        [[maybe_unused]] ssize_t written = ::write(report[1], &grandchild, sizeof grandchild);
        ::_exit(0);
    }
    ::close(report[1]);
    pid_t started = -1;
    if (child > 0) {
        Process::wait(child);
        int error = 0;
        // The grandchild's pid, then nothing (its exec closed the pipe) or why its exec failed.
        if (readFully(report[0], &started, sizeof started) != sizeof started ||
            readFully(report[0], &error, sizeof error) != 0) {
            started = -1;
        }
    }
    ::close(report[0]);
    return started;
}

std::optional<Process::Result> Process::run(const std::vector<std::string>& argv, Capture capture) {
    const bool captureOutput = capture != Capture::Nothing;
    int pipeFds[2] = {-1, -1};
    if (captureOutput && ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    pid_t pid = spawn(argv, pipeFds[1], capture == Capture::Errors ? STDERR_FILENO : STDOUT_FILENO);
    if (captureOutput) {
        ::close(pipeFds[1]);
    }
    if (pid < 0) {
        if (captureOutput) {
            ::close(pipeFds[0]);
        }
        return std::nullopt;
    }
    Result result;
    if (captureOutput) {
        char chunk[4096];
        for (;;) {
            ssize_t got = ::read(pipeFds[0], chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            result.output.append(chunk, static_cast<std::size_t>(got));
        }
        ::close(pipeFds[0]);
    }
    result.exitStatus = waitFor(pid);
    return result;
}

pid_t Process::start(const std::vector<std::string>& argv) {
    return spawn(argv);
}

std::optional<Process::Ending> Process::wait(pid_t pid, bool block) {
    int status = 0;
    pid_t got;
    while ((got = ::waitpid(pid, &status, block ? 0 : WNOHANG)) < 0 && errno == EINTR) {
    }
    if (got <= 0) {
        return std::nullopt;
    }
    if (WIFSIGNALED(status)) {
        return Ending{true, WTERMSIG(status)};
    }
    return Ending{false, WEXITSTATUS(status)};
}
