#pragma once

#include <QAbstractListModel>

#include "model/DockStyle.h"
#include "model/DockTheme.h"

class ImageDecoder;

// The items of one Dock category of the open theme, for the slot browser.
//
// Each row is one ImageObjectView of the theme's slot list: its title is the
// item's own title, or the catalogue's natural name of its file key when the
// item gives none, its tool tip the item's subtitle (the image's file name),
// its decoration the thumbnail for the browser's zoom value (read through the
// theme's opened folder, decoded at one of the decoder's few sizes; the view's
// delegate scales it to the zoom when painting). The model holds the items by
// reference (shared with the theme) and never decodes an image: thumbnails
// come from the decoder, which decodes them in a worker and reports back, when
// the row is repainted; a zoom to another decoded size drops the decodes not
// started. The theme and the decoder are not owned; the theme must outlive
// setTheme's next call. UI thread only.
class SlotListModel : public QAbstractListModel {
public:
    SlotListModel(ImageDecoder& thumbnails, QObject* parent = nullptr);

    // Shows category of theme (nullptr: nothing), asking the view to reload.
    void setTheme(const DockTheme* theme, DockCategory category);
    void setCategory(DockCategory category);
    DockCategory category() const { return category_; }
    // The thumbnails' side in pixels (the browser's zoom value).
    void setThumbnailSide(int side);
    // The item of row, or nullptr.
    const ImageObjectView* item(int row) const;
    // The row of key, or -1.
    int rowOf(const std::string& key) const;
    // Marks the row of key (the piece of the live Dock under the pointer) with
    // the highlight colour as its background; empty: none.
    void setHighlighted(const std::string& key);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void thumbnailReady(const QString& path);

    ImageDecoder& thumbnails_;
    const DockTheme* theme_ = nullptr;
    DockCategory category_ = DockCategory::TwoD;
    DockTheme::SlotList items_;
    int side_ = 64;
    int highlighted_ = -1;
};
