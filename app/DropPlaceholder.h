#pragma once

#include <QCoreApplication>
#include <QImage>

// The picture an empty drop target shows: the bundle's "drag_here.png" (a
// dashed frame and an arrow, drawn at build time without words) with "Drag
// here" written below the arrow in the user's language. Any thread may call
// it; it reads the file each time and gives a null image when it can't.
class DropPlaceholder {
    Q_DECLARE_TR_FUNCTIONS(DropPlaceholder)

public:
    static QImage load();
};
