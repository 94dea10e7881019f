#include "app/SlotCellDelegate.h"

#include <QListView>

SlotCellDelegate::SlotCellDelegate(QListView* view) : QStyledItemDelegate(view), view_(view) {}

QSize SlotCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QSize grid = view_->gridSize();
    if (!grid.isValid()) {
        return QStyledItemDelegate::sizeHint(option, index);
    }
    int spacing = 2 * view_->spacing() + 4;
    return {grid.width() - spacing, grid.height() - spacing};
}

void SlotCellDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->decorationSize = view_->iconSize();
}
