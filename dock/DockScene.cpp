#include "dock/DockScene.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <map>
#include <mutex>

#include "dock/DockImages.h"
#include "model/MiscKit.h"

namespace {

using Icon = DockIcons::Icon;

struct GridEntry {
    const char* name;
    Icon icon;
};
constexpr GridEntry kGrid[] = {
    {"Report.pdf", Icon::Document}, {"Beach.jpg", Icon::Picture},  {"Projects", Icon::Folder},
    {"Notes.txt", Icon::Document},  {"Sunset.png", Icon::Picture}, {"Archive", Icon::Folder},
};
constexpr int kGridColumns = 3;
constexpr int kGridRows = 2;

bool usable(const QImage* image) {
    return image && image->width() > 0 && image->height() > 0;
}

// Draws image across target with its two ends kept in proportion (capWidth
// source pixels each) and its middle stretched.
void threeSlice(QPainter& p, const QImage& image, const QRectF& target, qreal capWidth) {
    const qreal w = image.width(), h = image.height();
    qreal cap = std::clamp(capWidth, 0.0, std::floor(w / 2));
    qreal drawn = cap * target.height() / h;
    if (2 * drawn > target.width()) {
        drawn = target.width() / 2;
    }
    QRectF middleSource(cap, 0, w - 2 * cap, h);
    if (middleSource.width() < 1) {
        middleSource = QRectF(std::floor(w / 2), 0, 1, h);
    }
    p.drawImage(QRectF(target.left(), target.top(), drawn, target.height()), image,
                QRectF(0, 0, cap, h));
    p.drawImage(
        QRectF(target.left() + drawn, target.top(), target.width() - 2 * drawn, target.height()),
        image, middleSource);
    p.drawImage(QRectF(target.right() - drawn, target.top(), drawn, target.height()), image,
                QRectF(w - cap, 0, cap, h));
}

// Draws image over target keeping its four corners (a quarter of its
// shorter side each) at their own size and stretching the rest.
void nineSlice(QPainter& p, const QImage& image, const QRectF& target) {
    const qreal w = image.width(), h = image.height();
    const qreal cap = std::floor(std::min(w, h) / 4);
    const qreal dx = std::min(cap, target.width() / 2), dy = std::min(cap, target.height() / 2);
    const qreal xs[] = {0, cap, w - cap, w};
    const qreal ys[] = {0, cap, h - cap, h};
    const qreal xt[] = {target.left(), target.left() + dx, target.right() - dx, target.right()};
    const qreal yt[] = {target.top(), target.top() + dy, target.bottom() - dy, target.bottom()};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            QRectF source(xs[column], ys[row], xs[column + 1] - xs[column], ys[row + 1] - ys[row]);
            QRectF to(xt[column], yt[row], xt[column + 1] - xt[column], yt[row + 1] - yt[row]);
            if (source.width() > 0 && source.height() > 0 && to.width() > 0 && to.height() > 0) {
                p.drawImage(to, image, source);
            }
        }
    }
}

// Repeats image over target from its top left corner, at scale.
void tile(QPainter& p, const QImage& image, const QRectF& target, qreal scale) {
    if (target.width() <= 0 || target.height() <= 0) {
        return;
    }
    QBrush brush(image);
    brush.setTransform(QTransform::fromTranslate(target.left(), target.top()).scale(scale, scale));
    p.fillRect(target, brush);
}

QImage drawIcon(Icon icon, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    DockIcons::draw(p, QRectF(0, 0, size, size), icon);
    return image;
}

// The icons drawn at the last few sizes, shared by the scenes of every thread
// (a batch draws a scene per theme, the live Dock one per change): drawing
// them was most of a scene's making. The images are only read once drawn.
QImage cachedIcon(Icon icon, int size) {
    static std::mutex mutex;
    static std::deque<std::pair<std::pair<Icon, int>, QImage>> drawn;
    constexpr std::size_t kKept = 64;
    const std::pair<Icon, int> key(icon, size);
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& [which, image] : drawn) {
        if (which == key) {
            return image;
        }
    }
    if (drawn.size() == kKept) {
        drawn.pop_front();
    }
    drawn.emplace_back(key, drawIcon(icon, size));
    return drawn.back().second;
}

