#include "app/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <optional>

namespace {

// One request a connection: the path in UTF-8, percent-encoded so that any
// name stays one line, and a line end; the answer is "ok\n".
constexpr char kAnswer[] = "ok\n";
// A longest path, percent-encoded, fits many times over.
constexpr qsizetype kMaxRequest = 64 * 1024;

std::optional<sockaddr_un> addressOf(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || static_cast<size_t>(name.size()) >= sizeof address.sun_path) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    return address;
}

Descriptor newSocket() {
    return Descriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
}

// Waits until fd is ready for events or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    pollfd entry{fd, events, 0};
    for (;;) {
        const int left = static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
        const int ready = ::poll(&entry, 1, left);
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {}

SingleInstance::~SingleInstance() {
    if (server_.valid()) {
        ::unlink(QFile::encodeName(socketPath_).constData());
    }
}

QString SingleInstance::defaultSocketPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return (folder.isEmpty() ? QDir::tempPath() : folder) + QStringLiteral("/velvanto-editor");
}

bool SingleInstance::handOver(const QString& path, int timeoutMs) const {
    const std::optional<sockaddr_un> address = addressOf(socketPath_);
    Descriptor socket = newSocket();
    if (!address || !socket.valid()) {
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    // A full backlog answers EAGAIN: the running editor is busy, so ask again.
    while (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) !=
           0) {
        if ((errno != EAGAIN && errno != EINTR) || deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(10);
    }
    const QString absolute = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    const QByteArray request = absolute.toUtf8().toPercentEncoding("/") + '\n';
    for (qsizetype sent = 0; sent < request.size();) {
        const ssize_t written = ::send(socket.get(), request.constData() + sent,
                                       static_cast<size_t>(request.size() - sent), MSG_NOSIGNAL);
        if (written > 0) {
            sent += written;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && errno != EAGAIN) {
            return false;
        } else if (!waitFor(socket.get(), POLLOUT, deadline)) {
            return false;
        }
    }
    QByteArray answer;
    while (!answer.endsWith('\n') && answer.size() < 16) {
        char buffer[16];
        const ssize_t got = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (got > 0) {
            answer.append(buffer, got);
        } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            break;
        } else if (errno == EAGAIN && !waitFor(socket.get(), POLLIN, deadline)) {
            break;
        }
    }
    return answer == kAnswer;
}

bool SingleInstance::listen() {
    if (server_.valid()) {
        return true;
    }
    if (!lock_.valid()) {
        QByteArray name = QFile::encodeName(socketPath_ + QStringLiteral(".lock"));
        Descriptor lock(::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!lock.valid() || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
            return false;
        }
        lock_ = std::move(lock);
    }
    const std::optional<sockaddr_un> address = addressOf(socketPath_);
    Descriptor server = newSocket();
    // The socket's mode is given before it has a name, so nobody else ever may connect.
    if (!address || !server.valid() || ::fchmod(server.get(), 0600) != 0) {
        return false;
    }
    auto bind = [&] {
        return ::bind(server.get(), reinterpret_cast<const sockaddr*>(&*address),
                      sizeof *address) == 0;
    };
    if (!bind()) {
        // The lock is ours, so no editor listens there: a crashed editor's socket.
        if (errno != EADDRINUSE || ::unlink(address->sun_path) != 0 || !bind()) {
            return false;
        }
    }
    if (::listen(server.get(), 16) != 0) {
        ::unlink(address->sun_path);
        return false;
    }
    server_ = std::move(server);
    serverNotifier_ = new QSocketNotifier(server_.get(), QSocketNotifier::Read, this);
    connect(serverNotifier_, &QSocketNotifier::activated, this, &SingleInstance::acceptClients);
    return true;
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

void SingleInstance::acceptClients() {
    for (;;) {
        Descriptor client(::accept4(server_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!client.valid()) {
            return;  // none waits any more (EAGAIN), or one gave up meanwhile
        }
        const int fd = client.get();
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        clients_.emplace(fd, Client{std::move(client), notifier, {}});
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { readClient(fd); });
        readClient(fd);
    }
}

void SingleInstance::readClient(int fd) {
    auto found = clients_.find(fd);
    if (found == clients_.end()) {
        return;
    }
    Client& client = found->second;
    char buffer[4096];
    ssize_t got;
    while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
        client.received.append(buffer, got);
        if (client.received.size() > kMaxRequest) {
            dropClient(fd);
            return;
        }
    }
    const qsizetype end = client.received.indexOf('\n');
    if (end < 0) {
        if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            dropClient(fd);  // gone before a whole request
        }
        return;
    }
    const QString path =
        QString::fromUtf8(QByteArray::fromPercentEncoding(client.received.left(end)));
    // The answer is tiny and the socket empty: it never blocks. A client that
    // went meanwhile is no signal either: MSG_NOSIGNAL.
    ::send(fd, kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    dropClient(fd);
    emit activationRequested(path);
}

void SingleInstance::dropClient(int fd) {
    auto found = clients_.find(fd);
    if (found == clients_.end()) {
        return;
    }
    // The notifier may be the sender now: it goes once control is back.
    found->second.notifier->setEnabled(false);
    found->second.notifier->deleteLater();
    clients_.erase(found);
}
