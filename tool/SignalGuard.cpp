#include "tool/SignalGuard.h"

#include <pthread.h>

void SignalGuard::ignoreWriteSignals() {
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
}

SignalGuard::SignalGuard() {
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, SIGINT);
    sigaddset(&held, SIGTERM);
    sigaddset(&held, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalGuard::~SignalGuard() {
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}
