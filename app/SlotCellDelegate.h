#pragma once

#include <QStyledItemDelegate>

class QListView;

// Draws a browser cell over the whole grid cell of its view, so a slot's name
// wraps under its thumbnail across the cell's width instead of being cut to
// the thumbnail's, and draws the thumbnail (decoded at one of a few fixed
// sizes, never smaller than shown) scaled to the view's icon size. Does not
// own the view. UI thread only.
class SlotCellDelegate : public QStyledItemDelegate {
public:
    explicit SlotCellDelegate(QListView* view);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    QListView* view_;
};
