#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QWidget>

#include <optional>

// A box that draws its own frame: a border with corners of radius 4, a
// background filled with a vertical gradient (or a plain colour), and a title
// bar at the top left in the border colour carrying the title in white bold
// type, cut with an ellipsis when it does not fit. The bar is a tab as wide
// as the title, or spans the box when asked or when the box is too narrow for
// a tab. A selected box draws border and bar in the selection colour.
//
// Geometry is worked out in the box's own coordinates, whose origin is the
// bottom-left corner and whose y grows upwards; toQt() is the one mapping onto
// Qt's. Children are drawn after the box; the contents margins keep layouts
// clear of the border and the title bar. The whole box is redrawn on every
// paint and resize. Only the title is a property, so a box loaded from a .ui
// file always starts from the defaults. GUI thread only.
class RoundedBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)

public:
    explicit RoundedBox(QWidget* parent = nullptr);

    // Border width 2, grey border, white bold title in the small system font,
    // gradient from white 0.92 (top) to 0.82 (bottom), plain background white
    // 0.9, tab title bar, not selected, gradient on.
    void setDefaults();

    // Setters mark the box for redisplay, except the gradient colours while
    // the gradient is off and the background colour while it is on.
    QString title() const { return title_; }
    void setTitle(const QString& title);
    QFont titleFont() const { return titleFont_; }
    void setTitleFont(const QFont& font);
    float borderWidth() const { return borderWidth_; }
    void setBorderWidth(float width);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& color);
    QColor titleColor() const { return titleColor_; }
    void setTitleColor(const QColor& color);
    // Kept in RGB.
    QColor gradientStartColor() const { return gradientStartColor_; }
    void setGradientStartColor(const QColor& color);
    QColor gradientEndColor() const { return gradientEndColor_; }
    void setGradientEndColor(const QColor& color);
    QColor backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const QColor& color);
    bool drawsFullTitleBar() const { return drawsFullTitleBar_; }
    void setDrawsFullTitleBar(bool flag);
    bool selected() const { return selected_; }
    void setSelected(bool flag);
    bool drawsGradientBackground() const { return drawsGradientBackground_; }
    void setDrawsGradientBackground(bool flag);

    // Geometry in the box's coordinates (origin bottom-left, y up).
    QRectF bounds() const;
    // The bounds inset by half the border width, made integral, moved by 0.5.
    QRectF outlineRect() const;
    // The outline through whole-number points with arcs of radius 4.
    QPainterPath borderPath() const;
    // Where the title is drawn: its measured size, no wider than the box allows.
    QRectF titleRect() const;
    // The title bar for outline rect, corner radius and title rect: a tab
    // reaching past the title as far as the title is from the left edge, or
    // the full width when drawsFullTitleBar is set or the tab would leave
    // less than 20 beside it.
    QPainterPath titlePathWithinRect(const QRectF& rect, qreal radius,
                                     const QRectF& titleRect) const;

    // Maps the box's coordinates onto the widget's (origin top-left, y down).
    QTransform toQt() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What the title is drawn with; built once by setDefaults.
    struct TitleAttributes {
        QFont font;
        QColor foregroundColor;
        Qt::Alignment alignment = Qt::AlignLeft;
        Qt::TextElideMode truncation = Qt::ElideRight;
    };

    QColor selectionColor() const;
    QFont titleDrawingFont() const;
    void drawTitle(QPainter& painter, const QRectF& rect) const;
    void updateContentsMargins();

    QString title_;
    QFont titleFont_;
    float borderWidth_ = 2.0f;
    QColor borderColor_;
    QColor titleColor_;
    QColor gradientStartColor_;
    QColor gradientEndColor_;
    QColor backgroundColor_;
    std::optional<TitleAttributes> titleAttrs_;
    bool drawsFullTitleBar_ = false;
    bool selected_ = false;
    bool drawsGradientBackground_ = true;
};
