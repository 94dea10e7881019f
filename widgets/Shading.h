#pragma once

#include <QPointF>
#include <QRectF>

class QPainter;

// A colour function as a shading samples it: evaluate(info, &t, rgba) writes
// red, green, blue and alpha for the position t. info is handed back as it
// is; whoever builds the function keeps what it points to alive while the
// function is in use.
struct ShadingFunction {
    using Evaluate = void (*)(const void* info, const float* in, float* out);

    Evaluate evaluate = nullptr;
    const void* info = nullptr;

    void operator()(float t, float* rgba) const { evaluate(info, &t, rgba); }
};

// An axial or radial shading painted with QPainter by sampling its function,
// as a Quartz shading is. Axial: t runs from 0 at the start point to 1 at the
// end point, constant on lines across the axis. Radial: t runs from 0 on the
// start circle to 1 on the end circle; both circles have the same centre.
// Where t falls before 0 or after 1, nothing is painted unless that end is
// extended, and then the end's colour goes on. Colour components are clamped
// to 0..1 (NaN counts as 0). Where the shading runs along device rows or
// columns the function is evaluated once per row or column; otherwise it is
// sampled four times per device pixel along t, so hard edges stay sharp.
// Fills that are not plain bands go through a scratch image, which each
// thread keeps for its next fill (up to 2048 by 2048 pixels; larger ones are
// let go). A value type; use it on the thread that owns the painter.
class Shading {
public:
    static Shading axial(QPointF start, QPointF end, ShadingFunction function, bool extendStart,
                         bool extendEnd);
    static Shading radial(QPointF centre, qreal startRadius, qreal endRadius,
                          ShadingFunction function, bool extendStart, bool extendEnd);

    // Paints the shading into rect, given in the painter's current coordinates
    // and clipped further by the painter's clip; nothing outside rect is
    // painted. Geometry that is not finite or is degenerate (an axis of no
    // length, two equal radii) paints nothing.
    void drawInRect(QPainter& painter, const QRectF& rect) const;

private:
    enum class Kind { Axial, Radial };

    Shading(Kind kind, QPointF start, QPointF end, qreal startRadius, qreal endRadius,
            ShadingFunction function, bool extendStart, bool extendEnd);

    bool isDrawable() const;

    Kind kind_;
    QPointF start_;
    QPointF end_;
    qreal startRadius_;
    qreal endRadius_;
    ShadingFunction function_;
    bool extendStart_;
    bool extendEnd_;
};
