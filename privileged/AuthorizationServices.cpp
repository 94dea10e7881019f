#include "privileged/AuthorizationServices.h"

#include <unistd.h>

#include "platform/SystemPaths.h"
#include "privileged/DirectAuthorization.h"
#include "privileged/PolkitAuthorization.h"

namespace {

std::unique_ptr<AuthorizationServices>& backend() {
    static std::unique_ptr<AuthorizationServices> chosen;
    return chosen;
}

std::unique_ptr<AuthorizationServices> chooseBackend() {
    bool direct =
        ::geteuid() == 0 || ::access(SystemPaths::dockResourcesFolder().c_str(), W_OK) == 0;
    if (direct) {
        return std::make_unique<DirectAuthorization>();
    }
    return std::make_unique<PolkitAuthorization>(SystemPaths::applyToolPath().string());
}

}  // namespace

AuthorizationServices& AuthorizationServices::shared() {
    if (!backend()) {
        backend() = chooseBackend();
    }
    return *backend();
}

void AuthorizationServices::install(std::unique_ptr<AuthorizationServices> replacement) {
    backend() = std::move(replacement);
}