// The icon mirrored below its base, fading out into the glass.
QImage reflection(const QImage& icon) {
    QImage mirrored = icon.mirrored(false, true);
    QPainter p(&mirrored);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QLinearGradient fade(0, 0, 0, mirrored.height() * 0.5);
    fade.setColorAt(0, QColor(0, 0, 0, 105));
    fade.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(mirrored.rect(), fade);
    return mirrored;
}

}  // namespace

DockScene::DockScene(const DockImages& images, DockStyle dockStyle, int tileSize)
    : images_(images),
      dockStyle_(dockStyle),
      tile_(std::clamp(tileSize, kMinTileSize, kMaxTileSize)) {
    const struct {
        Kind kind;
        const char* name;
        Icon icon;
        bool running;
    } items[] = {
        {Kind::Application, "Files", Icon::Files, true},
        {Kind::Application, "Browser", Icon::Browser, true},
        {Kind::Application, "Mail", Icon::Mail, false},
        {Kind::Application, "Calendar", Icon::Calendar, false},
        {Kind::Application, "Music", Icon::Music, true},
        {Kind::Application, "Photos", Icon::Photos, false},
        {Kind::Application, "Settings", Icon::Settings, false},
        {Kind::Application, "Terminal", Icon::Terminal, true},
        {Kind::Separator, "", Icon::Files, false},
        {Kind::Stack, "Downloads", Icon::Downloads, false},
        {Kind::Stack, "Documents", Icon::Documents, false},
        {Kind::Trash, "Trash", Icon::Trash, false},
    };
    for (const auto& item : items) {
        items_.push_back(Item{item.kind, item.name, item.icon, item.running, QRectF()});
        icons_.push_back(item.kind == Kind::Separator ? QImage() : cachedIcon(item.icon, tile_));
    }
    layout();
}

void DockScene::setStackOpen(bool open) {
    if (open != stackOpen_) {
        stackOpen_ = open;
        layout();
    }
}

