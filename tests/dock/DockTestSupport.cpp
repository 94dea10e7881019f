#include "dock/DockTestSupport.h"

#include <signal.h>

#include <QImage>

#include <chrono>
#include <thread>

#include "platform/Process.h"

namespace DockTestSupport {

void writePng(const std::filesystem::path& path, QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    image.save(QString::fromStdString(path.string()), "PNG");
}

std::string sha256sum(const std::filesystem::path& path) {
    auto result = Process::run({"/usr/bin/sha256sum", path.string()}, Process::Capture::Output);
    return result ? result->output.substr(0, 64) : std::string();
}

bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 3000; ++i) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool alive(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) == 0;
}

Started::Started(const std::vector<std::string>& argv) : pid_(Process::start(argv)) {}

Started::~Started() {
    stop();
}

int Started::stop() {
    if (pid_ <= 0) {
        return -1;
    }
    ::kill(pid_, SIGTERM);
    auto ending = Process::wait(pid_);
    pid_ = -1;
    return ending && !ending->signalled ? ending->code : -1;
}

}  // namespace DockTestSupport
