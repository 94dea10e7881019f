#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What the process and the children it starts write to standard error while
// this object lives goes to an unnamed temporary file instead: file
// descriptor 2 is pointed at the file, and put back when the object goes.
// For a child's log that is shown only on request or after a failure. When
// no temporary file can be made, standard error stays as it was. One thread;
// what else the process writes to standard error meanwhile is captured too.
class CapturedErrors {
public:
    CapturedErrors();
    ~CapturedErrors();
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;

    // The last count lines written so far (of the last 64 KiB).
    std::vector<std::string> lastLines(std::size_t count) const;

private:
    std::FILE* file_ = nullptr;
    int saved_ = -1;
};
