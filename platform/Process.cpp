#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <thread>

extern char** environ;

namespace {

// Starts argv with standard output on /dev/null, or on captureFd when that is
// given, as the stream captureTarget (standard output or standard error).
pid_t spawn(const std::vector<std::string>& argv, int captureFd = -1,
            int captureTarget = STDOUT_FILENO) {
    if (argv.empty()) {
        return -1;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (captureFd < 0 || captureTarget != STDOUT_FILENO) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    if (captureFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, captureFd, captureTarget);
    }
    // A caller that blocks or ignores signals (to wait for them) must not pass
    // that on: a child with SIGTERM blocked could not be ended by killall.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ, SIGCHLD}) {
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
    pid_t pid = spawn(argv);
    if (pid > 0) {
        std::thread([pid] { waitFor(pid); }).detach();
    }
    return pid;
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
