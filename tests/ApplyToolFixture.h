#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/TestEnvironment.h"

// Runs VelvantoHelper as a separate process, as a caller would, and reads its log back.
class ApplyToolTest : public TestEnvironment {
protected:
    // How the tool is started besides its arguments.
    struct Launch {
        std::vector<std::pair<std::string, std::string>> environment;  // set in the child only
        bool closedStandardError = false;  // standard error is a pipe nobody reads
        long fileSizeLimit = -1;           // RLIMIT_FSIZE in bytes, -1 for none
    };

    ProgramRun apply(const std::vector<std::string>& arguments) {
        return apply(arguments, Launch{});
    }
    // Exit code, or 128 + the signal that ended it.
    ProgramRun apply(const std::vector<std::string>& arguments, const Launch& launch);

    // Starts the tool and returns at once; finish() waits for it.
    pid_t start(const std::vector<std::string>& arguments, const Launch& launch, int& errors);
    ProgramRun finish(pid_t pid, int errors);

    std::string dockFile(const std::string& name) { return (dockResources() / name).string(); }
    // Everything under temp() but the Dock restarts' log.
    std::map<std::string, std::string> snapshotBesideKillall() const {
        auto files = snapshot(temp());
        files.erase("killall.log");
        return files;
    }
    // Where the tool keeps the Dock's own images.
    std::filesystem::path originals() const;

    // The messages of a run without the log's line heads, those of two lines joined again.
    static std::vector<std::string> messages(const std::string& standardError);

    std::vector<std::string> lines_;
};
