#pragma once

#include <QObject>
#include <QString>

#include <map>

#include "platform/Descriptor.h"

class QSocketNotifier;

// One editor per user. The first editor listens on a local socket in the
// user's runtime folder; an editor started later hands its positional argument
// (a theme to open, made absolute, or nothing) to it and ends, and the running
// editor is activated again: it shows its main window and opens the theme.
// So a file manager's "Open with" on a second theme reaches the window the
// user already has. The socket is the user's alone (mode 0600).
//
// Exactly one editor wins when several start at once: the listening editor
// holds a lock on "<socket>.lock" for as long as it lives, and only the holder
// of that lock may remove a socket left by an editor that crashed; an editor
// that finds the lock held waits for the holder to answer instead.
//
// Plain POSIX sockets, watched by socket notifiers: the editor needs no network
// module for this. start(), listen() and the signal belong to the UI thread of
// the running editor, which never blocks on a client: a request is read as it
// arrives, and a client that sends too much is dropped. handOver() blocks up
// to its timeout and may run on any thread of the starting editor.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    // Stops listening and removes the socket, while the lock is still held.
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/velvanto-editor (the temporary folder when unset).
    static QString defaultSocketPath();

    // True when a running editor took path (empty: just show yourself); then
    // this one should end. False when none answers within timeoutMs.
    bool handOver(const QString& path, int timeoutMs = 2000) const;
    // Takes the lock and starts listening, replacing a socket a crashed editor
    // left. False when another editor holds the lock or listening fails.
    bool listen();

    enum class Role { HandedOver, Running, NoAnswer };
    // Hands path over to the running editor, or becomes the running editor;
    // waits up to timeoutMs for an editor that holds the lock but does not
    // answer yet (it is starting, or busy), and then gives NoAnswer.
    Role start(const QString& path, int timeoutMs = 10000);

signals:
    // A later start asked to be handed over: path is absolute, or empty.
    void activationRequested(const QString& path);

private:
    struct Client {
        Descriptor socket;
        QSocketNotifier* notifier;  // this object's child
        QByteArray received;
    };

    void acceptClients();
    void readClient(int fd);
    void dropClient(int fd);

    QString socketPath_;
    Descriptor lock_;
    Descriptor server_;
    QSocketNotifier* serverNotifier_ = nullptr;
    std::map<int, Client> clients_;
};
