#include "update/UpdateTransfer.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileManager.h"

namespace {

// What one read takes of the reply at most, so a bound is met block by block.
constexpr qint64 kBlock = 64 * 1024;

bool isHttp(const QUrl& url) {
    return url.scheme() == u"http" || url.scheme() == u"https";
}

// Why the file could not be made or written, after errno.
QString storeFailure() {
    return QStringLiteral("the download could not be stored (%1)")
        .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

UpdateTransfer::UpdateTransfer(QNetworkAccessManager* manager, QObject* parent)
    : QObject(parent), manager_(manager) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &UpdateTransfer::onTimeout);
}

UpdateTransfer::~UpdateTransfer() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    removeFile();
}

void UpdateTransfer::start(const QUrl& url, const Options& options) {
    options_ = options;
    url_ = url;
    if (const QString why = refusal(QUrl(), url, options_.allowHttp); !why.isEmpty()) {
        // Told from the event loop, as every other end.
        QMetaObject::invokeMethod(
            this, [this, why] { end(Failure::Refused, why); }, Qt::QueuedConnection);
        return;
    }
    if (!options_.folder.isEmpty() && !openFile()) {
        const QString why = storeFailure();
        QMetaObject::invokeMethod(
            this, [this, why] { end(Failure::Disk, why); }, Qt::QueuedConnection);
        return;
    }
    request(url);
}

void UpdateTransfer::cancel() {
    end(Failure::Cancelled, QStringLiteral("cancelled"));
}

QString UpdateTransfer::takeFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    QString file;
    file.swap(file_);
    return file;
}

QString UpdateTransfer::refusal(const QUrl& from, const QUrl& to, bool allowHttp) {
    if (!to.isValid() || !isHttp(to)) {
        return QStringLiteral("the address %1 is not http or https")
            .arg(to.toDisplayString(QUrl::RemoveUserInfo));
    }
    if (!to.userInfo().isEmpty()) {
        return QStringLiteral("the address holds a user name or password");
    }
    if (from.scheme() == u"https" && to.scheme() == u"http") {
        return QStringLiteral("redirected from https down to http");
    }
    if (to.scheme() == u"http" && !allowHttp) {
        return QStringLiteral("the address %1 is not https").arg(to.toDisplayString());
    }
    return {};
}

void UpdateTransfer::request(const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // The bytes as sent: a length is the archive's, not a decompressed one.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Velvanto"));
    answered_ = false;
    reply_ = manager_->get(request);
    reply_->setReadBufferSize(kBlock);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &UpdateTransfer::onMetaData);
    connect(reply_, &QNetworkReply::readyRead, this, &UpdateTransfer::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &UpdateTransfer::onFinished);
    timer_.start(options_.connectTimeoutMs);
}

void UpdateTransfer::onMetaData() {
    if (!reply_ || ended_) {
        return;
    }
    answered_ = true;
    timer_.start(options_.idleTimeoutMs);
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        return;  // a redirect: onFinished follows it
    }
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    const qint64 announced = length.isValid() ? length.toLongLong() : -1;
    total_ = options_.expectedLength >= 0 ? options_.expectedLength : announced;
    if (status == 200 && announced >= 0 &&
        (announced > options_.maxBytes ||
         (options_.expectedLength >= 0 && announced != options_.expectedLength))) {
        end(announced > options_.maxBytes         ? Failure::TooLarge
            : announced > options_.expectedLength ? Failure::TooLarge
                                                  : Failure::TooShort,
            QStringLiteral("the server announces %1 bytes, %2")
                .arg(announced)
                .arg(announced > options_.maxBytes
                         ? QStringLiteral("more than %1").arg(options_.maxBytes)
                         : QStringLiteral("not the %1 of the feed").arg(options_.expectedLength)));
    }
}

void UpdateTransfer::onReadyRead() {
    if (!reply_ || ended_) {
        return;
    }
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        reply_->skip(reply_->bytesAvailable());  // an error page or a redirect's body
        return;
    }
    timer_.start(options_.idleTimeoutMs);
    const qint64 bound = options_.expectedLength >= 0 ? options_.expectedLength : options_.maxBytes;
    while (reply_ && reply_->bytesAvailable() > 0) {
        const QByteArray block = reply_->read(kBlock);
        received_ += block.size();
        if (received_ > bound) {
            end(Failure::TooLarge,
                options_.expectedLength >= 0
                    ? QStringLiteral("the body is longer than the %1 bytes announced")
                          .arg(options_.expectedLength)
                    : QStringLiteral("the body is larger than %1 bytes").arg(options_.maxBytes));
            return;
        }
        if (fd_ < 0) {
            body_ += block;
        } else {
            if (!FileManager::writeAll(fd_, block.constData(), std::size_t(block.size()))) {
                end(Failure::Disk, storeFailure());
                return;
            }
        }
    }
    emit progress(received_, total_);
}

void UpdateTransfer::onFinished() {
    if (!reply_ || ended_) {
        return;
    }
    onReadyRead();
    if (ended_) {
        return;
    }
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400 && status != 304) {
        const QUrl target = reply->url().resolved(
            QUrl(QString::fromUtf8(reply->rawHeader("Location")), QUrl::StrictMode));
        QString why = refusal(reply->url(), target, options_.allowHttp);
        if (why.isEmpty() && ++redirects_ > kMaxRedirects) {
            why = QStringLiteral("more than %1 redirects").arg(kMaxRedirects);
        }
        if (!why.isEmpty()) {
            end(Failure::Refused, why);
            return;
        }
        url_ = target;
        request(target);
        return;
    }
    if (reply->error() != QNetworkReply::NoError && status == 0) {
        end(Failure::Network, reply->errorString());
        return;
    }
    if (status != 200) {
        end(Failure::Network,
            QStringLiteral("the server answered %1 %2")
                .arg(status)
                .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        end(Failure::Network, reply->errorString());
        return;
    }
    if (options_.expectedLength >= 0 && received_ < options_.expectedLength) {
        end(Failure::TooShort, QStringLiteral("the body is %1 bytes, not the %2 announced")
                                   .arg(received_)
                                   .arg(options_.expectedLength));
        return;
    }
    if (fd_ >= 0 && ::fsync(fd_) != 0) {
        end(Failure::Disk, storeFailure());
        return;
    }
    end(Failure::None, {});
}

void UpdateTransfer::onTimeout() {
    end(Failure::Network,
        answered_
            ? QStringLiteral("nothing came for %1 s").arg(options_.idleTimeoutMs / 1000.0)
            : QStringLiteral("no answer within %1 s").arg(options_.connectTimeoutMs / 1000.0));
}

void UpdateTransfer::end(Failure failure, const QString& why) {
    if (ended_) {
        return;
    }
    ended_ = true;
    failure_ = failure;
    timer_.stop();
    if (reply_) {
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    if (failure != Failure::None) {
        removeFile();
        body_.clear();
    }
    emit finished(failure == Failure::None, why);
}

bool UpdateTransfer::openFile() {
    QByteArray path = QFile::encodeName(options_.folder) + '/' + kFilePrefix + "XXXXXX";
    fd_ = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd_ < 0) {
        return false;
    }
    file_ = QFile::decodeName(path);
    return true;
}

void UpdateTransfer::removeFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!file_.isEmpty()) {
        ::unlink(QFile::encodeName(file_).constData());
        file_.clear();
    }
}
