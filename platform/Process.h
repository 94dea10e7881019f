#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Starts programs with an argument vector; never through a shell, so no
// argument is ever interpreted. Every child is reaped: nothing leaves a zombie.
// Any thread may call.
class Process {
public:
    struct Result {
        int exitStatus = -1;  // the exit code, or -1 when the child was killed by a signal
        std::string output;   // standard output, when captured
    };

    // Starts argv[0] (an absolute path) with argv, standard input and output on
    // /dev/null, and returns without waiting. A detached thread of this process
    // reaps the child. Returns the child's pid, or -1 when it could not start.
    static pid_t startDetached(const std::vector<std::string>& argv);

    // Starts argv and waits for it, capturing standard output when asked
    // (standard error stays the caller's). Nothing when it could not start.
    static std::optional<Result> run(const std::vector<std::string>& argv,
                                     bool captureOutput = false);
};
