#include "app/SlotListModel.h"

#include "model/MiscKit.h"

SlotListModel::SlotListModel(QObject* parent) : QAbstractListModel(parent) {}

void SlotListModel::setTheme(const DockTheme* theme, DockCategory category) {
    beginResetModel();
    theme_ = theme;
    category_ = category;
    items_ = theme ? theme->slotList(category) : DockTheme::SlotList{};
    endResetModel();
}

void SlotListModel::setCategory(DockCategory category) {
    setTheme(theme_, category);
}

int SlotListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant SlotListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const ImageObjectView& item = *items_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return QString::fromStdString(MiscKit::sharedFiles()
                                              .getNaturalNameForKey(item.keyDock())
                                              .value_or(item.keyDock()));
        case Qt::ToolTipRole:
            return QString::fromStdString(item.title());
        case Qt::DecorationRole:
            return thumbnails_.thumbnail(QString::fromStdString(item.path()));
        default:
            return {};
    }
}
