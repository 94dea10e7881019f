#include "app/EditorView.h"

#include <QFileInfo>
#include <QItemSelectionModel>

#include "app/ImageDecoder.h"
#include "app/LiveDock.h"
#include "app/SlotCellDelegate.h"
#include "app/SlotListModel.h"
#include "app/ThemeSession.h"
#include "model/MiscKit.h"
#include "ui_EditorView.h"

namespace {

QString sizeText(double width, double height) {
    return QStringLiteral("%1x%2").arg(width, 0, 'f', 0).arg(height, 0, 'f', 0);
}

}  // namespace

EditorView::EditorView(ThemeSession& session, QWidget* parent)
    : QObject(new QWidget(parent)),
      session_(session),
      ui_(std::make_unique<Ui::EditorView>()),
      widget_(static_cast<QWidget*>(QObject::parent())) {
    ui_->setupUi(widget_);
    slots_ = new SlotListModel(session_.decoder(), this);
    QListView* list = ui_->listOfImages;
    list->setModel(slots_);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setItemDelegate(new SlotCellDelegate(list));
    // The browser's items are not reordered by dragging.
    list->setDragDropMode(QAbstractItemView::NoDragDrop);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EditorView::updateSelection);
    connect(list, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { emit slotActivated(index.row()); });
    connect(&session_, &ThemeSession::opened, this, &EditorView::themeOpened);
    connect(&session_, &ThemeSession::reloaded, this, &EditorView::themeReloaded);
    connect(&session_, &ThemeSession::closed, this, [this] {
        slots_->setTheme(nullptr, DockCategory::TwoD);
        emit categoryChanged(DockCategory::TwoD);
        clearPanel();
    });
    connect(&session_, &ThemeSession::slotChanged, this, &EditorView::showSlot);
    setThumbnailSide(64);

    liveDock_ = new LiveDock(session_, ui_->live_dock_panel);
    ui_->liveDockLayout->insertWidget(0, liveDock_, 1);
    for (const auto& [label, tile] : DockScene::sizeSteps()) {
        ui_->live_dock_size->addItem(label, tile);
    }
    setLiveDockSize(liveDock_->tileSize());
    connect(ui_->live_dock_size, &QComboBox::activated, this, [this] {
        const int tile = ui_->live_dock_size->currentData().toInt();
        liveDock_->setTileSize(tile);
        emit liveDockSizeChosen(tile);
        updateSelection();  // the sizes that draw the slot
    });
    connect(ui_->live_dock_larger, &QPushButton::clicked, this, &EditorView::largerViewWanted);
    connect(liveDock_, &LiveDock::hovered, this,
            [this](const QString& key) { slots_->setHighlighted(key.toStdString()); });
    connect(liveDock_, &LiveDock::clicked, this, [this](const QString& key) {
        if (const int row = slots_->rowOf(key.toStdString()); row >= 0) {
            showSlot(category(), row);
        }
    });
    connect(liveDock_, &LiveDock::dropped, this, [this](const QString& key, const QString& path) {
        if (const int row = slots_->rowOf(key.toStdString()); row >= 0) {
            showSlot(category(), row);
            emit slotImageDropped(path);
        }
    });
    connect(this, &EditorView::categoryChanged, liveDock_, &LiveDock::setCategory);
    updateSelection();
}

EditorView::~EditorView() = default;

DockCategory EditorView::category() const {
    return slots_->category();
}

void EditorView::setCategory(DockCategory category) {
    if (category == slots_->category()) {
        return;
    }
    const std::string key = selectedKey();
    slots_->setCategory(category);
    emit categoryChanged(category);
    // The panel never shows a slot of the other category.
    selectKey(key);
}

void EditorView::setThumbnailSide(int side) {
    ui_->listOfImages->setIconSize(QSize(side, side));
    // Room for a name of two lines.
    ui_->listOfImages->setGridSize(QSize(side + 56, side + 56));
    slots_->setThumbnailSide(side);
}

const DockTheme::SlotList* EditorView::slotList() const {
    const DockTheme* theme = session_.theme();
    return theme ? &theme->slotList(slots_->category()) : nullptr;
}

int EditorView::slotCount() const {
    return slots_->rowCount();
}

