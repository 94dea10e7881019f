#include "app/LiveDock.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <map>

#include "app/Background.h"
#include "app/ThemeSession.h"
#include "dock/DockImages.h"
#include "dock/DockRenderer.h"
#include "model/MiscKit.h"

namespace {

QString naturalName(const QString& key) {
    return QString::fromStdString(
        MiscKit::sharedFiles().getNaturalNameForKey(key.toStdString()).value_or(key.toStdString()));
}

// The first local file of a drop, or nothing.
QString droppedFile(const QMimeData* data) {
    for (const QUrl& url : data ? data->urls() : QList<QUrl>()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}

// A piece of the live Dock for screen readers: named by its slot, pressed to select it.
class PieceAccessible : public QAccessibleInterface {
public:
    PieceAccessible(LiveDock* dock, int piece) : dock_(dock), piece_(piece) {}
    bool isValid() const override {
        return dock_ && piece_ < static_cast<int>(dock_->pieces().size());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return dock_->window()->windowHandle(); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(dock_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? naturalName(key()) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect local = dock_->pieceRect(piece_);
        return {dock_->mapToGlobal(local.topLeft()), local.size()};
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override { return {}; }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface
                   ? static_cast<QAccessibleActionInterface*>(&actions_)
                   : nullptr;
    }

private:
    // Press selects the piece's slot.
    class Actions : public QAccessibleActionInterface {
    public:
        explicit Actions(PieceAccessible& piece) : piece_(piece) {}
        QStringList actionNames() const override { return {pressAction()}; }
        void doAction(const QString& name) override {
            if (name == pressAction() && piece_.isValid()) {
                emit piece_.dock_->clicked(piece_.key());
            }
        }
        QStringList keyBindingsForAction(const QString&) const override { return {}; }

    private:
        PieceAccessible& piece_;
    };
    QString key() const { return dock_->pieces()[std::size_t(piece_)].key; }

    QPointer<LiveDock> dock_;
    int piece_;
    Actions actions_{*this};
};

// The pane: "Live Dock", its pieces its children.
class LiveDockAccessible : public QAccessibleWidget {
public:
    explicit LiveDockAccessible(LiveDock* dock) : QAccessibleWidget(dock, QAccessible::Graphic) {}
    int childCount() const override { return static_cast<int>(dock()->pieces().size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        auto& made = children_[index];
        if (!made) {
            made = QAccessible::registerAccessibleInterface(new PieceAccessible(dock(), index));
        }
        return QAccessible::accessibleInterface(made);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : children_) {
            if (QAccessible::accessibleInterface(id) == child) {
                return index;
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int piece = dock()->pieceAt(dock()->mapFromGlobal(QPoint(x, y)));
        return piece >= 0 ? child(piece) : nullptr;
    }
    // The pieces change with every drawing.
    void forget() {
        for (const auto& [index, id] : children_) {
            QAccessible::deleteAccessibleInterface(id);
        }
        children_.clear();
    }
    ~LiveDockAccessible() override { forget(); }

private:
    LiveDock* dock() const { return static_cast<LiveDock*>(widget()); }
    mutable std::map<int, QAccessible::Id> children_;
};

QAccessibleInterface* liveDockFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("LiveDock") && object && object->isWidgetType()) {
        return new LiveDockAccessible(static_cast<LiveDock*>(object));
    }
    return nullptr;
}

}  // namespace

LiveDock::LiveDock(ThemeSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    static const bool installed = (QAccessible::installFactory(liveDockFactory), true);
    (void)installed;
    worker_.setMaxThreadCount(1);
    setAccessibleName(tr("Live Dock"));
    setAccessibleDescription(
        tr("The theme's Dock as the stand-in Dock draws it; each piece names its image"));
    setMouseTracking(true);
    setAcceptDrops(true);
    setMinimumHeight(90);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    connect(&session_, &ThemeSession::opened, this, &LiveDock::redraw);
    connect(&session_, &ThemeSession::reloaded, this, &LiveDock::redraw);
    connect(&session_, &ThemeSession::slotChanged, this, &LiveDock::redraw);
    connect(&session_, &ThemeSession::closed, this, &LiveDock::redraw);
    connect(&session_, &ThemeSession::picturesChanged, this, &LiveDock::redraw);
}

LiveDock::~LiveDock() {
    worker_.waitForDone();
}

void LiveDock::setCategory(DockCategory category) {
    if (category != category_) {
        category_ = category;
        redraw();
    }
}

void LiveDock::setTileSize(int tileSize) {
    if (tileSize != tile_) {
        tile_ = tileSize;
        redraw();
    }
}

void LiveDock::redraw() {
    if (!isVisible()) {
        missed_ = true;
        return;
    }
    if (drawing_) {
        again_ = true;  // once the running one is back, with what is asked last
        return;
    }
    start();
}

void LiveDock::setSelectedKey(const QString& key) {
    if (key != selected_) {
        selected_ = key;
        update();
    }
}

int LiveDock::pieceAt(QPoint point) const {
    const QRectF shown = shownRect();
    if (picture_.isNull() || !shown.contains(point)) {
        return -1;
    }
    const qreal scale = shown.width() / picture_.width();
    const QPointF inScene = (QPointF(point) - shown.topLeft()) / scale;
    // The topmost: the one drawn last.
    for (int piece = static_cast<int>(pieces_.size()) - 1; piece >= 0; --piece) {
        if (pieces_[std::size_t(piece)].rect.contains(inScene)) {
            return piece;
        }
    }
    return -1;
}

QRect LiveDock::pieceRect(int piece) const {
    if (piece < 0 || piece >= static_cast<int>(pieces_.size()) || picture_.isNull()) {
        return {};
    }
    const QRectF shown = shownRect();
    const qreal scale = shown.width() / picture_.width();
    const QRectF rect = pieces_[std::size_t(piece)].rect;
    return QRectF(shown.topLeft() + rect.topLeft() * scale, rect.size() * scale).toAlignedRect();
}

ThemePreview::Sources LiveDock::sources() const {
    const DockTheme* theme = session_.theme();
    return theme ? ThemePreview::sourcesOf(*theme) : ThemePreview::Sources();
}

QImage LiveDock::draw(const ThemePreview::Sources& sources, DockStyle style, int tileSize,
                      bool overDesktop, std::vector<DockScene::Piece>* pieces) {
    const DockImages images = ThemePreview::decode(sources);
    DockScene scene(images, style, tileSize);
    scene.setStackOpen(true);
    if (pieces) {
        *pieces = scene.pieces();
    }
    return overDesktop ? DockRenderer::render(scene)
                       : ThemePreview::paint(images, style, tileSize, true);
}

QSize LiveDock::sizeHint() const {
    return {480, 150};
}

void LiveDock::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A dark desk under the Dock, so its glass and lights show.
    painter.fillRect(rect(), QColor(40, 36, 72));
    if (picture_.isNull()) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter,
                         session_.theme() ? tr("Drawing the Dock…") : QString());
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(shownRect(), picture_);
    painter.setBrush(Qt::NoBrush);
    for (int piece = 0; piece < static_cast<int>(pieces_.size()); ++piece) {
        const bool selected = !selected_.isEmpty() && pieces_[std::size_t(piece)].key == selected_;
        if (selected || piece == hovered_) {
            painter.setPen(QPen(selected ? QColor(255, 200, 40) : QColor(255, 255, 255, 200), 2,
                                selected ? Qt::SolidLine : Qt::DashLine));
            painter.drawRect(pieceRect(piece).adjusted(-1, -1, 1, 1));
        }
    }
}

