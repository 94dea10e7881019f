#pragma once

#include <QImage>
#include <QObject>

#include "model/DockStyle.h"

class Dialogs;
class LiveDock;
class QDialog;
class QLabel;
class QPushButton;
class QWidget;
class ThemeSession;

// The live Dock's larger view: the open theme's Dock at its real size over
// the stand-in Dock's desktop picture, as a Dock screenshot looks, in a
// window of its own; Use as Dock Screenshot stores that picture as the
// theme's screenshot of the style shown (through the session, with undo, as
// a dropped screenshot is).
//
// The window is made on first show, owned by the window given. The picture
// is drawn off the UI thread (Background::run, global pool) from what the
// live Dock shows when the window is opened; a theme closed or read again
// meanwhile drops it. GUI thread only.
class LiveDockWindow : public QObject {
    Q_OBJECT

public:
    LiveDockWindow(ThemeSession& session, const LiveDock& dock, QWidget* owner,
                   QObject* parent = nullptr);

    // Draws the theme's Dock as the live Dock shows it and shows the window.
    void show();
    // Stores the picture shown as the theme's Dock screenshot; false (after
    // the session's alert) when it could not, or while none is shown.
    bool useAsScreenshot();
    const QImage& picture() const { return picture_; }

signals:
    // The picture is drawn and shown.
    void shown();

private:
    void make(QWidget* owner);

    ThemeSession& session_;
    const LiveDock& dock_;
    QDialog* window_ = nullptr;
    QLabel* view_ = nullptr;
    QPushButton* use_ = nullptr;
    QImage picture_;
    DockStyle style_ = DockStyle::ThreeD;
    int drawing_ = 0;  // the token of the drawing asked for last
};
