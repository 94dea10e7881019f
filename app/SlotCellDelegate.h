#pragma once

#include <QStyledItemDelegate>

class QListView;

// Draws a browser cell over the whole grid cell of its view, so a slot's name
// wraps under its thumbnail across the cell's width instead of being cut to
// the thumbnail's. Does not own the view. UI thread only.
class SlotCellDelegate : public QStyledItemDelegate {
public:
    explicit SlotCellDelegate(QListView* view);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QListView* view_;
};
