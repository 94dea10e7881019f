#include "privileged/ApplyToolOutcome.h"

#include "platform/SystemPaths.h"

std::optional<std::string> ApplyToolOutcome::whyFailed(OSStatus status, int exitStatus) {
    if (status != errAuthorizationSuccess) {
        return SXAuthentication::whyNotRun(status);
    }
    if (exitStatus != SystemPaths::kApplyToolSucceeded) {
        return "the apply tool failed with exit status " + std::to_string(exitStatus);
    }
    return std::nullopt;
}

std::string ApplyToolOutcome::sentence(std::string clause) {
    // The clauses are ASCII at their start: a byte's upper case is the letter's.
    if (!clause.empty() && clause.front() >= 'a' && clause.front() <= 'z') {
        clause.front() = static_cast<char>(clause.front() - 'a' + 'A');
    }
    return clause + '.';
}
