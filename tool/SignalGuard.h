#pragma once

#include <signal.h>

// Keeps the caller's signals from cutting an install short. The tool is one
// thread; only it uses this.
class SignalGuard {
public:
    // For the rest of the process's life, SIGPIPE and SIGXFSZ are ignored: a
    // closed standard error or a file-size limit then makes a write fail, and
    // the failure is handled like any other. Children start with defaults again.
    static void ignoreWriteSignals();

    // Holds SIGINT, SIGTERM and SIGHUP while the guard lives; one that arrived
    // meanwhile takes effect when the guard is dropped.
    SignalGuard();
    ~SignalGuard();
    SignalGuard(const SignalGuard&) = delete;
    SignalGuard& operator=(const SignalGuard&) = delete;

private:
    sigset_t previous_;
};
