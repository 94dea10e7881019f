#include "app/CollectionModel.h"

#include <QPainter>
#include <QTimer>

#include <filesystem>

#include "app/Background.h"
#include "image/ImageFile.h"
#include "model/MiscKit.h"
#include "model/ThemeCheck.h"

namespace {

// How long after the items are set the checks may start, and how often it is
// looked at again while thumbnails are pending.
constexpr int kCheckDelayMs = 100;

// The bundle holding a collection item's micro preview.
std::string bundleOf(const ImageObjectView& item) {
    return std::filesystem::path(item.keyDock()).parent_path().string();
}

// The tooltip of the theme opened as folder (nothing: it would not open, which
// the check of its path tells), whose micro preview is at preview.
QString toolTipOf(const BundleFolder* folder, const std::string& bundle,
                  const std::string& preview) {
    const MiscKit& catalogue = MiscKit::sharedFiles();
    std::optional<std::string> error = ThemeCheck::firstError(
        folder ? ThemeCheck::check(*folder, catalogue, ImageFile::readerSize)
               : ThemeCheck::check(bundle, catalogue, ImageFile::readerSize));
    return error ? CollectionModel::tr("Invalid theme: %1").arg(QString::fromStdString(*error))
                 : QString::fromStdString(preview);
}

}  // namespace

CollectionModel::CollectionModel(QObject* parent) : QAbstractListModel(parent) {
    checkThread_.setMaxThreadCount(1);
    connect(&thumbnails_, &ImageDecoder::ready, this, &CollectionModel::thumbnailReady);
}

CollectionModel::~CollectionModel() {
    if (stopChecks_) {
        *stopChecks_ = true;
    }
    checkThread_.waitForDone();
}

void CollectionModel::setItems(std::vector<ImageObjectView> items) {
    beginResetModel();
    items_ = std::move(items);
    rowOfPath_.clear();
    toolTips_.clear();
    folders_.clear();
    // Opened here, on the thread that listed them: one open call a bundle.
    for (std::size_t row = 0; row < items_.size(); ++row) {
        rowOfPath_.insert(QString::fromStdString(items_[row].path()), static_cast<int>(row));
        folders_.push_back(BundleFolder::open(bundleOf(items_[row])));
    }
    unchecked_ = !items_.empty();
    endResetModel();
    if (stopChecks_) {
        *stopChecks_ = true;
    }
    ++checkRun_;
    // The view asks for its thumbnails when it next paints.
    QTimer::singleShot(kCheckDelayMs, this, &CollectionModel::startChecksWhenIdle);
}

void CollectionModel::setUpdate(const std::string& bundle, const QString& version) {
    const QString key = QString::fromStdString(bundle);
    if (version.isEmpty()) {
        updates_.remove(key);
    } else {
        updates_.insert(key, version);
    }
    for (std::size_t row = 0; row < items_.size(); ++row) {
        if (bundleOf(items_[row]) == bundle) {
            emit dataChanged(index(int(row)), index(int(row)));
        }
    }
}

std::string CollectionModel::bundleAt(int row) const {
    return row >= 0 && std::size_t(row) < items_.size() ? bundleOf(items_[std::size_t(row)])
                                                        : std::string();
}

int CollectionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant CollectionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= static_cast<int>(items_.size())) {
        return {};
    }
    const ImageObjectView& item = items_[static_cast<std::size_t>(index.row())];
    const QString update = updates_.value(QString::fromStdString(bundleOf(item)));
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(item.imageTitle());
        case Qt::AccessibleTextRole:
            return update.isEmpty() ? QString::fromStdString(item.imageTitle())
                                    : tr("%1, update %2 available")
                                          .arg(QString::fromStdString(item.imageTitle()), update);
        case Qt::ToolTipRole: {
            const QString tip = toolTips_.value(index.row(), tr("Checking the theme…"));
            return update.isEmpty() ? tip : tr("Update %1 available\n%2").arg(update, tip);
        }
        case Qt::DecorationRole: {
            QPixmap thumbnail = thumbnails_.thumbnail(
                {folders_[std::size_t(index.row())], QString::fromStdString(item.path())},
                kThumbnailBox);
            if (thumbnail.isNull()) {
                thumbnail = ImageDecoder::placeholder(kThumbnailBox);
            }
            if (!update.isEmpty()) {
                // The badge: a dot in the top right corner, as file managers mark news.
                QPainter painter(&thumbnail);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setPen(QPen(Qt::white, 2));
                painter.setBrush(QColor(220, 60, 40));
                const int side = std::max(10, thumbnail.height() / 4);
                painter.drawEllipse(thumbnail.width() - side - 2, 2, side, side);
            }
            return thumbnail;
        }
        default:
            return {};
    }
}

void CollectionModel::thumbnailReady(const QString& path) {
    auto row = rowOfPath_.constFind(path);
    if (row != rowOfPath_.constEnd()) {
        emit dataChanged(index(*row), index(*row), {Qt::DecorationRole});
    }
}

void CollectionModel::startChecksWhenIdle() {
    if (!unchecked_) {
        return;
    }
    if (thumbnails_.pending() > 0) {
        QTimer::singleShot(kCheckDelayMs, this, &CollectionModel::startChecksWhenIdle);
        return;
    }
    stopChecks_ = std::make_shared<std::atomic_bool>(false);
    // One check a theme, one after another on the model's own thread; the
    // checks of a run whose items went are skipped and their results dropped.
    for (std::size_t row = 0; row < items_.size(); ++row) {
        Background::run(
            &checkThread_, this,
            [stop = stopChecks_, folder = folders_[row], bundle = bundleOf(items_[row]),
             preview = items_[row].keyDock()] {
                return *stop ? QString() : toolTipOf(folder.get(), bundle, preview);
            },
            [this, row](const QString& toolTip) { checked(int(row), toolTip); },
            [this, run = checkRun_] { return run == checkRun_; });
    }
    unchecked_ = false;
}

void CollectionModel::checked(int row, const QString& toolTip) {
    toolTips_.insert(row, toolTip);
    emit dataChanged(index(row), index(row), {Qt::ToolTipRole});
}
