#pragma once

#include <sys/types.h>
#include <optional>
#include <string>
#include <vector>

// Starts programs with an argument vector; never through a shell, so no
// argument is ever interpreted. Every child starts with no blocked signals and
// default signal actions, whatever the caller has set. Any thread may call.
class Process {
public:
    struct Result {
        int exitStatus = -1;  // the exit code, or -1 when the child was killed by a signal
        std::string output;   // the captured stream
    };

    // Which of the child's streams run() captures; the others go to /dev/null
    // (standard output) or stay the caller's (standard error).
    enum class Capture { Nothing, Output, Errors };

    // How a child ended.
    struct Ending {
        bool signalled = false;  // ended by a signal
        int code = 0;            // the exit code, or the signal's number when signalled
    };

    // Starts argv[0] (an absolute path) with argv, standard input and output on
    // /dev/null, and returns once it runs, without waiting for its end. It is
    // not a child of the caller: started through a child that ends at once and
    // is reaped here, it goes to init, which reaps it. Returns its pid, or -1
    // when it could not start (no such program included).
    static pid_t startDetached(const std::vector<std::string>& argv);

    // Starts argv and waits for it, capturing the stream asked for.
    // Nothing when it could not start.
    static std::optional<Result> run(const std::vector<std::string>& argv,
                                     Capture capture = Capture::Nothing);

    // Starts argv like startDetached but leaves the child to the caller, who
    // must reap it with wait (a supervisor that restarts its child does so).
    // Returns the child's pid, or -1 when it could not start.
    static pid_t start(const std::vector<std::string>& argv);
    // Reaps the caller's child pid, waiting for its end when block is true.
    // Nothing when it still runs (block false) or pid is not a child of the caller.
    static std::optional<Ending> wait(pid_t pid, bool block = true);
};
