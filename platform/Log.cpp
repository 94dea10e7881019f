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
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        auto byte = static_cast<unsigned char>(c);
        // A C1 control in UTF-8 (U+0080 to U+009F): some terminals obey it as ESC's sequences.
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "\\xC2\\x%02X", static_cast<unsigned char>(text[++i]));
            result += hex;
        } else if (c == '\\') {
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
