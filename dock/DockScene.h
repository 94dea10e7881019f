#pragma once

#include "model/DockStyle.h"

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>

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
// The scene refers to images, which must outlive it. Use it on one thread.
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

    // Draws the scene with its top left corner at the painter's origin,
    // over whatever is there (the Dock is translucent).
    void paint(QPainter& painter) const;

    // The Keystone base that a Dock of tileSize stands on.
    static QString keystoneKey(int tileSize);
    // The running light of dockStyle for a Dock of tileSize.
    static QString indicatorKey(DockStyle dockStyle, int tileSize);

private:
    void layout();
    qreal separatorWidth() const;
    void paintGlass(QPainter& painter) const;
    void paintFrame(QPainter& painter) const;
    void paintIcons(QPainter& painter) const;
    void paintOpenStack(QPainter& painter) const;
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
};
