#pragma once

#include "privileged/AuthorizationBackend.h"

// Rights without a dialog, for a process that runs as root or can write the
// Dock resources folder itself (a stand-in root owned by the user). The tool
// is started as a plain child process, not waited for.
class DirectAuthorization : public AuthorizationBackend {
protected:
    OSStatus obtain(const std::vector<std::string>& paths, bool interaction) override;
    OSStatus start(const std::string& tool, const std::vector<std::string>& arguments) override;
};
