#pragma once

#include <QAbstractListModel>

#include <vector>

#include "app/ThumbnailCache.h"
#include "model/ImageObjectView.h"

// The themes of the collection for its browser: one item per theme bundle,
// whose path and key are the bundle's micro preview. Shows the theme's name
// (its folder's name without ".docktheme") over the micro preview's
// thumbnail. UI thread only.
class CollectionModel : public QAbstractListModel {
public:
    explicit CollectionModel(QObject* parent = nullptr);

    // Replaces every item, asking the view to reload.
    void setItems(std::vector<ImageObjectView> items);
    const std::vector<ImageObjectView>& items() const { return items_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<ImageObjectView> items_;
    mutable ThumbnailCache thumbnails_{128};
};