void LiveDock::mouseMoveEvent(QMouseEvent* event) {
    const int piece = pieceAt(event->position().toPoint());
    if (piece != hovered_) {
        hovered_ = piece;
        update();
        emit hovered(piece >= 0 ? pieces_[std::size_t(piece)].key : QString());
    }
}

void LiveDock::mousePressEvent(QMouseEvent* event) {
    const int piece = pieceAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && piece >= 0) {
        emit clicked(pieces_[std::size_t(piece)].key);
    }
}

void LiveDock::leaveEvent(QEvent*) {
    if (hovered_ >= 0) {
        hovered_ = -1;
        update();
        emit hovered(QString());
    }
}

void LiveDock::showEvent(QShowEvent*) {
    if (std::exchange(missed_, false)) {
        redraw();
    }
}

void LiveDock::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void LiveDock::dragMoveEvent(QDragMoveEvent* event) {
    // Taken only over a piece, as a copy: the dragged file stays where it is.
    if (pieceAt(event->position().toPoint()) >= 0 && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void LiveDock::dropEvent(QDropEvent* event) {
    const int piece = pieceAt(event->position().toPoint());
    const QString file = droppedFile(event->mimeData());
    if (piece < 0 || file.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit dropped(pieces_[std::size_t(piece)].key, file);
}

bool LiveDock::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int piece = pieceAt(help->pos());
        if (piece >= 0) {
            QToolTip::showText(help->globalPos(), naturalName(pieces_[std::size_t(piece)].key),
                               this, pieceRect(piece));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

QRectF LiveDock::shownRect() const {
    if (picture_.isNull()) {
        return {};
    }
    // The whole Dock fits, never larger than it is; at the pane's bottom, centred.
    const qreal scale =
        std::min({1.0, qreal(width()) / picture_.width(), qreal(height()) / picture_.height()});
    const QSizeF size = QSizeF(picture_.size()) * scale;
    return {QPointF((width() - size.width()) / 2, height() - size.height()), size};
}

void LiveDock::start() {
    missed_ = false;
    drawing_ = true;
    again_ = false;
    ++drawings_;
    struct Drawn {
        QImage picture;
        std::vector<DockScene::Piece> pieces;
    };
    Background::run(
        &worker_, this,
        [sources = sources(), style = styleForCategory(category_), tile = tile_] {
            Drawn drawn;
            if (!sources.empty()) {
                drawn.picture = draw(sources, style, tile, false, &drawn.pieces);
            }
            return drawn;
        },
        [this](const Drawn& result) {
            drawing_ = false;
            if (again_) {
                start();  // newer edits came meanwhile: this picture is already old
                return;
            }
            picture_ = result.picture;
            pieces_ = result.pieces;
            hovered_ = -1;
            if (auto* accessible = dynamic_cast<LiveDockAccessible*>(
                    QAccessible::queryAccessibleInterface(this))) {
                accessible->forget();
            }
            update();
            emit drawn();
        });
}
