#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QSize>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <vector>

#include "app/ImageDecoder.h"
#include "model/ImageObjectView.h"
#include "platform/BundleFolder.h"

// The themes of the collection for its browser: one item per theme bundle,
// whose path and key are the bundle's micro preview. Each bundle is opened
// once when the items are set (BundleFolder, held while they are shown), and
// its preview and its check both read through that folder, so no link inside
// the bundle leads either elsewhere. Shows the theme's name (its folder's
// name without ".docktheme") over the micro preview's thumbnail, which an
// ImageDecoder of the model's own decodes in a worker, as the slot browser's
// are. A theme's tooltip says the first error of its check (ThemeCheck,
// headers only); a clean theme's is its preview's path.
// Every theme is checked once the items are set and the thumbnails asked for
// have been decoded (so that the checks don't slow the pictures down), one
// after another on the model's own worker thread, and each result comes back
// on the UI thread; until then the tooltip says the check is under way. A
// theme with an update found (setUpdate) wears a badge on its thumbnail, and
// its tooltip and accessible text name the version. Setting items again
// cancels the checks of the old ones; the destructor waits for the worker.
// UI thread only.
class CollectionModel : public QAbstractListModel {
    Q_OBJECT

public:
    // The previews are wide pictures of a Dock: thumbnails keep that shape.
    static constexpr QSize kThumbnailBox{128, 64};

    explicit CollectionModel(QObject* parent = nullptr);
    ~CollectionModel() override;

    // Replaces every item, opening each one's bundle, and asks the view to reload.
    void setItems(std::vector<ImageObjectView> items);
    const std::vector<ImageObjectView>& items() const { return items_; }
    // Forgets every decoded thumbnail (the window closed): rows decode
    // theirs again when next painted.
    void releaseThumbnails() { thumbnails_.releaseThumbnails(); }
    // Thumbnails still being decoded.
    int pendingThumbnails() const { return thumbnails_.pending(); }
    // Whether every theme's check has come back.
    bool checksDone() const { return std::size_t(toolTips_.size()) == items_.size(); }
    // Marks the theme whose bundle is at bundle as having the update version
    // (empty: none); kept across setItems for the same bundle.
    void setUpdate(const std::string& bundle, const QString& version);
    // The bundle of row.
    std::string bundleAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void thumbnailReady(const QString& path);
    // Starts checking the themes waiting for it once no thumbnail is pending
    // (looked at again a little later while one is).
    void startChecksWhenIdle();
    // The tooltip of row from the checks of the current items.
    void checked(int row, const QString& toolTip);

    std::vector<ImageObjectView> items_;
    // Each item's bundle, opened once; nothing where it would not open.
    std::vector<std::shared_ptr<const BundleFolder>> folders_;
    QHash<QString, int> rowOfPath_;
    QHash<int, QString> toolTips_;
    QHash<QString, QString> updates_;  // bundle path → version of the update found
    mutable ImageDecoder thumbnails_;
    bool unchecked_ = false;  // the checks of the items wait to start
    int checkRun_ = 0;
    std::shared_ptr<std::atomic_bool> stopChecks_;  // the worker's run stops when set
    QThreadPool checkThread_;                       // one thread
};
