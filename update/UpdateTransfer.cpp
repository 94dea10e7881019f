#include "update/UpdateTransfer.h"

#include <QNetworkReply>

UpdateTransfer::UpdateTransfer(QNetworkAccessManager* manager, QObject* parent)
    : QObject(parent), manager_(manager) {}

UpdateTransfer::~UpdateTransfer() = default;

void UpdateTransfer::start(const QUrl& url, const Options& options) {
    url_ = url;
    options_ = options;
}

void UpdateTransfer::cancel() {}

QString UpdateTransfer::takeFile() {
    return {};
}

QString UpdateTransfer::refusal(const QUrl&, const QUrl&, bool) {
    return {};
}
void UpdateTransfer::request(const QUrl&) {}
void UpdateTransfer::onMetaData() {}
void UpdateTransfer::onReadyRead() {}
void UpdateTransfer::onFinished() {}
void UpdateTransfer::onTimeout() {}
void UpdateTransfer::end(Failure, const QString&) {}
bool UpdateTransfer::openFile() {
    return false;
}
void UpdateTransfer::removeFile() {}
