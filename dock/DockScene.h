#pragma once

#include "model/DockStyle.h"

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

#include "dock/DockIcons.h"

class DockImages;

// The picture of a Dock at the bottom of the screen, drawn from the Dock's
// images. The 3D style (DockStyle::ThreeD) shows the shadow, the glass floor (the
// Keystone base for the icon size), the front line, the icons with their
// reflections, the running lights and the striped divider; the 2D style
// (DockStyle::TwoD) shows the frame of corner and edge pieces, the flat running
// lights and the straight divider. Both show a stack, and above it, when the
// stack is open, the stack's grid with its arrow. A missing image leaves its
// piece out; no image, whatever its size, can break the layout.
//
// The scene also says where each image lands (pieces()): layout() places
// every piece and paint() draws exactly those rectangles, so a pane that
// points at the Dock's pieces does no geometry of its own.
//
// The scene refers to images, which must outlive it. Use it on one thread,
// with a QGuiApplication (the icons and the open stack draw text).
class DockScene {
public:
    enum class Kind { Application, Separator, Stack, Trash };
    struct Item {
        Kind kind = Kind::Application;
        QString name;
        DockIcons::Icon icon = DockIcons::Icon::Files;
        bool running = false;
        QRectF rect;  // where its icon is drawn, in scene coordinates
    };
    // One place where the image of a catalogue file key is drawn.
    struct Piece {
        QString key;
        QRectF rect;  // in scene coordinates, inside the scene
    };

    static constexpr int kMinTileSize = 16;
    static constexpr int kMaxTileSize = 128;

    // tileSize (the icon size in pixels) is clamped to 16..128.
    DockScene(const DockImages& images, DockStyle dockStyle, int tileSize);

    DockStyle dockStyle() const { return dockStyle_; }
    int tileSize() const { return tile_; }
    bool stackOpen() const { return stackOpen_; }
    // Opening the stack makes the scene taller; the Dock stays at the bottom.
    void setStackOpen(bool open);

    // The whole picture; the Dock's bottom edge is the scene's bottom edge.
    QSize size() const { return size_; }
    const std::vector<Item>& items() const { return items_; }
    // The index of the item whose icon (or divider) is under point, or -1.
    int itemAt(QPointF point) const;
    // The index of the stack item.
    int stackIndex() const;

    // Every place an image is drawn, bottom first: one piece per place (a
    // divider or a running light appears more than once). A key with no
    // usable image draws nothing and has no piece.
    const std::vector<Piece>& pieces() const { return pieces_; }
    // The index of the topmost piece under point, or -1.
    int pieceAt(QPointF point) const;
    // Where key's image is drawn, bottom first; empty when nowhere.
    std::vector<QRectF> placesOf(const QString& key) const;

    // Draws the scene with its top left corner at the painter's origin,
    // over whatever is there (the Dock is translucent).
    void paint(QPainter& painter) const;

    // The Keystone base that a Dock of tileSize stands on.
    static QString keystoneKey(int tileSize);
    // The running light of dockStyle for a Dock of tileSize.
    static QString indicatorKey(DockStyle dockStyle, int tileSize);

    // The Dock sizes a user picks from, smallest first, as label and icon
    // size: together they draw every floor and running light of the catalogue.
    static const std::vector<std::pair<QString, int>>& sizeSteps();
    // The labels of the sizeSteps() at which key is drawn in dockStyle (stack
    // open); empty for a key that dockStyle never draws. Asks the scene itself
    // (computed once per process, then a lookup); any thread, with a
    // QGuiApplication and the shared catalogue made.
    static QStringList sizesDrawing(const QString& key, DockStyle dockStyle);

private:
    // How a piece's image fills its rectangle.
    enum class Fit { Whole, ThreeSlice, NineSlice, Tiled };
    struct Drawing {
        Fit fit;
        qreal amount;  // ThreeSlice: the source cap width; Tiled: the scale
        QRect column;  // Tiled: the part of the image repeated; null: all of it
    };

    void layout();
    qreal separatorWidth() const;
    // Adds a piece of key over rect unless key has no usable image or rect is empty.
    void place(const char* key, const QRectF& rect, Drawing drawing = {Fit::Whole, 0, QRect()});
    void placeGlass();
    void placeFrame();
    void placeOpenStack();
    void paintPiece(QPainter& painter, std::size_t index) const;
    void paintReflections(QPainter& painter) const;
    void paintIcons(QPainter& painter) const;
    void paintStackGrid(QPainter& painter) const;
    const QImage* image(const char* key) const;

    const DockImages& images_;
    DockStyle dockStyle_;
    int tile_;
    bool stackOpen_ = false;
    std::vector<Item> items_;
    std::vector<QImage> icons_;  // each item's icon drawn at the tile size
    QSize size_;
    QRectF dock_;   // the floor (3D) or the frame (2D)
    QRectF grid_;   // the open stack's grid; empty when closed
    QRectF arrow_;  // the open stack's arrow
    qreal iconBottom_ = 0;
    std::vector<Piece> pieces_;
    std::vector<Drawing> drawings_;  // one per piece
    // The reflections (3D) and the icons are painted just before these pieces.
    std::size_t reflectionsAt_ = 0;
    std::size_t iconsAt_ = 0;
};
