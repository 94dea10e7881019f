#include "app/SlotListModel.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>

#include "model/MiscKit.h"

namespace {

constexpr int kThumbnail = 128;
// Images larger than this are not decoded (a theme from a stranger may hold anything).
constexpr int kAllocationLimitMb = 64;

}  // namespace

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
            return thumbnail(item.path());
        default:
            return {};
    }
}

QIcon SlotListModel::thumbnail(const std::string& path) const {
    QFileInfo info(QString::fromStdString(path));
    QString key = QStringLiteral("%1|%2|%3")
                      .arg(info.filePath())
                      .arg(info.lastModified().toMSecsSinceEpoch())
                      .arg(info.size());
    auto cached = thumbnails_.constFind(key);
    if (cached != thumbnails_.constEnd()) {
        return *cached;
    }
    QImageReader reader(info.filePath());
    reader.setAllocationLimit(kAllocationLimitMb);
    QSize size = reader.size();
    if (size.isValid() && (size.width() > kThumbnail || size.height() > kThumbnail)) {
        reader.setScaledSize(size.scaled(kThumbnail, kThumbnail, Qt::KeepAspectRatio));
    }
    QIcon icon(QPixmap::fromImage(reader.read()));
    thumbnails_.insert(key, icon);
    return icon;
}
