#include "support/ScriptedAuthorization.h"

OSStatus ScriptedAuthorization::create(const AuthorizationRights* rights, const void* environment,
                                       AuthorizationFlags flags, AuthorizationRef* authorization) {
    calls.push_back(Call{"create", flags, {}, false});
    return AuthorizationBackend::create(rights, environment, flags, authorization);
}

OSStatus ScriptedAuthorization::copyRights(AuthorizationRef authorization,
                                           const AuthorizationRights* rights,
                                           const void* environment, AuthorizationFlags flags,
                                           AuthorizationRights** granted) {
    Call call{"copyRights", flags, {}, false};
    for (std::uint32_t i = 0; rights && i < rights->count; ++i) {
        call.values.emplace_back(static_cast<const char*>(rights->items[i].value),
                                 rights->items[i].valueLength);
    }
    calls.push_back(call);
    return AuthorizationBackend::copyRights(authorization, rights, environment, flags, granted);
}

OSStatus ScriptedAuthorization::free(AuthorizationRef authorization, AuthorizationFlags flags) {
    calls.push_back(Call{"free", flags, {}, false});
    return AuthorizationBackend::free(authorization, flags);
}

OSStatus ScriptedAuthorization::executeWithPrivileges(AuthorizationRef authorization,
                                                      const char* pathToTool,
                                                      AuthorizationFlags options,
                                                      char* const* arguments,
                                                      std::FILE** communicationsPipe) {
    Call call{"execute", options, {pathToTool ? pathToTool : ""}, arguments == nullptr};
    for (char* const* arg = arguments; arg && *arg; ++arg) {
        call.values.emplace_back(*arg);
    }
    calls.push_back(call);
    return AuthorizationBackend::executeWithPrivileges(authorization, pathToTool, options,
                                                       arguments, communicationsPipe);
}

OSStatus ScriptedAuthorization::obtain(const std::vector<std::string>&, bool interaction) {
    if (!interaction) {
        return errAuthorizationInteractionNotAllowed;
    }
    Answer answer = answers.empty() ? Answer::Grant
                                    : answers[std::min<std::size_t>(dialogs, answers.size() - 1)];
    ++dialogs;
    switch (answer) {
        case Answer::Grant:
            return errAuthorizationSuccess;
        case Answer::Cancel:
            return errAuthorizationCanceled;
        case Answer::Deny:
            return errAuthorizationDenied;
        case Answer::NoAgent:
            break;
    }
    return errAuthorizationInteractionNotAllowed;
}

OSStatus ScriptedAuthorization::start(const std::string&, const std::vector<std::string>&) {
    return failToStart ? errAuthorizationToolExecuteFailure : errAuthorizationSuccess;
}
