#pragma once

#include <QPainter>
#include <QRectF>

// The stand-in Dock's own icons: plain drawings in the manner of the Leopard
// Dock's applications, stacks and Trash. Whoever owns the painter may call.
class DockIcons {
public:
    enum class Icon {
        Files,
        Browser,
        Mail,
        Calendar,
        Music,
        Photos,
        Settings,
        Terminal,
        Documents,  // a stack of documents
        Downloads,  // a stack folder
        Trash,
        Document,  // items of an open stack
        Picture,
        Folder,
    };

    // Draws icon into the square target; the painter's state is kept.
    static void draw(QPainter& painter, const QRectF& target, Icon icon);
};
