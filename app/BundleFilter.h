#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

// The file dialog's filter for bundles: shows folders (to walk through) and
// bundles of the given types (folders named "<name>.<type>"), and with
// archives theme archives too; hides every other file. The type is compared exactly, as the
// system's file types are. GUI thread only.
class BundleFilter : public QSortFilterProxyModel {
public:
    BundleFilter(QStringList types, bool archives, QObject* parent);

    // Whether path names a bundle of one of types: a folder whose name ends in "." and the type.
    static bool isBundle(const QString& path, const QStringList& types);
    // Whether path is a file named as an archive ThemeArchive reads.
    static bool isThemeArchive(const QString& path);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    QStringList types_;
    bool archives_;
};
