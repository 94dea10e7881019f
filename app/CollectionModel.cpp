#include "app/CollectionModel.h"

CollectionModel::CollectionModel(QObject* parent) : QAbstractListModel(parent) {}

void CollectionModel::setItems(std::vector<ImageObjectView> items) {
    beginResetModel();
    items_ = std::move(items);
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
        case Qt::DecorationRole:
            return thumbnails_.thumbnail(QString::fromStdString(item.path()));
        default:
            return {};
    }
}