QList<int> EditorView::selectedSlots() const {
    QList<int> rows;
    for (const QModelIndex& index : ui_->listOfImages->selectionModel()->selectedIndexes()) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void EditorView::selectSlots(const QList<int>& rows) {
    QItemSelection chosen;
    for (int row : rows) {
        QModelIndex index = slots_->index(row);
        chosen.select(index, index);
    }
    ui_->listOfImages->selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
}

const ImageObjectView* EditorView::selectedItem() const {
    const QList<int> rows = selectedSlots();
    return rows.size() == 1 ? slots_->item(rows.first()) : nullptr;
}

void EditorView::showSlot(DockCategory category, int row) {
    // The browser shows the category the slot belongs to, with the slot selected.
    slots_->setTheme(session_.theme(), category);
    emit categoryChanged(category);
    QModelIndex index = slots_->index(row);
    ui_->listOfImages->selectionModel()->setCurrentIndex(index,
                                                         QItemSelectionModel::ClearAndSelect);
    ui_->listOfImages->scrollTo(index);
}

bool EditorView::showKey(const std::string& key) {
    const DockTheme* theme = session_.theme();
    if (!theme || key.empty()) {
        return false;
    }
    // The key's own category first; a key listed only in the other one is found there.
    const DockCategory own = MiscKit::categoryForKey(key).value_or(DockCategory::TwoD);
    const DockCategory second =
        own == DockCategory::TwoD ? DockCategory::ThreeD : DockCategory::TwoD;
    for (DockCategory category : {own, second}) {
        const DockTheme::SlotList& list = theme->slotList(category);
        for (std::size_t row = 0; row < list.size(); ++row) {
            if (list[row]->keyDock() == key) {
                showSlot(category, static_cast<int>(row));
                return true;
            }
        }
    }
    return false;
}

QRect EditorView::cellFrame(int row) const {
    QRect cell = ui_->listOfImages->visualRect(slots_->index(row));
    return {ui_->listOfImages->viewport()->mapToGlobal(cell.topLeft()), cell.size()};
}

void EditorView::setDropResponder(DropResponder* responder) {
    ui_->selection_preview->setResponderClass(responder);
}

bool EditorView::isSelectionPicture(const DragDropImageView* view) const {
    return view == ui_->selection_preview;
}

void EditorView::setLiveDockShown(bool shown) {
    ui_->live_dock_panel->setVisible(shown);
    if (shown) {
        liveDock_->redraw();
    }
}

bool EditorView::isLiveDockShown() const {
    return !ui_->live_dock_panel->isHidden();
}

void EditorView::setLiveDockSize(int tileSize) {
    const int index = ui_->live_dock_size->findData(tileSize);
    if (index >= 0) {
        ui_->live_dock_size->setCurrentIndex(index);
        liveDock_->setTileSize(tileSize);
    }
}

int EditorView::liveDockSize() const {
    return liveDock_->tileSize();
}

void EditorView::themeOpened() {
    // A theme opens on its 2D images, nothing selected.
    slots_->setTheme(session_.theme(), DockCategory::TwoD);
    emit categoryChanged(DockCategory::TwoD);
    clearPanel();
}

void EditorView::themeReloaded() {
    const std::string key = selectedKey();
    slots_->setTheme(session_.theme(), slots_->category());
    selectKey(key);
}

std::string EditorView::selectedKey() const {
    const ImageObjectView* item = selectedItem();
    return item ? item->keyDock() : std::string();
}

void EditorView::selectKey(const std::string& key) {
    const int row = key.empty() ? -1 : slots_->rowOf(key);
    if (row < 0) {
        clearPanel();
        return;
    }
    ui_->listOfImages->selectionModel()->setCurrentIndex(slots_->index(row),
                                                         QItemSelectionModel::ClearAndSelect);
}

void EditorView::updateSelection() {
    const ImageObjectView* item = selectedItem();
    Ui::EditorView& ui = *ui_;
    if (!item || !session_.theme()) {
        session_.decoder().cancel(ui.selection_preview);
        ui.selection_filename->setText(tr("No Selection"));
        ui.selection_preview->setImage(QImage());
        ui.selection_bestSize->clear();
        ui.selection_alertSize->clear();
        ui.selection_drawnAt->clear();
        liveDock_->setSelectedKey(QString());
        return;
    }
    const std::string key = item->keyDock();
    const QString path = QString::fromStdString(item->path());
    const MiscKit& catalogue = MiscKit::sharedFiles();
    ui.selection_filename->setText(QFileInfo(path).fileName());
    ui.selection_naturalTitle->setText(
        QString::fromStdString(catalogue.getNaturalNameForKey(key).value_or("")));
    ui.selection_description->clear();
    ui.selection_description->insertPlainText(
        QString::fromStdString(catalogue.getDescriptionForKey(key).value_or("")));
    DockSize best = catalogue.getSizeForFileKey(key);
    ui.selection_bestSize->setText(sizeText(best.width, best.height));
    const QStringList sizes =
        DockScene::sizesDrawing(QString::fromStdString(key), styleForCategory(category()));
    ui.selection_drawnAt->setText(sizes.isEmpty() ? tr("no size of the stand-in Dock")
                                                  : sizes.join(QStringLiteral(", ")));
    liveDock_->setSelectedKey(QString::fromStdString(key));

    // The picture and its size in pixels come from the decoder, at most at the panel's size.
    ui.selection_preview->setImage(QImage());
    session_.decoder().request(
        ui.selection_preview, {session_.theme()->bundleFolder(), path},
        ui.selection_preview->size().expandedTo(QSize(256, 256)),
        [this, key](const QImage& image, QSize size) { showSelectedImage(image, size, key); });
}

void EditorView::clearPanel() {
    // A model reset drops the selection without a signal: the panel is told here, and keeps
    // nothing of a slot the list no longer shows.
    updateSelection();
    ui_->selection_naturalTitle->setText(tr("No Selection"));
    ui_->selection_size->clear();
    ui_->selection_description->clear();
}

void EditorView::showSelectedImage(const QImage& image, const QSize& size, const std::string& key) {
    const float width = size.isValid() ? static_cast<float>(size.width()) : 0.0f;
    const float height = size.isValid() ? static_cast<float>(size.height()) : 0.0f;
    ui_->selection_size->setText(sizeText(width, height));
    ui_->selection_preview->setImage(image);
    DockSize best = MiscKit::sharedFiles().getSizeForFileKey(key);
    bool tooBig = size.isValid() && (width > best.width || height > best.height);
    ui_->selection_alertSize->setText(tooBig ? tr("Size is too big") : QString());
}
