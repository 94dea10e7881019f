#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

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
    if (server_.listen(socketPath_)) {
        return true;
    }
    // Nobody answered there (handOver was tried first): a crashed editor's socket.
    QLocalServer::removeServer(socketPath_);
    return server_.listen(socketPath_);
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
