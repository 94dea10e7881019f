#include "app/ApplyController.h"

#include <QtConcurrent/QtConcurrentRun>

#include "platform/SystemPaths.h"
#include "privileged/SXAuthentication.h"

ApplyController::ApplyController(QObject* parent) : QObject(parent) {
    worker_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcher<Outcome>::finished, this, [this] {
        Outcome outcome = watcher_.result();
        running_ = false;
        emit ended(restore_, themeName_, outcome.status, outcome.exitStatus);
    });
}

ApplyController::~ApplyController() {
    watcher_.waitForFinished();
}

QString ApplyController::toolPath() {
    return QString::fromStdString((SystemPaths::resourceFolder() / "VelvantoHelper").string());
}

bool ApplyController::start(const QString& bundle, const QString& themeName, bool restore) {
    if (running_) {
        return false;
    }
    running_ = true;
    restore_ = restore;
    themeName_ = themeName;
    bundle_ = bundle;
    std::string tool = toolPath().toStdString();
    std::string path = bundle.toStdString();
    watcher_.setFuture(QtConcurrent::run(&worker_, [tool, path] {
        SXAuthentication::ToolRun run = SXAuthentication::sharedInstance().runCommand(tool, {path});
        return Outcome{run.status, run.exitStatus};
    }));
    emit started();
    return true;
}

void ApplyController::waitForEnd() {
    watcher_.waitForFinished();
}