int DockScene::itemAt(QPointF point) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].rect.contains(point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int DockScene::stackIndex() const {
    // The stack at the end, next to the Trash, is the one that opens.
    for (int i = static_cast<int>(items_.size()) - 1; i >= 0; --i) {
        if (items_[i].kind == Kind::Stack) {
            return i;
        }
    }
    return -1;
}

int DockScene::pieceAt(QPointF point) const {
    for (std::size_t i = pieces_.size(); i-- > 0;) {
        if (pieces_[i].rect.contains(point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<QRectF> DockScene::placesOf(const QString& key) const {
    std::vector<QRectF> places;
    for (const Piece& piece : pieces_) {
        if (piece.key == key) {
            places.push_back(piece.rect);
        }
    }
    return places;
}

void DockScene::paint(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (std::size_t i = 0; i <= pieces_.size(); ++i) {
        if (i == reflectionsAt_ && dockStyle_ == DockStyle::ThreeD) {
            paintReflections(painter);
        }
        if (i == iconsAt_) {
            paintIcons(painter);
        }
        if (i < pieces_.size()) {
            paintPiece(painter, i);
        }
    }
    if (stackOpen_) {
        paintStackGrid(painter);
    }
    painter.restore();
}

QString DockScene::keystoneKey(int tileSize) {
    if (tileSize < 44)
        return "Keystone_Base_SM";
    if (tileSize < 72)
        return "Keystone_Base_M";
    if (tileSize < 104)
        return "Keystone_Base_L";
    return "Keystone_Base_XL";
}

QString DockScene::indicatorKey(DockStyle dockStyle, int tileSize) {
    if (dockStyle != DockStyle::ThreeD) {
        return tileSize < 56 ? "2D_Opened_App_Indicator_S" : "2D_Opened_App_Indicator_M";
    }
    if (tileSize < 44)
        return "Opened_App_Indicator_S";
    if (tileSize < 80)
        return "Opened_App_Indicator_M";
    return "Opened_App_Indicator_L";
}

const std::vector<std::pair<QString, int>>& DockScene::sizeSteps() {
    // One step per floor; Large and Extra large also show the large running light.
    static const std::vector<std::pair<QString, int>> steps = {
        {"Small", 32}, {"Medium", 64}, {"Large", 96}, {"Extra large", 128}};
    return steps;
}

QStringList DockScene::sizesDrawing(const QString& key, DockStyle dockStyle) {
    // The keys each step draws, found by laying out scenes with every image present.
    static const auto drawn = [] {
        QImage dot(8, 8, QImage::Format_ARGB32_Premultiplied);
        dot.fill(Qt::white);
        std::map<QString, QImage> every;
        for (const std::string& fileKey : MiscKit::sharedFiles().fileKeys_List()) {
            every.emplace(QString::fromStdString(fileKey), dot);
        }
        const DockImages images = DockImages::fromImages(std::move(every));
        std::array<std::vector<QStringList>, 2> keys;
        for (DockStyle style : {DockStyle::TwoD, DockStyle::ThreeD}) {
            for (const auto& step : sizeSteps()) {
                DockScene scene(images, style, step.second);
                scene.setStackOpen(true);
                QStringList stepKeys;
                for (const Piece& piece : scene.pieces()) {
                    stepKeys.append(piece.key);
                }
                keys[indexOf(style)].push_back(stepKeys);
            }
        }
        return keys;
    }();
    QStringList labels;
    for (std::size_t i = 0; i < sizeSteps().size(); ++i) {
        if (drawn[indexOf(dockStyle)][i].contains(key)) {
            labels.append(sizeSteps()[i].first);
        }
    }
    return labels;
}

void DockScene::layout() {
    const qreal t = tile_;
    const qreal gap = std::round(t * 0.12);
    qreal row = 0;
    for (const Item& item : items_) {
        row += (item.kind == Kind::Separator ? separatorWidth() : t) + gap;
    }
    row -= gap;

    qreal side = 0, dockHeight = 0;
    if (dockStyle_ == DockStyle::ThreeD) {
        const qreal floorHeight = std::max(8.0, std::round(t * 0.6));
        const QImage* floor = images_.image(keystoneKey(tile_));
        qreal cap = floorHeight * 0.9;
        if (usable(floor)) {
            cap = std::min<qreal>(floor->height(), floor->width() / 2) * floorHeight /
                  floor->height();
            cap = std::min(cap, t * 2);  // a floor image of odd proportions keeps a sane margin
        }
        side = std::round(cap * 0.75 + t * 0.12);
        dockHeight = std::round(floorHeight * 0.42 + t * 1.12);
        dock_ = QRectF(0, 0, row + 2 * side, floorHeight);
    } else {
        const QImage* light = images_.image(indicatorKey(DockStyle::TwoD, tile_));
        qreal lightRoom =
            std::max(std::round(t * 0.2), usable(light) ? light->height() + 6.0 : 0.0);
        lightRoom = std::min(lightRoom, t * 0.5);
        side = std::round(t * 0.2);
        dockHeight = std::round(t * 1.14 + lightRoom);
        dock_ = QRectF(0, 0, row + 2 * side, dockHeight);
    }
    const qreal width = row + 2 * side;

    // The open stack's grid and arrow sit above the Dock.
    qreal above = 0;
    const qreal cell = std::round(t * 1.3);
    const qreal gridPad = std::round(t * 0.25);
    const QImage* arrow = images_.image("Stack_Arrow");
    QSizeF arrowSize = usable(arrow) ? QSizeF(std::min<qreal>(arrow->width(), t * 2),
                                              std::min<qreal>(arrow->height(), t))
                                     : QSizeF(t * 0.6, t * 0.3);
    QSizeF gridSize(kGridColumns * cell + 2 * gridPad, kGridRows * cell + 2 * gridPad);
    if (stackOpen_) {
        above = gridSize.height() + arrowSize.height() + std::round(t * 0.08);
    }
    size_ = QSize(static_cast<int>(std::ceil(std::max(width, gridSize.width()))),
                  static_cast<int>(std::ceil(dockHeight + above)));
    const qreal bottom = size_.height();
    const qreal left = std::round((size_.width() - width) / 2);
    dock_.moveBottomLeft(QPointF(left, bottom));
    iconBottom_ = dockStyle_ == DockStyle::ThreeD ? std::round(bottom - dock_.height() * 0.42)
                                                  : std::round(bottom - (dockHeight - t * 1.14));

    qreal x = left + side;
    for (Item& item : items_) {
        if (item.kind == Kind::Separator) {
            item.rect = QRectF(x, dock_.top(), separatorWidth(), dock_.height());
            x += separatorWidth() + gap;
        } else {
            item.rect = QRectF(x, iconBottom_ - t, t, t);
            x += t + gap;
        }
    }

    grid_ = arrow_ = QRectF();
    if (stackOpen_) {
        const QRectF stack = items_.at(static_cast<std::size_t>(stackIndex())).rect;
        arrow_ = QRectF(QPointF(0, 0), arrowSize);
        arrow_.moveCenter(QPointF(stack.center().x(), 0));
        arrow_.moveBottom(stack.top() - std::round(t * 0.08));
        grid_ = QRectF(QPointF(0, 0), gridSize);
        grid_.moveBottom(arrow_.top() + 1);  // the arrow joins the grid
        qreal gridLeft = std::clamp(stack.center().x() - gridSize.width() / 2, 0.0,
                                    size_.width() - gridSize.width());
        grid_.moveLeft(gridLeft);
    }

    pieces_.clear();
    drawings_.clear();
    if (dockStyle_ == DockStyle::ThreeD) {
        placeGlass();
    } else {
        reflectionsAt_ = 0;
        placeFrame();
    }
    iconsAt_ = pieces_.size();
    if (stackOpen_) {
        placeOpenStack();
    }
}

qreal DockScene::separatorWidth() const {
    const qreal t = tile_;
    if (dockStyle_ == DockStyle::ThreeD) {
        const QImage* divider = images_.image("Separator_3D");
        qreal floorHeight = std::max(8.0, std::round(t * 0.6));
        qreal drawn = usable(divider) ? divider->width() * floorHeight / divider->height() : 0;
        return std::round(std::clamp(drawn + 4, t * 0.35, t));
    }
    const QImage* divider = images_.image("Separator_Vertical");
    qreal drawn = usable(divider) ? divider->width() : 0;
    return std::round(std::clamp(drawn + 8, t * 0.3, t));
}

void DockScene::place(const char* key, const QRectF& rect, Drawing drawing) {
    if (usable(image(key)) && rect.width() > 0 && rect.height() > 0) {
        pieces_.push_back(Piece{QString::fromLatin1(key), rect});
        drawings_.push_back(drawing);
    }
}

void DockScene::placeGlass() {
    const QString floorKey = keystoneKey(tile_);
    const QImage* floor = images_.image(floorKey);
    const qreal scale = usable(floor) ? dock_.height() / floor->height() : dock_.height() / 48;
    const qreal cap = usable(floor) ? std::min<qreal>(floor->height(), floor->width() / 2) : 0;

    if (const QImage* shadow = image("Shadow"); usable(shadow)) {
        qreal inset = cap * scale * 0.35;
        QRectF area(dock_.left() + inset, dock_.top() - dock_.height() * 0.45,
                    dock_.width() - 2 * inset, dock_.height() * 1.1);
        place("Shadow", area,
              {Fit::ThreeSlice, std::min<qreal>(shadow->height(), shadow->width() / 4), {}});
    }
    place(floorKey.toLatin1().constData(), dock_, {Fit::ThreeSlice, cap, {}});
    // The icons' reflections lie in the glass, under the divider and the front line.
    reflectionsAt_ = pieces_.size();
    if (const QImage* divider = image("Separator_3D"); usable(divider)) {
        for (const Item& item : items_) {
            if (item.kind == Kind::Separator) {
                qreal w = divider->width() * dock_.height() / divider->height();
                w = std::min(w, item.rect.width());
                place("Separator_3D",
                      QRectF(item.rect.center().x() - w / 2, dock_.top(), w, dock_.height()));
            }
        }
    }
    if (const QImage* line = image("Frontline"); usable(line)) {
        qreal h = std::clamp(std::round(line->height() * scale), 1.0, dock_.height() / 3);
        place("Frontline", QRectF(dock_.left(), dock_.bottom() - h, dock_.width(), h));
    }
    const QString lightKey = indicatorKey(DockStyle::ThreeD, tile_);
    if (const QImage* light = images_.image(lightKey); usable(light)) {
        QSizeF size(std::min<qreal>(light->width(), tile_),
                    std::min<qreal>(light->height(), dock_.height() / 2));
        for (const Item& item : items_) {
            if (item.running) {
                QRectF spot(QPointF(0, 0), size);
                spot.moveCenter(QPointF(item.rect.center().x(),
                                        std::round(dock_.bottom() - dock_.height() * 0.2)));
                place(lightKey.toLatin1().constData(), spot);
            }
        }
    }
}

void DockScene::placeFrame() {
    const QImage* leftUp = image("Angle_Left_Up");
    const QImage* rightUp = image("Angle_Right_Up");
    const QImage* leftBottom = image("Angle_Left_Bottom");
    const QImage* rightDown = image("Angle_Right_Down");
    const QImage* topLeft = image("Border_Left_Up");
    const QImage* topRight = image("Border_Right_Border");
    const QImage* bottomLeft = image("Border_Left_Bottom");
    const QImage* bottomRight = image("Border_Right_Bottom");
    const QImage* leftEdge = image("Border_Left_External");
    const QImage* rightEdge = image("Border_Right_External");
    auto sizeOf = [](const QImage* piece) {
        return usable(piece) ? QSizeF(piece->size()) : QSizeF(0, 0);
    };
    // The pieces keep their own size unless the frame is too small for them.
    qreal needWidth = std::max({sizeOf(leftUp).width() + sizeOf(rightUp).width(),
                                sizeOf(leftBottom).width() + sizeOf(rightDown).width(),
                                sizeOf(leftEdge).width() + sizeOf(rightEdge).width()});
    qreal needHeight = std::max({sizeOf(leftUp).height() + sizeOf(leftBottom).height(),
                                 sizeOf(rightUp).height() + sizeOf(rightDown).height(),
                                 sizeOf(topLeft).height() + sizeOf(bottomLeft).height(),
                                 sizeOf(topRight).height() + sizeOf(bottomRight).height()});
    qreal scale = 1;
    if (needWidth > dock_.width())
        scale = std::min(scale, dock_.width() / needWidth);
    if (needHeight > dock_.height())
        scale = std::min(scale, dock_.height() / needHeight);
    auto scaled = [&](const QImage* piece) { return sizeOf(piece) * scale; };

    const QRectF& f = dock_;
    const qreal middle = std::round(f.center().x());
    const qreal leftInset = std::max(scaled(leftEdge).width(), 0.0);
    const qreal rightInset = std::max(scaled(rightEdge).width(), 0.0);
    const qreal topInset = std::max(scaled(topLeft).height(), scaled(topRight).height());
    const qreal bottomInset = std::max(scaled(bottomLeft).height(), scaled(bottomRight).height());

    // The inside repeats the innermost column of the left edge (or the right edge's).
    QRectF inside = f.adjusted(leftInset, topInset, -rightInset, -bottomInset);
    if (usable(leftEdge)) {
        place("Border_Left_External", inside,
              {Fit::Tiled, scale, QRect(leftEdge->width() - 1, 0, 1, leftEdge->height())});
    } else if (usable(rightEdge)) {
        place("Border_Right_External", inside,
              {Fit::Tiled, scale, QRect(0, 0, 1, rightEdge->height())});
    }
    const Drawing tiled{Fit::Tiled, scale, {}};
    const QSizeF lu = scaled(leftUp), ru = scaled(rightUp), lb = scaled(leftBottom),
                 rd = scaled(rightDown);
    place("Border_Left_Up",
          QRectF(f.left() + lu.width(), f.top(), middle - f.left() - lu.width(),
                 scaled(topLeft).height()),
          tiled);
    place("Border_Right_Border",
          QRectF(middle, f.top(), f.right() - ru.width() - middle, scaled(topRight).height()),
          tiled);
    place("Border_Left_Bottom",
          QRectF(f.left() + lb.width(), f.bottom() - scaled(bottomLeft).height(),
                 middle - f.left() - lb.width(), scaled(bottomLeft).height()),
          tiled);
    place("Border_Right_Bottom",
          QRectF(middle, f.bottom() - scaled(bottomRight).height(), f.right() - rd.width() - middle,
                 scaled(bottomRight).height()),
          tiled);
    place("Border_Left_External",
          QRectF(f.left(), f.top() + lu.height(), scaled(leftEdge).width(),
                 f.height() - lu.height() - lb.height()),
          tiled);
    place("Border_Right_External",
          QRectF(f.right() - scaled(rightEdge).width(), f.top() + ru.height(),
                 scaled(rightEdge).width(), f.height() - ru.height() - rd.height()),
          tiled);
    place("Angle_Left_Up", QRectF(f.topLeft(), lu));
    place("Angle_Right_Up", QRectF(QPointF(f.right() - ru.width(), f.top()), ru));
    place("Angle_Left_Bottom", QRectF(QPointF(f.left(), f.bottom() - lb.height()), lb));
    place("Angle_Right_Down",
          QRectF(QPointF(f.right() - rd.width(), f.bottom() - rd.height()), rd));

    if (const QImage* divider = image("Separator_Vertical"); usable(divider)) {
        for (const Item& item : items_) {
            if (item.kind == Kind::Separator) {
                qreal w = std::min<qreal>(divider->width(), item.rect.width());
                qreal h = std::max(1.0, f.height() - topInset - bottomInset - tile_ * 0.1);
                place("Separator_Vertical",
                      QRectF(item.rect.center().x() - w / 2, f.center().y() - h / 2, w, h));
            }
        }
    }
    const QString lightKey = indicatorKey(DockStyle::TwoD, tile_);
    if (const QImage* light = images_.image(lightKey); usable(light)) {
        qreal room = f.bottom() - iconBottom_;
        QSizeF size(std::min<qreal>(light->width(), tile_), std::min<qreal>(light->height(), room));
        for (const Item& item : items_) {
            if (item.running) {
                QRectF spot(QPointF(0, 0), size);
                spot.moveCenter(QPointF(item.rect.center().x(), iconBottom_ + room / 2));
                place(lightKey.toLatin1().constData(), spot);
            }
        }
    }
}

void DockScene::placeOpenStack() {
    place("Stack_Open", grid_, {Fit::NineSlice, 0, {}});
    place("Stack_Arrow", arrow_);
}

void DockScene::paintPiece(QPainter& p, std::size_t index) const {
    const Piece& piece = pieces_[index];
    const Drawing& drawing = drawings_[index];
    const QImage& picture = *images_.image(piece.key);
    switch (drawing.fit) {
        case Fit::Whole:
            p.drawImage(piece.rect, picture);
            break;
        case Fit::ThreeSlice:
            threeSlice(p, picture, piece.rect, drawing.amount);
            break;
        case Fit::NineSlice:
            nineSlice(p, picture, piece.rect);
            break;
        case Fit::Tiled:
            tile(p, drawing.column.isNull() ? picture : picture.copy(drawing.column), piece.rect,
                 drawing.amount);
            break;
    }
}

void DockScene::paintReflections(QPainter& p) const {
    // Between the icons' bases and the front line.
    p.save();
    p.setClipRect(QRectF(dock_.left(), iconBottom_, dock_.width(), dock_.bottom() - iconBottom_));
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].kind != Kind::Separator) {
            p.drawImage(QPointF(items_[i].rect.left(), iconBottom_), reflection(icons_[i]));
        }
    }
    p.restore();
}

void DockScene::paintIcons(QPainter& p) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].kind != Kind::Separator) {
            p.drawImage(items_[i].rect.topLeft(), icons_[i]);
        }
    }
}

