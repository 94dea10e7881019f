#include "privileged/DirectAuthorization.h"

#include "platform/Process.h"

OSStatus DirectAuthorization::obtain(const std::vector<std::string>&, bool) {
    return errAuthorizationSuccess;
}

OSStatus DirectAuthorization::start(const std::string& tool,
                                    const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{tool};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return Process::startDetached(argv) > 0 ? errAuthorizationSuccess
                                            : errAuthorizationToolExecuteFailure;
}
