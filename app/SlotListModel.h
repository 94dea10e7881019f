#pragma once

#include <QAbstractListModel>
#include <QIcon>

#include "app/ThumbnailCache.h"
#include "model/DockStyle.h"
#include "model/DockTheme.h"

// The items of one Dock category of the open theme, for the slot browser: the
// catalogue's natural name of each file key and a thumbnail of its image.
// Holds the items by reference (shared with the theme); thumbnails are cached
// by path, modification time and size, so an image replaced under the same
// path is read anew. The theme is not owned and must outlive setTheme's next
// call. UI thread only.
class SlotListModel : public QAbstractListModel {
public:
    explicit SlotListModel(QObject* parent = nullptr);

    // Shows category of theme (nullptr: nothing), asking the view to reload.
    void setTheme(const DockTheme* theme, DockCategory category);
    void setCategory(DockCategory category);
    DockCategory category() const { return category_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const DockTheme* theme_ = nullptr;
    DockCategory category_ = DockCategory::TwoD;
    DockTheme::SlotList items_;
    mutable ThumbnailCache thumbnails_{128};
};
