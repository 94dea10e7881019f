#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include "platform/Descriptor.h"

// One editor per user. The first editor listens on a local socket in the
// user's runtime folder; an editor started later hands its positional argument
// (a theme to open, made absolute, or nothing) to it and ends, and the running
// editor is activated again: it shows its main window and opens the theme.
// So a file manager's "Open with" on a second theme reaches the window the
// user already has. The socket is the user's alone.
//
// Exactly one editor wins when several start at once: the listening editor
// holds a lock on "<socket>.lock" for as long as it lives, and only the holder
// of that lock may remove a socket left by an editor that crashed; an editor
// that finds the lock held waits for the holder to answer instead.
//
// start(), listen() and the signal belong to the UI thread of the running
// editor; handOver() blocks briefly and may run on any thread of the starting one.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);

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
    void readRequest();

    QString socketPath_;
    QLocalServer server_;
    Descriptor lock_;
};
