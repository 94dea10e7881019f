// Helpers of the stand-in Dock's tests.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <QColor>
#include <QImage>
#include <QSize>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace fs = std::filesystem;

// Writes a PNG of one colour.
inline void writePng(const fs::path& path, QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    image.save(QString::fromStdString(path.string()), "PNG");
}

// The SHA-256 of a file as sha256sum prints it.
inline std::string sha256sum(const fs::path& path) {
    auto result = Process::run({"/usr/bin/sha256sum", path.string()}, Process::Capture::Output);
    return result ? result->output.substr(0, 64) : std::string();
}

// True while pid names a process (a zombie counts until it is reaped).
inline bool alive(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) == 0;
}

// A started process, ended by its pid with SIGTERM and reaped at the latest with the test.
class Started {
public:
    explicit Started(const std::vector<std::string>& argv) : pid_(Process::start(argv)) {}
    ~Started() { stop(); }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    pid_t pid() const { return pid_; }
    // Sends SIGTERM and reaps; the exit code, or -1 when it was ended by a signal.
    int stop() {
        if (pid_ <= 0)
            return -1;
        ::kill(pid_, SIGTERM);
        auto ending = Process::wait(pid_);
        pid_ = -1;
        return ending && !ending->signalled ? ending->code : -1;
    }

private:
    pid_t pid_;
};
