#include "tool/ApplyTool.h"

#include <sys/stat.h>

#include "model/MiscKit.h"
#include "platform/Log.h"
#include "platform/SystemPaths.h"
#include "tool/DockFolder.h"
#include "tool/InstallTransaction.h"
#include "tool/SignalGuard.h"
#include "tool/ThemeSource.h"
#include "tool/UserRights.h"

namespace {

int cannotApply(const std::string& bundle) {
    Log::write("Cannot apply theme " + Log::escaped(bundle));
    return -1;
}

// Writes the steps into the Dock folder, all or nothing.
bool install(const std::vector<InstallStep>& steps) {
    std::string root = SystemPaths::systemRoot();
    std::optional<DockFolder> folder = DockFolder::open(root);
    if (!folder) {
        Log::write("Cannot open the Dock folder " +
                   Log::escaped(SystemPaths::dockResourcesFolder(root)));
        return false;
    }
    // Waiting for another run can still be interrupted: nothing has changed yet.
    folder->lock();
    SignalGuard holdSignals;
    folder->removeLeftovers();
    InstallTransaction transaction(*folder, steps);
    return transaction.stage() && transaction.commit();
}

}  // namespace

ApplyTool::ApplyTool(const MiscKit& catalogue) : catalogue_(catalogue) {}

int ApplyTool::run(const std::vector<std::string>& arguments) const {
    SignalGuard::ignoreWriteSignals();
    // New Dock images are readable by everyone, whatever mask the caller had.
    ::umask(022);
    Log::write("Hello, World!");
    if (arguments.empty() || arguments[0].empty()) {
        return cannotApply(arguments.empty() ? std::string("(null)") : arguments[0]);
    }
    const std::string& bundle = arguments[0];
    std::optional<UserRights> rights = UserRights::fromEnvironment();
    if (!rights || !rights->actAsUser()) {
        return cannotApply(bundle);
    }
    ThemeSource::Plan plan = ThemeSource::open(bundle, catalogue_);
    if (!rights->actAsStarted()) {
        return cannotApply(bundle);
    }
    switch (plan.outcome) {
        case ThemeSource::Outcome::Ready:
            break;
        case ThemeSource::Outcome::UnusableImage:
            return -1;
        case ThemeSource::Outcome::NoBundle:
        case ThemeSource::Outcome::Defective:
            return cannotApply(bundle);
    }
    if (!plan.steps.empty() && !install(plan.steps)) {
        return -1;
    }
    Log::write("Killing dock...");
    MiscKit::killdock();
    return 1;
}
