#include "app/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

// One request a connection: the path in UTF-8, percent-encoded so that any
// name stays one line, and a line end; the answer is "ok\n".
constexpr char kAnswer[] = "ok\n";

}  // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::readRequest);
}

QString SingleInstance::defaultSocketPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return (folder.isEmpty() ? QDir::tempPath() : folder) + QStringLiteral("/velvanto-editor");
}

bool SingleInstance::handOver(const QString& path, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    QString absolute = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    socket.write(absolute.toUtf8().toPercentEncoding("/") + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    while (!socket.canReadLine() && socket.waitForReadyRead(timeoutMs)) {
    }
    return socket.readLine() == kAnswer;
}

bool SingleInstance::listen() {
    if (!lock_.valid()) {
        QByteArray name = QFile::encodeName(socketPath_ + QStringLiteral(".lock"));
        Descriptor lock(::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!lock.valid() || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
            return false;
        }
        lock_ = std::move(lock);
    }
    if (server_.listen(socketPath_)) {
        return true;
    }
    // The lock is ours, so no editor listens there: a crashed editor's socket.
    QLocalServer::removeServer(socketPath_);
    return server_.listen(socketPath_);
}

SingleInstance::Role SingleInstance::start(const QString& path, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    do {
        if (handOver(path, 500)) {
            return Role::HandedOver;
        }
        if (listen()) {
            return Role::Running;
        }
        // Another editor holds the lock: it is starting, or busy; ask again soon.
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return Role::NoAnswer;
}

void SingleInstance::readRequest() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto answer = [this, socket] {
            if (!socket->canReadLine()) {
                return;
            }
            QString path =
                QString::fromUtf8(QByteArray::fromPercentEncoding(socket->readLine().chopped(1)));
            socket->write(kAnswer);
            socket->flush();
            socket->disconnectFromServer();
            emit activationRequested(path);
        };
        connect(socket, &QLocalSocket::readyRead, this, answer);
        answer();
    }
}
