#include "platform/Log.h"

#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

std::mutex& logMutex() {
    static std::mutex mutex;
    return mutex;
}

Log::Sink& currentSink() {
    static Log::Sink sink;
    return sink;
}

}  // namespace

void Log::write(const std::string& message) {
    std::lock_guard lock(logMutex());
    if (currentSink()) {
        currentSink()(message);
        return;
    }
    std::string line = formatLine(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    ::syslog(LOG_NOTICE, "%s", message.c_str());
}

Log::Sink Log::setSink(Sink sink) {
    std::lock_guard lock(logMutex());
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

std::string Log::formatLine(const std::string& message) {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    char head[160];
    std::snprintf(head, sizeof head, "%s.%03d %s[%d:%lx] ", stamp, static_cast<int>(millis.count()),
                  program_invocation_short_name, static_cast<int>(::getpid()),
                  static_cast<long>(::syscall(SYS_gettid)));
    return head + message;
}
