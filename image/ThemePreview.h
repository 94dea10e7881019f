#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <string>
#include <utility>
#include <vector>

#include "dock/DockImages.h"
#include "image/ImageFile.h"
#include "model/DockStyle.h"

class DockTheme;

// A theme's Dock drawn in this process with the stand-in Dock's own scene,
// from the theme's slot pictures (read through its opened folder, as
// ImageFile reads any theme's picture), and the small picture that tells the
// theme apart in the collection ("preview_micro.png").
//
// Stateless. What needs the document (sourcesOf, drawDock, renderMicroPreview,
// hasStockMicroPreview) runs on the thread that owns it; decode and paint run
// on any thread (the editor decodes and paints on a worker). Drawing needs a
// QGuiApplication (the scene's icons draw text); without one nothing is drawn.
class ThemePreview {
public:
    // Where each slot's picture is read from, by file key; the folder is
    // shared, so a worker may read after the theme was closed.
    using Sources = std::vector<std::pair<QString, ImageFile::Source>>;

    // theme's slot pictures; reads nothing. A key set in both categories gets
    // its 3D picture, as the apply tool installs it. The document's thread.
    static Sources sourcesOf(const DockTheme& theme);
    // Reads and decodes sources (ImageFile's limits); a picture that does not
    // read or decode is left out and its pieces with it. Blocks; any thread.
    static DockImages decode(const Sources& sources);
    // The scene of images on a transparent image of the scene's size. Any thread.
    static QImage paint(const DockImages& images, DockStyle style, int tileSize, bool stackOpen);
    // sourcesOf, decode and paint in one: theme's Dock as the stand-in Dock draws it.
    static QImage drawDock(const DockTheme& theme, DockStyle style, int tileSize, bool stackOpen);

    // The size of the stock theme's micro preview (128 pixels wide when it does not read).
    static QSize microPreviewSize();
    // The middle of theme's 3D Dock screenshot (drawn in process, as the
    // stand-in Dock's renderer draws it) at microPreviewSize(), or width
    // pixels wide in its proportions (a file manager's thumbnail). Null
    // without a QGuiApplication.
    static QImage drawMicroPreview(const DockTheme& theme, int width = 0);
    // Writes drawMicroPreview as theme's preview_micro.png through the
    // document's own locked write (a temporary file copied in and renamed into
    // place); the old one stays when drawing or writing fails. False, with why
    // (one line, when given), then.
    static bool renderMicroPreview(DockTheme& theme, std::string* why = nullptr);
    // The same for the bundle at path, opened for it (a theme just made);
    // any thread, as the theme is its own.
    static bool renderMicroPreview(const std::string& path, std::string* why = nullptr);
    // Whether theme's preview_micro.png has the bytes of the stock theme's;
    // false when either does not read.
    static bool hasStockMicroPreview(const DockTheme& theme);
};
