#include "tool/ApplyTool.h"

#include <sys/stat.h>
#include <unistd.h>

#include "model/MiscKit.h"
#include "model/OriginalDockManifest.h"
#include "platform/Log.h"
#include "platform/SystemPaths.h"
#include "tool/DockFolder.h"
#include "tool/InstallTransaction.h"
#include "tool/OriginalImages.h"
#include "tool/SignalGuard.h"
#include "tool/ThemeSource.h"
#include "tool/UserRights.h"

namespace {

int cannotApply(const std::string& bundle) {
    Log::write("Cannot apply theme " + Log::escaped(bundle));
    return -1;
}

std::optional<DockFolder> openDockFolder(const std::string& root) {
    std::optional<DockFolder> folder = DockFolder::open(root);
    if (!folder) {
        Log::write("Cannot open the Dock folder " +
                   Log::escaped(SystemPaths::dockResourcesFolder(root)));
    }
    return folder;
}

// Writes the steps into the Dock folder, all or nothing, after keeping the
// Dock's own image of every name that no earlier run changed.
bool install(const std::vector<InstallStep>& steps) {
    const std::string root = SystemPaths::systemRoot();
    std::optional<DockFolder> folder = openDockFolder(root);
    if (!folder) {
        return false;
    }
    // Waiting for another run can still be interrupted: nothing has changed yet.
    folder->lock();
    SignalGuard holdSignals;
    folder->removeLeftovers();
    InstallTransaction transaction(*folder, steps);
    if (!transaction.stage()) {
        return false;
    }
    std::optional<OriginalImages> originals = OriginalImages::open(root, true);
    if (!originals) {
        Log::write(
            "Cannot make the folder for the Dock's original images; the Dock was left as "
            "it was");
        return false;
    }
    if (!originals->keep(*folder, transaction.staged())) {
        return false;
    }
    const bool committed = transaction.commit();
    originals->settle(committed);
    return committed;
}

// Puts back the Dock's own images as they were kept, and removes the images
// themes added, all or nothing.
int restoreOriginal() {
    const std::string root = SystemPaths::systemRoot();
    std::optional<DockFolder> folder = openDockFolder(root);
    if (!folder) {
        return -1;
    }
    folder->lock();
    SignalGuard holdSignals;
    folder->removeLeftovers();
    std::optional<OriginalImages> originals = OriginalImages::open(root, false);
    if (!originals) {
        Log::write("No original Dock images are kept yet");
        return -1;
    }
    std::optional<OriginalImages::Restore> restore = originals->forRestore(*folder);
    if (!restore) {
        return -1;
    }
    InstallTransaction transaction(*folder, restore->images, restore->created);
    if (!transaction.stage() || !transaction.commit()) {
        return -1;
    }
    Log::write(restore->whole ? "The Dock's original images are back"
                              : "The Dock's original images are back, but not every theme's file "
                                "is gone");
    Log::write("Killing dock...");
    MiscKit::killdock();
    return restore->whole ? 1 : -1;
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
    if (arguments[0] == OriginalDockManifest::kRestoreArgument) {
        return restoreOriginal();
    }
    const std::string& bundle = arguments[0];
    std::optional<UserRights> rights = UserRights::fromEnvironment();
    if (!rights || !rights->actAsUser()) {
        return cannotApply(bundle);
    }
    // Root reading with its own rights never follows a link in the bundle's
    // place: another user could have swapped the folder for one.
    const bool followLink = rights->dropsRights() || ::geteuid() != 0;
    ThemeSource::Plan plan = ThemeSource::open(bundle, catalogue_, followLink);
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
