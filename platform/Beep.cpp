#include "platform/Beep.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex& hookMutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<void()>& currentHook() {
    static std::function<void()> hook;
    return hook;
}

}  // namespace

void Beep::beep() {
    std::function<void()> hook;
    {
        std::lock_guard lock(hookMutex());
        hook = currentHook();
    }
    if (hook) {
        hook();
    } else {
        std::fputc('\a', stderr);
        std::fflush(stderr);
    }
}

std::function<void()> Beep::setHook(std::function<void()> hook) {
    std::lock_guard lock(hookMutex());
    std::function<void()> previous = std::move(currentHook());
    currentHook() = std::move(hook);
    return previous;
}
