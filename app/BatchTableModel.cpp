#include "app/BatchTableModel.h"

#include "platform/Log.h"

BatchTableModel::BatchTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void BatchTableModel::setRows(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
    Log::write(std::to_string(rows_.size()) + " elements");
}

void BatchTableModel::setStatus(std::size_t row, const QString& status, const QString& reason) {
    if (row >= rows_.size()) {
        return;
    }
    rows_[row].status = status;
    rows_[row].reason = reason;
    const QModelIndex cell = index(static_cast<int>(row), kStatusColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
}

void BatchTableModel::setAllStatuses(const QString& status) {
    for (Row& row : rows_) {
        row.status = status;
        row.reason.clear();
    }
    if (!rows_.empty()) {
        emit dataChanged(index(0, kStatusColumn),
                         index(static_cast<int>(rows_.size()) - 1, kStatusColumn));
    }
}

int BatchTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BatchTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant BatchTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole)) {
        return {};
    }
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (index.column() != kStatusColumn) {
        return QString::fromLocal8Bit(row.path);
    }
    return role == Qt::ToolTipRole && !row.reason.isEmpty() ? row.reason : row.status;
}

QVariant BatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == kIdentifierRole) {
        return section == kStatusColumn ? QStringLiteral("STATUS") : QStringLiteral("PATH");
    }
    if (role == Qt::DisplayRole) {
        return section == kStatusColumn ? tr("Status") : tr("Folder");
    }
    return {};
}

Qt::ItemFlags BatchTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
