#include "UpdateServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "model/ThemeArchive.h"
#include "support/TestEnvironment.h"
#include "update/Appcast.h"

namespace fs = std::filesystem;

UpdateServer::UpdateServer() {
    EXPECT_TRUE(listen(QHostAddress::LocalHost, 0));
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        }
    });
}

QByteArray UpdateServer::url(const QByteArray& path) const {
    return "http://127.0.0.1:" + QByteArray::number(serverPort()) + path;
}

QByteArray UpdateServer::feed(const QByteArray& items) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\" xmlns:sparkle=\"" +
           QByteArray(Appcast::kNamespace) + "\"><channel><title>T</title>" + items +
           "</channel></rss>";
}

QByteArray UpdateServer::item(const QByteArray& version, const QByteArray& url, qint64 length,
                              const std::string& signature) {
    return "<item><title>Theme " + version + "</title><sparkle:version>" + version +
           "</sparkle:version><description><![CDATA[<p>New <b>dots</b></p>]]></description>"
           "<enclosure url=\"" +
           url + "\" length=\"" + QByteArray::number(length) +
           "\" type=\"application/zip\" sparkle:edSignature=\"" +
           QByteArray::fromStdString(signature) + "\"/></item>";
}

void UpdateServer::makeTheme(const fs::path& path, const std::string& version,
                             const std::string& key, const std::string& feed) {
    fs::create_directories(path.parent_path());
    fs::copy(TestEnvironment::stockTheme(), path, fs::copy_options::recursive);
    auto theme = DockTheme::initWithBundleAtPath(path.string());
    ASSERT_TRUE(theme);
    DockTheme::Information information = theme->information();
    information.version = version;
    information.appcast = feed;
    ASSERT_TRUE(theme->saveInformation(information, nullptr));
    ASSERT_TRUE(key.empty() || theme->storePublicKey(key));
}

QByteArray UpdateServer::archiveOf(const fs::path& folder, const std::string& version,
                                   const std::string& key, const std::string& feed) {
    fs::remove_all(folder);
    makeTheme(folder / "Mine.docktheme", version, key, feed);
    std::string why;
    EXPECT_TRUE(ThemeArchive::write((folder / "Mine.docktheme").string(),
                                    (folder / "a.zip").string(),
                                    MiscKit(TestEnvironment::appResources() / "DatabaseInfo.plist"),
                                    {}, FileManager::Existing::Kept, &why))
        << why;
    return QByteArray::fromStdString(TestEnvironment::readFile(folder / "a.zip"));
}

void UpdateServer::serve(QTcpSocket* socket) {
    const QByteArray request = socket->peek(8192);
    if (!request.contains("\r\n\r\n") || socket->property("served").toBool()) {
        return;
    }
    socket->setProperty("served", true);
    const Answer answer = answers[request.split(' ').value(1)];
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " Scripted\r\n" +
                      answer.headers + "Connection: close\r\n";
    if (!answer.endless) {
        head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    }
    socket->write(head + "\r\n");
    if (answer.dripMs > 0 || answer.endless) {
        auto* timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket, answer] {
            socket->write(answer.endless ? QByteArray(64 * 1024, 'x') : QByteArray("<"));
        });
        connect(socket, &QTcpSocket::disconnected, timer, &QTimer::stop);
        timer->start(answer.dripMs);
        return;
    }
    socket->write(answer.body);
    socket->disconnectFromHost();
}
