#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// One bounded GET: a feed into memory or an archive into a file of a folder
// given. The address comes from a stranger's feed and each redirect from a
// stranger's server, so every hop meets the same rules (refusal()): http or
// https only, never from https down to http, http only when the caller allows
// it, no user name or password, at most kMaxRedirects redirects (followed
// here, one by one, not by Qt). The body is refused as soon as it passes
// maxBytes or, with an announced length, that length; a shorter body is
// refused at its end. A timeout ends it: connectTimeoutMs until the
// response's first byte (headers), then idleTimeoutMs without a byte.
//
// The file: ".velvanto-download-XXXXXX" in folder, made with mkostemp (O_EXCL,
// mode 0600), written as the bytes come; removed on every failure and on
// cancel(); after success the caller owns it (takeFile()) and removes it
// (the updater downloads into an ArchiveImport's hidden folder, which goes
// with it, and which its sweep removes after a kill).
//
// Lives on one thread with an event loop (the editor's UI thread: the
// manager never blocks it); every call and signal is on that thread. The
// manager is the caller's and outlives the transfer. One start() per object.
class UpdateTransfer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRedirects = 5;
    static constexpr const char* kFilePrefix = ".velvanto-download-";

    // Why a transfer failed, for the caller's message.
    enum class Failure {
        None,
        Refused,   // the address or a redirect broke a rule
        Network,   // no connection, an error status, a timeout
        TooLarge,  // over maxBytes or over the announced length
        TooShort,  // ended before the announced length
        Disk,      // the file could not be made or written
        Cancelled,
    };

    struct Options {
        bool allowHttp = false;
        qint64 maxBytes = 1 << 20;
        qint64 expectedLength = -1;
        // Empty: the body to memory; else the folder the file is made in.
        QString folder;
        int connectTimeoutMs = 10000;
        int idleTimeoutMs = 30000;
    };

    UpdateTransfer(QNetworkAccessManager* manager, QObject* parent = nullptr);
    ~UpdateTransfer() override;

    // Starts the GET; finished() always follows, from the event loop.
    void start(const QUrl& url, const Options& options);
    // Ends it as a failure (Failure::Cancelled), the file removed; finished()
    // follows at once. Nothing once finished.
    void cancel();

    Failure failure() const { return failure_; }
    // The body, when it went to memory.
    const QByteArray& body() const { return body_; }
    // The file's path after success, handed over: it is no longer removed here.
    QString takeFile();
    // The address finally answered (after redirects).
    const QUrl& finalUrl() const { return url_; }

    // Why a request of to, reached from from (empty for the first), breaks a
    // rule above; empty when it may go.
    static QString refusal(const QUrl& from, const QUrl& to, bool allowHttp);

signals:
    // Bytes received so far of total (-1 when unknown).
    void progress(qint64 received, qint64 total);
    // Once per start(); why is a clause (lower case, no period) on failure.
    void finished(bool ok, const QString& why);

private:
    void request(const QUrl& url);
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void onTimeout();
    // Ends with failure (removing the file) or success; emits finished().
    void end(Failure failure, const QString& why);
    bool openFile();
    void removeFile();

    QNetworkAccessManager* manager_;
    QPointer<QNetworkReply> reply_;
    QTimer timer_;
    Options options_;
    QUrl url_;
    int redirects_ = 0;
    bool answered_ = false;
    bool ended_ = false;
    qint64 received_ = 0;
    qint64 total_ = -1;
    QByteArray body_;
    int fd_ = -1;
    QString file_;
    Failure failure_ = Failure::None;
};
