#include "app/CollectionModel.h"

CollectionModel::CollectionModel(QObject* parent) : QAbstractListModel(parent) {
    connect(&thumbnails_, &ImageDecoder::ready, this, &CollectionModel::thumbnailReady);
}

void CollectionModel::setItems(std::vector<ImageObjectView> items) {
    beginResetModel();
    items_ = std::move(items);
    rowOfPath_.clear();
    for (std::size_t row = 0; row < items_.size(); ++row) {
        rowOfPath_.insert(QString::fromStdString(items_[row].path()), static_cast<int>(row));
    }
    endResetModel();
}

int CollectionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant CollectionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= static_cast<int>(items_.size())) {
        return {};
    }
    const ImageObjectView& item = items_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return QString::fromStdString(item.imageTitle());
        case Qt::ToolTipRole:
            return QString::fromStdString(item.keyDock());
        case Qt::DecorationRole: {
            QPixmap thumbnail =
                thumbnails_.thumbnail(QString::fromStdString(item.path()), kThumbnailBox);
            return thumbnail.isNull() ? ImageDecoder::placeholder(kThumbnailBox) : thumbnail;
        }
        default:
            return {};
    }
}

void CollectionModel::thumbnailReady(const QString& path) {
    auto row = rowOfPath_.constFind(path);
    if (row != rowOfPath_.constEnd()) {
        emit dataChanged(index(*row), index(*row), {Qt::DecorationRole});
    }
}
