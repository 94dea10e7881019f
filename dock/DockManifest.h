#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <map>
#include <optional>

#include "model/DockStyle.h"

class DockImages;

// What a running Dock shows: its pid, its style and every image it loaded,
// as JSON: {"pid": N, "style": "3d" or "2d", "images": {"<Dock file name>":
// {"width": W, "height": H, "sha256": "<hex>"}}}. The Dock writes it once at
// start so tests and tools can tell what it shows. A plain value; the static
// functions may be called from any thread.
class DockManifest {
public:
    struct Image {
        int width = 0;
        int height = 0;
        QString sha256;
        bool operator==(const Image&) const = default;
    };

    qint64 pid = 0;
    DockStyle dockStyle = DockStyle::ThreeD;
    std::map<QString, Image> images;  // by Dock file name

    static DockManifest describe(qint64 pid, DockStyle dockStyle, const DockImages& images);

    // $XDG_RUNTIME_DIR/velvanto-dock, or /tmp/velvanto-dock-<uid> when that is unset or empty.
    static std::filesystem::path folder();
    // folder()/manifest.json.
    static std::filesystem::path path();

    QByteArray toJson() const;
    // Nothing when bytes are not a manifest.
    static std::optional<DockManifest> fromJson(const QByteArray& bytes);

    // Writes path() through a temporary file renamed into place, making the
    // folder (owner only) when missing. Refuses a folder that is a link, not a
    // folder, another user's or writable by others, since in /tmp anyone could
    // have made it first. False when nothing was written.
    bool write() const;
    // The manifest at path(); nothing when missing or malformed.
    static std::optional<DockManifest> read();
};
