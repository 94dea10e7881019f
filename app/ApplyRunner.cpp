#include "app/ApplyRunner.h"

#include "app/Background.h"
#include "model/OriginalDockManifest.h"
#include "platform/SystemPaths.h"
#include "privileged/SXAuthentication.h"

ApplyRunner::ApplyRunner(QObject* parent) : QObject(parent) {
    worker_.setMaxThreadCount(1);
}

ApplyRunner::~ApplyRunner() {
    future_.waitForFinished();
}

QString ApplyRunner::toolPath() {
    return QString::fromStdString(SystemPaths::applyToolPath().string());
}

bool ApplyRunner::start(const QString& bundle, const QString& themeName, Run run) {
    if (running_) {
        return false;
    }
    running_ = true;
    run_ = run;
    themeName_ = themeName;
    bundle_ = bundle;
    std::string tool = toolPath().toStdString();
    std::vector<std::string> arguments{run == Run::RestoreOriginal
                                           ? OriginalDockManifest::kRestoreArgument
                                           : bundle.toStdString()};
    future_ = Background::run(
        &worker_, this,
        [tool, arguments] {
            SXAuthentication::ToolRun run =
                SXAuthentication::sharedInstance().runCommand(tool, arguments);
            return Outcome{run.status, run.exitStatus};
        },
        [this](const Outcome& outcome) {
            running_ = false;
            emit ended(run_, themeName_, outcome.status, outcome.exitStatus);
        });
    emit started();
    return true;
}

bool ApplyRunner::startRestoringOriginals() {
    return start(QString(), tr("its original images"), Run::RestoreOriginal);
}

void ApplyRunner::waitForEnd() {
    future_.waitForFinished();
}
