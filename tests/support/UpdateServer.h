#pragma once

#include <QByteArray>
#include <QTcpServer>

#include <filesystem>
#include <map>
#include <string>

// An HTTP/1.1 server of the update tests on 127.0.0.1 (a free port), one
// answer per connection as a test scripts it per path; and the feeds, items
// and themes the tests serve. Lives on the test's thread, answering from its
// event loop.
class UpdateServer : public QTcpServer {
public:
    // What the server answers for a path.
    struct Answer {
        Answer(int status = 200, QByteArray body = {}, QByteArray headers = {}, int dripMs = 0,
               bool endless = false)
            : status(status),
              body(std::move(body)),
              headers(std::move(headers)),
              dripMs(dripMs),
              endless(endless) {}
        int status;
        QByteArray body;
        QByteArray headers;  // extra lines, each ending in "\r\n"
        int dripMs;          // a byte each dripMs
        bool endless;        // 64 KiB blocks for ever, no length
    };

    std::map<QByteArray, Answer> answers;

    UpdateServer();
    // "http://127.0.0.1:<port><path>".
    QByteArray url(const QByteArray& path) const;

    // A feed of items (each as item() makes it).
    static QByteArray feed(const QByteArray& items);
    static QByteArray item(const QByteArray& version, const QByteArray& url, qint64 length,
                           const std::string& signature);
    // A copy of the stock theme at path with version, feed and (when not empty) key.
    static void makeTheme(const std::filesystem::path& path, const std::string& version,
                          const std::string& key, const std::string& feed);
    // An archive of such a theme, made in folder; its bytes.
    static QByteArray archiveOf(const std::filesystem::path& folder, const std::string& version,
                                const std::string& key, const std::string& feed);

private:
    void serve(QTcpSocket* socket);
};
