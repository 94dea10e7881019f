#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QSize>

#include <vector>

#include "app/ImageDecoder.h"
#include "model/ImageObjectView.h"

// The themes of the collection for its browser: one item per theme bundle,
// whose path and key are the bundle's micro preview. Shows the theme's name
// (its folder's name without ".docktheme") over the micro preview's
// thumbnail, which an ImageDecoder of the model's own decodes in a worker,
// as the slot browser's are. A theme's tooltip says the first error of its
// check (ThemeCheck, headers only), made when first asked for and kept until
// the items are replaced; a clean theme's is its preview's path. UI thread only.
class CollectionModel : public QAbstractListModel {
public:
    // The previews are wide pictures of a Dock: thumbnails keep that shape.
    static constexpr QSize kThumbnailBox{128, 64};

    explicit CollectionModel(QObject* parent = nullptr);

    // Replaces every item, asking the view to reload.
    void setItems(std::vector<ImageObjectView> items);
    const std::vector<ImageObjectView>& items() const { return items_; }
    // Forgets every decoded thumbnail (the window closed): rows decode
    // theirs again when next painted.
    void releaseThumbnails() { thumbnails_.releaseThumbnails(); }
    // Thumbnails still being decoded.
    int pendingThumbnails() const { return thumbnails_.pending(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    // The tooltip of item: why its theme fails the check, else its path.
    QString toolTip(const ImageObjectView& item) const;
    void thumbnailReady(const QString& path);

    std::vector<ImageObjectView> items_;
    QHash<QString, int> rowOfPath_;
    mutable QHash<int, QString> toolTips_;
    mutable ImageDecoder thumbnails_;
};
