#include "app/CollectionModel.h"

#include <filesystem>

#include "image/ImageFile.h"
#include "model/MiscKit.h"
#include "model/ThemeCheck.h"

CollectionModel::CollectionModel(QObject* parent) : QAbstractListModel(parent) {
    connect(&thumbnails_, &ImageDecoder::ready, this, &CollectionModel::thumbnailReady);
}

void CollectionModel::setItems(std::vector<ImageObjectView> items) {
    beginResetModel();
    items_ = std::move(items);
    rowOfPath_.clear();
    toolTips_.clear();
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
        case Qt::ToolTipRole: {
            auto known = toolTips_.constFind(index.row());
            return known != toolTips_.constEnd() ? *known
                                                 : *toolTips_.insert(index.row(), toolTip(item));
        }
        case Qt::DecorationRole: {
            QPixmap thumbnail =
                thumbnails_.thumbnail(QString::fromStdString(item.path()), kThumbnailBox);
            return thumbnail.isNull() ? ImageDecoder::placeholder(kThumbnailBox) : thumbnail;
        }
        default:
            return {};
    }
}

QString CollectionModel::toolTip(const ImageObjectView& item) const {
    const std::string bundle = std::filesystem::path(item.keyDock()).parent_path().string();
    std::optional<std::string> error = ThemeCheck::firstError(
        ThemeCheck::check(bundle, MiscKit::sharedFiles(), ImageFile::readerSize));
    return error ? QStringLiteral("Invalid theme: %1").arg(QString::fromStdString(*error))
                 : QString::fromStdString(item.keyDock());
}

void CollectionModel::thumbnailReady(const QString& path) {
    auto row = rowOfPath_.constFind(path);
    if (row != rowOfPath_.constEnd()) {
        emit dataChanged(index(*row), index(*row), {Qt::DecorationRole});
    }
}
