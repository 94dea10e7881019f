#pragma once

#include <QImage>

#include <filesystem>

#include "model/DockStyle.h"

class DockScene;
class MiscKit;

// Screenshots of the Dock: a scene drawn at the bottom of a desktop picture.
// Needs a QGuiApplication (fonts); call it on that application's thread.
class DockRenderer {
public:
    // The icon size of the screenshots that themes carry.
    static constexpr int kTileSize = 56;
    // The PNG quality of the Dock pictures written (screenshots, micro
    // previews): light compression, since they are written often and read locally.
    static constexpr int kPngQuality = 80;

    // The scene over a desktop, with some desktop above and beside it.
    static QImage render(const DockScene& scene);
    // The size of render(scene)'s picture.
    static QSize renderSize(const DockScene& scene);
    // The part of render(scene)'s picture (in its coordinates) drawn straight
    // at size, smoothly scaled: a small picture costs what its pixels cost,
    // not what the whole screenshot would.
    static QImage render(const DockScene& scene, const QRectF& part, QSize size);

    // Draws the Dock of dockStyle, stack open, from the images in resources
    // (by the Dock file names of catalogue) and writes it as a PNG to out
    // through a temporary file renamed into place. Missing or unreadable
    // images leave their pieces out. False when out could not be written.
    static bool renderToFile(const MiscKit& catalogue, const std::filesystem::path& resources,
                             DockStyle dockStyle, const std::filesystem::path& out);
};
