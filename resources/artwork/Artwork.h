#pragma once

#include <QImage>

// The editor's own pictures, drawn at build time: the application icon (a
// Dock's glass shelf with three icons on a velvet tile) and the placeholder
// "drag_here.png" that invites the user to drop a picture (without words: the
// editor writes them in the user's language).
class Artwork {
public:
    // The icon, side by side pixels.
    static QImage icon(int side);
    // The drop placeholder, width by height pixels.
    static QImage dropPlaceholder(int width, int height);
};
