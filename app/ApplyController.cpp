#include "app/ApplyController.h"

#include <QtConcurrent/QtConcurrentRun>

#include "model/OriginalDockManifest.h"
#include "platform/SystemPaths.h"
#include "privileged/SXAuthentication.h"

ApplyController::ApplyController(QObject* parent) : QObject(parent) {
    worker_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcher<Outcome>::finished, this, [this] {
        Outcome outcome = watcher_.result();
        running_ = false;
        emit ended(run_, themeName_, outcome.status, outcome.exitStatus);
    });
}

ApplyController::~ApplyController() {
    watcher_.waitForFinished();
}

QString ApplyController::toolPath() {
    return QString::fromStdString(SystemPaths::applyToolPath().string());
}

bool ApplyController::start(const QString& bundle, const QString& themeName, Run run) {
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
    watcher_.setFuture(QtConcurrent::run(&worker_, [tool, arguments] {
        SXAuthentication::ToolRun run =
            SXAuthentication::sharedInstance().runCommand(tool, arguments);
        return Outcome{run.status, run.exitStatus};
    }));
    emit started();
    return true;
}

bool ApplyController::startRestoringOriginals() {
    return start(QString(), QStringLiteral("its original images"), Run::RestoreOriginal);
}

void ApplyController::waitForEnd() {
    watcher_.waitForFinished();
}
