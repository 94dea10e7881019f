#include "platform/Log.h"

#include <sys/stat.h>
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

// Whether the system log's socket is there. Without it the C library tries to
// connect again for every message; a missing socket is looked at again only
// after a while. Called under the log's mutex.
bool systemLogReachable() {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point nextCheck;
    static bool reachable = false;
    Clock::time_point now = Clock::now();
    if (!reachable && now >= nextCheck) {
        struct stat info {};
        reachable = ::stat(_PATH_LOG, &info) == 0 && S_ISSOCK(info.st_mode);
        nextCheck = now + std::chrono::seconds(5);
    }
    return reachable;
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
    if (systemLogReachable()) {
        ::syslog(LOG_NOTICE, "%s", message.c_str());
    }
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

std::string Log::escaped(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            result += "\\\\";
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\t') {
            result += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            result += hex;
        } else {
            result += c;
        }
    }
    return result;
}
