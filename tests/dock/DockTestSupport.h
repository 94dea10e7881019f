#pragma once

#include <sys/types.h>

#include <QColor>
#include <QSize>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Helpers of the stand-in Dock's tests.
namespace DockTestSupport {

// Writes a PNG of one colour.
void writePng(const std::filesystem::path& path, QSize size, QColor colour);
// The SHA-256 of a file as sha256sum prints it.
std::string sha256sum(const std::filesystem::path& path);
// Polls condition until it holds; false when it still doesn't after a generous bound.
bool eventually(const std::function<bool()>& condition);
// True while pid names a process (a zombie counts until it is reaped).
bool alive(pid_t pid);

// A process the test started, ended by its pid with SIGTERM (and reaped)
// when the test ends, unless the test did so itself.
class Started {
public:
    explicit Started(const std::vector<std::string>& argv);
    ~Started();
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    pid_t pid() const { return pid_; }
    // Sends SIGTERM and reaps; the exit code, or -1 when it was ended by a signal.
    int stop();

private:
    pid_t pid_;
};

}  // namespace DockTestSupport
