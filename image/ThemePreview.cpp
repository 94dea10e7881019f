#include "image/ThemePreview.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <map>

#include "dock/DockRenderer.h"
#include "dock/DockScene.h"
#include "model/DockTheme.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"
#include "platform/FileManager.h"

namespace {

constexpr const char* kMicroPreview = "preview_micro.png";
constexpr int kMicroPreviewWidth = 128;

QString stockMicroPreview() {
    return QString::fromStdString(ThemeBundle::microPreviewPath(DockTheme::fullPath()));
}

}  // namespace

ThemePreview::Sources ThemePreview::sourcesOf(const DockTheme& theme) {
    // 2D first: a 3D picture of the same key then takes its place.
    std::map<QString, QString> paths;
    for (const auto& slotList : theme.listOfImages()) {
        for (const DockTheme::Item& item : slotList) {
            paths[QString::fromStdString(item->keyDock())] = QString::fromStdString(item->path());
        }
    }
    Sources sources;
    for (const auto& [key, path] : paths) {
        sources.emplace_back(key, ImageFile::Source(theme.bundleFolder(), path));
    }
    return sources;
}

DockImages ThemePreview::decode(const Sources& sources) {
    std::map<QString, QImage> images;
    for (const auto& [key, source] : sources) {
        images.emplace(key, ImageFile(source).read());
    }
    return DockImages::fromImages(std::move(images));
}

QImage ThemePreview::paint(const DockImages& images, DockStyle style, int tileSize,
                           bool stackOpen) {
    if (!qGuiApp) {
        return QImage();
    }
    DockScene scene(images, style, tileSize);
    scene.setStackOpen(stackOpen);
    QImage out(scene.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    scene.paint(painter);
    return out;
}

QImage ThemePreview::drawDock(const DockTheme& theme, DockStyle style, int tileSize,
                              bool stackOpen) {
    return paint(decode(sourcesOf(theme)), style, tileSize, stackOpen);
}

QSize ThemePreview::microPreviewSize() {
    const QSize stock = ImageFile(stockMicroPreview()).size();
    return stock.isEmpty() ? QSize(kMicroPreviewWidth, kMicroPreviewWidth / 3) : stock;
}

QImage ThemePreview::drawMicroPreview(const DockTheme& theme, int width) {
    if (!qGuiApp) {
        return QImage();
    }
    // Only what the 3D Dock draws is decoded: the 2D frame's pictures are half the theme.
    Sources sources = sourcesOf(theme);
    std::erase_if(sources, [](const auto& source) {
        return DockScene::sizesDrawing(source.first, DockStyle::ThreeD).isEmpty();
    });
    const DockImages images = decode(sources);
    DockScene scene(images, DockStyle::ThreeD, DockRenderer::kTileSize);
    scene.setStackOpen(true);
    // As the stock theme's: the middle of the Dock at the bottom of its 3D
    // screenshot, in the stock picture's proportions. Only that part is drawn,
    // at twice the picture's size, then scaled down smoothly.
    const QSize full = DockRenderer::renderSize(scene);
    const QSize stock = microPreviewSize();
    const QSize size =
        width > 0 ? QSize(width, std::max(1, width * stock.height() / stock.width())) : stock;
    const int band = full.height() * 2 / 5;
    const int shown = std::min(full.width(), band * size.width() / size.height());
    const QRectF part((full.width() - shown) / 2, full.height() - band, shown, band);
    return DockRenderer::render(scene, part, (size * 2).boundedTo(part.size().toSize()))
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

bool ThemePreview::renderMicroPreview(DockTheme& theme, std::string* why) {
    std::string reason;
    const QImage picture = drawMicroPreview(theme);
    QTemporaryDir run(QDir::tempPath() + QStringLiteral("/micro-XXXXXX"));
    const QString file = run.filePath(QString::fromLatin1(kMicroPreview));
    if (picture.isNull()) {
        reason = "the Dock could not be drawn (no Qt Gui application)";
    } else if (!run.isValid() || !picture.save(file, "PNG", DockRenderer::kPngQuality)) {
        reason = "the micro preview could not be written in " + QDir::tempPath().toStdString();
    } else if (!theme.putBundleFile(kMicroPreview, file.toStdString())) {
        reason = theme.errorString();
    }
    if (why) {
        *why = reason;
    }
    return reason.empty();
}

bool ThemePreview::renderMicroPreview(const std::string& path, std::string* why) {
    std::string whyNot;
    std::unique_ptr<DockTheme> theme = DockTheme::initWithBundleAtPath(path, &whyNot);
    if (!theme) {
        if (why) {
            *why = whyNot.empty() ? "the theme does not open" : whyNot;
        }
        return false;
    }
    return renderMicroPreview(*theme, why);
}

bool ThemePreview::hasStockMicroPreview(const DockTheme& theme) {
    const Descriptor own =
        theme.bundleFolder()->openRegularFile(kMicroPreview, ThemeBundle::kMaxImageBytes);
    const auto bytes = own.valid()
                           ? FileManager::readDescriptor(own.get(), ThemeBundle::kMaxImageBytes)
                           : std::nullopt;
    FileManager::ReadOptions options;
    options.maxBytes = ThemeBundle::kMaxImageBytes;
    const auto stock = FileManager::readFile(stockMicroPreview().toStdString(), options);
    return bytes && stock && *bytes == *stock;
}
