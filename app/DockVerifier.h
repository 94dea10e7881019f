#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

// Confirms after an apply that the stand-in Dock shows the theme: where a
// Dock writes its manifest, it waits (polling the manifest, never blocking)
// for a Dock of another process id whose images match the theme's by Dock
// file name and SHA-256, and reports "The Dock shows <name>", or that the
// Dock did not restart within the time allowed. Where no Dock wrote a
// manifest (a real Mac Dock), it reports nothing. Made and used on the UI
// thread; verify() hashes the theme's images on a worker of the global pool
// (Background), and the watch starts on the UI thread once they are hashed.
class DockVerifier : public QObject {
    Q_OBJECT

public:
    explicit DockVerifier(QObject* parent = nullptr);

    // Notes which Dock runs now; call before the Dock is restarted. Hashes
    // still under way for an earlier verify() are dropped.
    void arm();
    // Starts watching for a Dock that shows bundle's images, once they are
    // hashed off the UI thread; reports through result(). A later arm(),
    // verify() or verifyImages() drops hashes still under way.
    void verify(const QString& bundle, const QString& themeName, int timeoutMs = 5000);
    // The same for images given by Dock file name and SHA-256 (hex); shownAs
    // completes "The Dock shows …".
    void verifyImages(const QMap<QString, QString>& expected, const QString& shownAs,
                      int timeoutMs = 5000);
    // The SHA-256 (hex) of each of bundle's images, by Dock file name. Any thread may call.
    static QMap<QString, QString> expectedImages(const QString& bundle);

signals:
    // ok: the Dock shows the theme; message: what to tell the user.
    void result(bool ok, const QString& message);

private:
    // Starts the polls for expected.
    void watch(const QMap<QString, QString>& expected, const QString& shownAs, int timeoutMs);
    void poll();

    qint64 previousPid_ = 0;
    bool dockRan_ = false;
    QMap<QString, QString> expected_;
    QString themeName_;
    QTimer timer_;
    int remainingPolls_ = 0;
    quint64 generation_ = 0;  // bumped by every arm and verify: older hashes are stale
};
