#include "app/CollectionModel.h"

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

// The tooltip of the theme at bundle, whose micro preview is at preview.
QString toolTipOf(const std::string& bundle, const std::string& preview) {
    std::optional<std::string> error = ThemeCheck::firstError(
        ThemeCheck::check(bundle, MiscKit::sharedFiles(), ImageFile::readerSize));
    return error ? QStringLiteral("Invalid theme: %1").arg(QString::fromStdString(*error))
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
    unchecked_.clear();
    for (std::size_t row = 0; row < items_.size(); ++row) {
        rowOfPath_.insert(QString::fromStdString(items_[row].path()), static_cast<int>(row));
        const std::string& preview = items_[row].keyDock();
        unchecked_.emplace_back(std::filesystem::path(preview).parent_path().string(), preview);
    }
    endResetModel();
    if (stopChecks_) {
        *stopChecks_ = true;
    }
    ++checkRun_;
    // The view asks for its thumbnails when it next paints.
    QTimer::singleShot(kCheckDelayMs, this, &CollectionModel::startChecksWhenIdle);
}

int CollectionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant CollectionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= static_cast<int>(items_.size())) {
        return {};
    }
    const ImageObjectView& item = items_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return QString::fromStdString(item.imageTitle());
        case Qt::ToolTipRole:
            return toolTips_.value(index.row(), QStringLiteral("Checking the theme…"));
        case Qt::DecorationRole: {
            QPixmap thumbnail =
                thumbnails_.thumbnail(QString::fromStdString(item.path()), kThumbnailBox);
            return thumbnail.isNull() ? ImageDecoder::placeholder(kThumbnailBox) : thumbnail;
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
    if (unchecked_.empty()) {
        return;
    }
    if (thumbnails_.pending() > 0) {
        QTimer::singleShot(kCheckDelayMs, this, &CollectionModel::startChecksWhenIdle);
        return;
    }
    stopChecks_ = std::make_shared<std::atomic_bool>(false);
    // One check a theme, one after another on the model's own thread; the
    // checks of a run whose items went are skipped and their results dropped.
    for (std::size_t row = 0; row < unchecked_.size(); ++row) {
        Background::run(
            &checkThread_, this,
            [stop = stopChecks_, theme = unchecked_[row]] {
                return *stop ? QString() : toolTipOf(theme.first, theme.second);
            },
            [this, row](const QString& toolTip) { checked(int(row), toolTip); },
            [this, run = checkRun_] { return run == checkRun_; });
    }
    unchecked_.clear();
}

void CollectionModel::checked(int row, const QString& toolTip) {
    toolTips_.insert(row, toolTip);
    emit dataChanged(index(row), index(row), {Qt::ToolTipRole});
}
