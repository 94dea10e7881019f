#include "dock/DockRenderer.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "dock/DockImages.h"
#include "dock/DockScene.h"
#include "platform/FileManager.h"

namespace {

constexpr int kSideMargin = 40;
constexpr int kTopMargin = 44;

void glow(QPainter& p, QPointF centre, qreal radius, QColor colour) {
    QRadialGradient light(centre, radius);
    light.setColorAt(0, colour);
    colour.setAlpha(0);
    light.setColorAt(1, colour);
    p.fillRect(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), light);
}

// A night-sky desktop with soft aurora lights, so that glass and shadows show.
void desktop(QPainter& p, QSizeF size) {
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(18, 24, 66));
    sky.setColorAt(0.55, QColor(48, 34, 102));
    sky.setColorAt(1, QColor(92, 58, 140));
    p.fillRect(QRectF(QPointF(0, 0), size), sky);
    const qreal w = size.width(), h = size.height();
    glow(p, QPointF(w * 0.22, h * 0.35), h * 0.9, QColor(190, 80, 200, 120));
    glow(p, QPointF(w * 0.7, h * 0.15), h * 0.8, QColor(70, 120, 235, 110));
    glow(p, QPointF(w * 0.5, h * 1.1), h * 0.9, QColor(235, 120, 190, 90));
    // A faint ribbon of light across the sky.
    p.save();
    p.translate(w * 0.45, h * 0.32);
    p.rotate(-9);
    p.scale(1.0, 0.08);
    glow(p, QPointF(0, 0), w * 0.55, QColor(255, 225, 255, 70));
    p.restore();
}

}  // namespace

QImage DockRenderer::render(const DockScene& scene) {
    const QSize size = renderSize(scene);
    return render(scene, QRectF(QPointF(0, 0), size), size);
}

QSize DockRenderer::renderSize(const DockScene& scene) {
    return scene.size() + QSize(2 * kSideMargin, kTopMargin);
}

QImage DockRenderer::render(const DockScene& scene, const QRectF& part, QSize size) {
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull() || part.isEmpty()) {
        return out;
    }
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform, size != part.size().toSize());
    p.scale(size.width() / part.width(), size.height() / part.height());
    p.translate(-part.topLeft());
    desktop(p, renderSize(scene));
    p.translate(kSideMargin, kTopMargin);
    scene.paint(p);
    return out;
}

bool DockRenderer::renderToFile(const MiscKit& catalogue, const std::filesystem::path& resources,
                                DockStyle dockStyle, const std::filesystem::path& out) {
    DockImages images = DockImages::load(catalogue, resources);
    DockScene scene(images, dockStyle, kTileSize);
    scene.setStackOpen(true);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!render(scene).convertToFormat(QImage::Format_RGB32).save(&buffer, "PNG", kPngQuality)) {
        return false;
    }
    return FileManager::writeFileAtomically(out, png.toStdString());
}