void DockScene::paintStackGrid(QPainter& p) const {
    const qreal t = tile_;
    const qreal cell = std::round(t * 1.3);
    const qreal pad = std::round(t * 0.25);
    const qreal iconSize = std::round(t * 0.8);
    QFont font("DejaVu Sans");
    font.setPixelSize(std::max(8, static_cast<int>(std::lround(t * 0.17))));
    font.setBold(true);
    p.setFont(font);
    for (int i = 0; i < kGridColumns * kGridRows; ++i) {
        QRectF box(grid_.left() + pad + (i % kGridColumns) * cell,
                   grid_.top() + pad + (i / kGridColumns) * cell, cell, cell);
        p.drawImage(
            QRectF(box.center().x() - iconSize / 2, box.top() + t * 0.04, iconSize, iconSize),
            cachedIcon(kGrid[i].icon, static_cast<int>(iconSize)));
        QRectF label(box.left(), box.top() + iconSize + t * 0.06, box.width(),
                     box.bottom() - box.top() - iconSize - t * 0.06);
        p.setPen(QColor(0, 0, 0, 160));
        p.drawText(label.translated(0, 1), Qt::AlignHCenter | Qt::AlignTop, kGrid[i].name);
        p.setPen(Qt::white);
        p.drawText(label, Qt::AlignHCenter | Qt::AlignTop, kGrid[i].name);
    }
}

const QImage* DockScene::image(const char* key) const {
    return images_.image(key);
}
