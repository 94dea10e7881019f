#pragma once

#include <optional>
#include <string>

#include "privileged/SXAuthentication.h"

// How a run of the apply tool ended, in the words the editor's alerts and
// velvanto-theme's error lines share: the rights part is
// SXAuthentication::whyNotRun's, the tool's own failure its exit status.
// Stateless; any thread.
class ApplyToolOutcome {
public:
    // Why the run did not put the theme on the Dock, as a clause (lower case,
    // no period) for "<what>: <why>"; nothing when the tool ran and succeeded.
    static std::optional<std::string> whyFailed(OSStatus status, int exitStatus);
    // A clause as a sentence of its own: capitalised, ending in a period.
    static std::string sentence(std::string clause);
};
