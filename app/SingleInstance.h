#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One editor per user. The first editor listens on a local socket in the
// user's runtime folder; an editor started later hands its positional argument
// (a theme to open, made absolute, or nothing) to it and ends, and the running
// editor is activated again: it shows its main window and opens the theme.
// So a file manager's "Open with" on a second theme reaches the window the
// user already has. The socket is the user's alone.
//
// listen() and the signal belong to the UI thread of the running editor;
// handOver() blocks briefly and may run on any thread of the starting one.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);

    // $XDG_RUNTIME_DIR/velvanto-editor (the temporary folder when unset).
    static QString defaultSocketPath();

    // True when a running editor took path (empty: just show yourself); then
    // this one should end. False when none answers within timeoutMs.
    bool handOver(const QString& path, int timeoutMs = 2000) const;
    // Starts listening, replacing a socket a crashed editor left. False when
    // it can't; the editor then runs on its own.
    bool listen();

signals:
    // A later start asked to be handed over: path is absolute, or empty.
    void activationRequested(const QString& path);

private:
    void readRequest();

    QString socketPath_;
    QLocalServer server_;
};
