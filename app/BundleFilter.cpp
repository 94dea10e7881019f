#include "app/BundleFilter.h"

#include <QFileInfo>
#include <QFileSystemModel>

#include "model/ThemeArchive.h"

BundleFilter::BundleFilter(QStringList types, bool archives, QObject* parent)
    : QSortFilterProxyModel(parent), types_(std::move(types)), archives_(archives) {}

bool BundleFilter::isBundle(const QString& path, const QStringList& types) {
    QFileInfo info(path);
    if (!info.isDir()) {
        return false;
    }
    QString name = info.fileName();
    for (const QString& type : types) {
        if (name.size() > type.size() + 1 && name.endsWith(QLatin1Char('.') + type)) {
            return true;
        }
    }
    return false;
}

bool BundleFilter::isThemeArchive(const QString& path) {
    return QFileInfo(path).isFile() && ThemeArchive::isArchiveName(path.toStdString());
}

bool BundleFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
    auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
    if (!files) {
        return true;
    }
    QModelIndex index = files->index(row, 0, parent);
    return files->isDir(index) ||
           (archives_ && ThemeArchive::isArchiveName(files->fileName(index).toStdString()));
}
