#include "cli/CapturedErrors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace {

// The most of the file read back for its last lines.
constexpr off_t kTailBytes = 64 * 1024;

}  // namespace

CapturedErrors::CapturedErrors() {
    std::cerr.flush();
    std::fflush(stderr);
    file_ = std::tmpfile();
    saved_ = file_ ? ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0) : -1;
    if (saved_ < 0 || ::dup2(::fileno(file_), STDERR_FILENO) < 0) {
        if (saved_ >= 0) {
            ::close(saved_);
            saved_ = -1;
        }
    }
}

CapturedErrors::~CapturedErrors() {
    std::cerr.flush();
    std::fflush(stderr);
    if (saved_ >= 0) {
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    if (file_) {
        std::fclose(file_);
    }
}

std::vector<std::string> CapturedErrors::lastLines(std::size_t count) const {
    if (saved_ < 0) {
        return {};
    }
    std::fflush(stderr);
    const int fd = ::fileno(file_);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return {};
    }
    const off_t start = std::max<off_t>(0, info.st_size - kTailBytes);
    std::string text(std::size_t(info.st_size - start), '\0');
    const ssize_t got = ::pread(fd, text.data(), text.size(), start);
    text.resize(got > 0 ? std::size_t(got) : 0);
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    lines.erase(lines.begin(), lines.end() - std::ptrdiff_t(std::min(count, lines.size())));
    return lines;
}
