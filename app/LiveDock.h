#pragma once

#include <QImage>
#include <QThreadPool>
#include <QWidget>

#include <vector>

#include "dock/DockScene.h"
#include "image/ThemePreview.h"
#include "model/DockStyle.h"

class ThemeSession;

// The live Dock of the editor view: the open theme's Dock drawn with the
// stand-in Dock's own scene (DockScene), from the theme's images on disk, in
// the category the browser shows and at one of the stand-in Dock's sizes,
// with its sample icons, running lights and an open stack, scaled to fit.
//
// It points at its pieces, as the scene places them (the pane does no
// geometry of its own): hovering a piece tells its slot (hovered(), and the
// slot's name as the tooltip), the selected slot's places are outlined
// (setSelectedKey), a click tells the piece's slot (clicked()), and a file
// dropped on a piece is handed on (dropped()) for the slot's replacement. For
// screen readers the pane is "Live Dock" and each piece a child named by its
// slot's readable name, which a press selects.
//
// Drawing: redraw() reads the theme's slot list on the UI thread (keys and
// their files through the theme's opened folder), then decodes and paints on
// the pane's own worker (one thread, Background::run); the picture is shown
// when it is back. A redraw asked while one runs waits for it and then runs
// once with what is asked last, so a burst of edits draws the last state,
// never a queue of stale ones. The session is not owned; GUI thread only.
class LiveDock : public QWidget {
    Q_OBJECT

public:
    LiveDock(ThemeSession& session, QWidget* parent = nullptr);
    ~LiveDock() override;

    void setCategory(DockCategory category);
    DockCategory category() const { return category_; }
    // The icon size of the scene (one of DockScene::sizeSteps()).
    void setTileSize(int tileSize);
    int tileSize() const { return tile_; }
    // Draws the open theme again (or nothing when none is open); while the
    // pane is hidden, once it is shown.
    void redraw();
    // Outlines every place of key (empty: none).
    void setSelectedKey(const QString& key);
    // The picture shown now and the pieces it was drawn with.
    const QImage& picture() const { return picture_; }
    const std::vector<DockScene::Piece>& pieces() const { return pieces_; }
    // The piece under point (widget coordinates), or -1.
    int pieceAt(QPoint point) const;
    // Where piece lies in the widget.
    QRect pieceRect(int piece) const;
    // How many drawings were started, and whether one runs now (tests, benchmark).
    int drawings() const { return drawings_; }
    bool isDrawing() const { return drawing_; }

    // The open theme's slot pictures as the Dock would get them
    // (ThemePreview::sourcesOf); taken on the UI thread for draw().
    ThemePreview::Sources sources() const;
    // The Dock that sources draw in style at tileSize with its stack open,
    // over the stand-in Dock's desktop picture when overDesktop (the larger
    // view), else on transparency; pieces, when given, gets the scene's
    // pieces. Any thread: decodes and paints only.
    static QImage draw(const ThemePreview::Sources& sources, DockStyle style, int tileSize,
                       bool overDesktop, std::vector<DockScene::Piece>* pieces = nullptr);

    QSize sizeHint() const override;

signals:
    void hovered(const QString& key);
    void clicked(const QString& key);
    void dropped(const QString& key, const QString& path);
    // A new picture is shown.
    void drawn();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // A pane hidden meanwhile draws what it missed once shown.
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Where the picture lies in the widget, and its scale.
    QRectF shownRect() const;
    void start();

    ThemeSession& session_;
    DockCategory category_ = DockCategory::TwoD;
    int tile_ = 64;
    QImage picture_;
    std::vector<DockScene::Piece> pieces_;
    QString selected_;
    int hovered_ = -1;
    bool drawing_ = false;
    bool again_ = false;
    bool missed_ = false;  // a redraw was asked while hidden
    int drawings_ = 0;
    QThreadPool worker_;  // one thread: drawings never wait for the global pool
};
