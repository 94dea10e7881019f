#include "ApplyToolFixture.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <regex>
#include <sstream>
#include <string_view>

#include "platform/SystemPaths.h"

extern char** environ;

ProgramRun ApplyToolTest::apply(const std::vector<std::string>& arguments, const Launch& launch) {
    int errors = -1;
    pid_t pid = start(arguments, launch, errors);
    return finish(pid, errors);
}

pid_t ApplyToolTest::start(const std::vector<std::string>& arguments, const Launch& launch,
                           int& errors) {
    std::vector<std::string> argv = {(appResources() / "VelvantoHelper").string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    // The caller's environment, with each variable of the launch in place of its namesake.
    std::vector<std::string> envText;
    for (char** entry = environ; *entry; ++entry) {
        std::string_view text = *entry;
        if (std::ranges::none_of(launch.environment, [&](const auto& variable) {
                return text.starts_with(variable.first + "=");
            })) {
            envText.emplace_back(text);
        }
    }
    for (const auto& [name, value] : launch.environment) {
        envText.push_back(name + "=" + value);
    }
    // Everything the child needs is made before fork: after it, only exec.
    std::vector<char*> args, env;
    for (std::string& arg : argv) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    for (std::string& text : envText) {
        env.push_back(text.data());
    }
    env.push_back(nullptr);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return -1;
    }
    if (launch.closedStandardError) {
        ::close(pipeFds[0]);
        pipeFds[0] = -1;
    }
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max =
        launch.fileSizeLimit < 0 ? RLIM_INFINITY : static_cast<rlim_t>(launch.fileSizeLimit);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDERR_FILENO);
        if (launch.fileSizeLimit >= 0) {
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execve(args[0], args.data(), env.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    errors = pipeFds[0];
    return pid;
}

ProgramRun ApplyToolTest::finish(pid_t pid, int errors) {
    ProgramRun run;
    if (errors >= 0) {
        char chunk[4096];
        ssize_t got;
        while ((got = ::read(errors, chunk, sizeof chunk)) > 0 || (got < 0 && errno == EINTR)) {
            run.standardError.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        }
        ::close(errors);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    lines_ = messages(run.standardError);
    return run;
}

std::vector<std::string> ApplyToolTest::messages(const std::string& standardError) {
    static const std::regex head(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [^\[]+\[\d+:[0-9a-f]+\] (.*)$)");
    std::vector<std::string> result;
    std::istringstream in(standardError);
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (std::regex_match(line, match, head)) {
            result.push_back(match[1]);
        } else if (!result.empty()) {
            result.back() += "\n" + line;
        }
    }
    return result;
}

std::filesystem::path ApplyToolTest::originals() const {
    return root() / SystemPaths::kOriginalDockBelowRoot;
}
