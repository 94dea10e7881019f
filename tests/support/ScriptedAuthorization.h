#pragma once

#include <string>
#include <vector>

#include "privileged/AuthorizationBackend.h"

// A stand-in for the system's authorization services that answers as a user
// would, as the test scripts it, and records every call.
class ScriptedAuthorization : public AuthorizationBackend {
public:
    // NoAgent: no authentication agent is there to show the dialog.
    enum class Answer { Grant, Cancel, Deny, NoAgent };

    struct Call {
        std::string operation;  // "create", "copyRights", "free", "execute"
        AuthorizationFlags flags = 0;
        std::vector<std::string> values;  // right values, or tool and arguments
        bool argumentsNull = false;       // execute: the argument vector was NULL
    };

    // How the user answers each dialog; the last answer repeats.
    std::vector<Answer> answers = {Answer::Grant};
    // Whether starting a tool fails.
    bool failToStart = false;

    std::vector<Call> calls;
    int dialogs = 0;

    OSStatus create(const AuthorizationRights* rights, const void* environment,
                    AuthorizationFlags flags, AuthorizationRef* authorization) override;
    OSStatus copyRights(AuthorizationRef authorization, const AuthorizationRights* rights,
                        const void* environment, AuthorizationFlags flags,
                        AuthorizationRights** granted) override;
    OSStatus free(AuthorizationRef authorization, AuthorizationFlags flags) override;
    OSStatus executeWithPrivileges(AuthorizationRef authorization, const char* pathToTool,
                                   AuthorizationFlags options, char* const* arguments,
                                   std::FILE** communicationsPipe) override;

protected:
    OSStatus obtain(const std::vector<std::string>& paths, bool interaction) override;
    OSStatus start(const std::string& tool, const std::vector<std::string>& arguments) override;
};
