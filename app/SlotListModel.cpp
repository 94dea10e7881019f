#include "app/SlotListModel.h"

#include <QPalette>

#include <QPixmap>

#include "app/ImageDecoder.h"
#include "model/MiscKit.h"

SlotListModel::SlotListModel(ImageDecoder& thumbnails, QObject* parent)
    : QAbstractListModel(parent), thumbnails_(thumbnails) {
    connect(&thumbnails_, &ImageDecoder::ready, this, &SlotListModel::thumbnailReady);
}

void SlotListModel::setTheme(const DockTheme* theme, DockCategory category) {
    beginResetModel();
    theme_ = theme;
    category_ = category;
    items_ = theme ? theme->slotList(category) : DockTheme::SlotList{};
    highlighted_ = -1;
    endResetModel();
}

void SlotListModel::setCategory(DockCategory category) {
    setTheme(theme_, category);
}

void SlotListModel::setThumbnailSide(int side) {
    if (side == side_) {
        return;
    }
    // Thumbnails asked for at another decoded size are not wanted any more.
    if (ImageDecoder::decodedBox(QSize(side, side)) !=
        ImageDecoder::decodedBox(QSize(side_, side_))) {
        thumbnails_.dropQueued();
    }
    side_ = side;
    if (!items_.empty()) {
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
    }
}

const ImageObjectView* SlotListModel::item(int row) const {
    return row >= 0 && row < rowCount() ? items_[static_cast<std::size_t>(row)].get() : nullptr;
}

int SlotListModel::rowOf(const std::string& key) const {
    for (int row = 0; row < rowCount(); ++row) {
        if (items_[static_cast<std::size_t>(row)]->keyDock() == key) {
            return row;
        }
    }
    return -1;
}

void SlotListModel::setHighlighted(const std::string& key) {
    const int row = key.empty() ? -1 : rowOf(key);
    if (row == highlighted_) {
        return;
    }
    const int old = std::exchange(highlighted_, row);
    for (int changed : {old, row}) {
        if (changed >= 0) {
            emit dataChanged(index(changed), index(changed), {Qt::BackgroundRole});
        }
    }
}

int SlotListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant SlotListModel::data(const QModelIndex& index, int role) const {
    const ImageObjectView* slot = index.isValid() ? item(index.row()) : nullptr;
    if (!slot) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: {
            std::string title = slot->imageTitle();
            if (title.empty()) {
                title = MiscKit::sharedFiles()
                            .getNaturalNameForKey(slot->keyDock())
                            .value_or(slot->keyDock());
            }
            return QString::fromStdString(title);
        }
        case Qt::ToolTipRole:
            return QString::fromStdString(slot->imageSubtitle());
        case Qt::BackgroundRole:
            return index.row() == highlighted_
                       ? QVariant(QPalette().highlight().color().lighter(160))
                       : QVariant();
        case Qt::DecorationRole: {
            // Read through the theme's opened folder: a link in the bundle leads nowhere.
            QPixmap thumbnail = thumbnails_.thumbnail(
                {theme_->bundleFolder(), QString::fromStdString(slot->path())},
                QSize(side_, side_));
            return thumbnail.isNull() ? ImageDecoder::placeholder(QSize(side_, side_)) : thumbnail;
        }
        default:
            return {};
    }
}

void SlotListModel::thumbnailReady(const QString& path) {
    for (int row = 0; row < rowCount(); ++row) {
        if (QString::fromStdString(items_[static_cast<std::size_t>(row)]->path()) == path) {
            emit dataChanged(index(row), index(row), {Qt::DecorationRole});
        }
    }
}
