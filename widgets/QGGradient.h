#pragma once

#include <QColor>
#include <QRectF>

#include <cstddef>
#include <memory>

#include "widgets/Shading.h"

class Coder;
class QPainter;

// One colour stop: calibrated RGBA components and a position, normally all
// 0 to 1 but stored as given. A node of a gradient's element list.
struct QGGradientElement {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 0.0f;
    float position = 0.0f;
    QGGradientElement* next = nullptr;
};

// Blending modes: how the colour between two neighbouring stops is formed.
enum QGBlendingMode : int {
    QGLinearBlendingMode = 0,            // red, green, blue and alpha interpolated
    QGChromaticBlendingMode = 1,         // hue, saturation, value; hue increasing
    QGInverseChromaticBlendingMode = 2,  // as 1, with the hue decreasing
};

// A multi-stop colour gradient that fills rectangles with an axial or radial
// shading. The stops form a list sorted by position; stops added at a
// position already held go after the stops there, and two stops at one
// position make a hard edge. Operations that add or remove stops, or change
// the alpha or the mode, return a new gradient and leave this one alone; the
// element-level operations change it in place. Evaluation is done in
// single-precision steps and allocates nothing.
// A value type: copying copies the stops and the mode. Not shared between
// threads; a fill reads the stops while it paints, on the painter's thread.
class QGGradient {
public:
    // An empty gradient in linear mode (evaluates to opaque white).
    QGGradient();
    QGGradient(const QGGradient& other);
    QGGradient(QGGradient&& other) noexcept;
    QGGradient& operator=(const QGGradient& other);
    QGGradient& operator=(QGGradient&& other) noexcept;
    // Frees every stop.
    ~QGGradient();

    // Two stops in linear mode: begin at 0.0, end at 1.0. An invalid QColor
    // counts as transparent black.
    static QGGradient gradientWithBeginningColor(const QColor& begin, const QColor& end);
    static QGGradient aquaSelectedGradient();
    static QGGradient aquaNormalGradient();
    static QGGradient aquaPressedGradient();
    static QGGradient unifiedSelectedGradient();
    static QGGradient unifiedNormalGradient();
    static QGGradient unifiedPressedGradient();
    static QGGradient unifiedDarkGradient();
    static QGGradient sourceListSelectedGradient();
    static QGGradient sourceListUnselectedGradient();
    static QGGradient rainbowGradient();
    static QGGradient hydrogenSpectrumGradient();

    static const char* className() { return "QGGradient"; }
    // Writes per stop, in list order, five unkeyed floats (red, green, blue,
    // alpha, position), then "QGGradientElementCount" and
    // "QGGradientBlendingMode". Throws InvalidArchiveOperationException
    // ("Only supports NSKeyedArchiver coders") and writes nothing when the
    // coder is not keyed.
    void encodeWithCoder(Coder& coder) const;
    // Reads what encodeWithCoder wrote; nothing when the mode is not 0, 1 or
    // 2. A coder that lacks a value throws (see Coder).
    static std::unique_ptr<QGGradient> initWithCoder(Coder& coder);

    // These return new gradients.
    // Throws std::invalid_argument for a mode other than 0, 1 and 2.
    QGGradient gradientWithBlendingMode(int mode) const;
    // Every stop with its alpha replaced; the result is always in linear mode.
    QGGradient gradientWithAlphaComponent(float alpha) const;
    QGGradient addColorStop(const QColor& color, float position) const;
    // Without the first stop whose position equals position exactly; throws
    // RangeException when there is none.
    QGGradient removeColorStopAtPosition(float position) const;
    // Without the stop at index (0 = first); throws RangeException past the last.
    QGGradient removeColorStopAtIndex(std::size_t index) const;

    int blendingMode() const { return blendingMode_; }
    // Throws RangeException past the last stop.
    QColor colorStopAtIndex(std::size_t index) const;
    // The mode's evaluation at position, not clamped to 0..1 first. A result
    // with a component that is not finite (a NaN position, stops at NaN) is
    // an invalid QColor; alpha is clamped to 0..1, colour components beyond
    // it give an extended-RGB QColor.
    QColor colorAtPosition(float position) const;

    // Fills rect at 45 degrees.
    void drawSwatchInRect(QPainter& painter, const QRectF& rect) const;
    // Paints an axial shading into rect, in the painter's current coordinates:
    // the angle turns counter-clockwise from the positive x axis, so 0 runs
    // from x to x + w and 90 from y to y + h; the first stop lies on the
    // corner or edge furthest against the direction, the last on the opposite
    // one. Nothing outside rect is painted; a non-finite angle paints nothing.
    void fillRect(QPainter& painter, const QRectF& rect, float angle) const;
    // Paints a radial shading from a circle of radius 1 to one of half the
    // longer side, both at rect's centre; inside the small circle the first
    // stop's colour goes on, outside the large one the last stop's.
    void radialFillRect(QPainter& painter, const QRectF& rect) const;

    // Element-level operations; they change this gradient.
    // Throws std::invalid_argument for a mode other than 0, 1 and 2 and then
    // leaves the gradient as it was.
    void setBlendingMode(int mode);
    // Inserts a copy of element (its next is ignored) after every stop at a
    // position not greater than its own.
    void addElement(const QGGradientElement& element);
    // Unlinks the element and returns a copy of it (next null); the
    // not-found record (components 0, position NaN) when there is none.
    QGGradientElement removeElementAtIndex(std::size_t index);
    QGGradientElement removeElementAtPosition(float position);
    // The element at index, or null past the end. Valid until the list changes.
    QGGradientElement* elementAtIndex(std::size_t index);
    const QGGradientElement* elementAtIndex(std::size_t index) const;

    // The current mode's evaluation function; its info is the address of the
    // list head, so it reads the stops as they are when it is called. Valid
    // while this gradient lives and is not moved from.
    const ShadingFunction& gradientFunction() const { return gradientFunction_; }

    static QGGradientElement notFoundElement();

private:
    void commonInit();
    void freeElements();
    QGGradientElement removeElementAfter(QGGradientElement** link);

    QGGradientElement* elementList_ = nullptr;
    int blendingMode_ = QGLinearBlendingMode;
    ShadingFunction gradientFunction_;
};

// The evaluation functions: info is the address of a list-head field, in one
// float (the position), out four floats (red, green, blue, alpha). An empty
// list gives opaque white.
void linearEvaluation(const void* info, const float* in, float* out);
void chromaticEvaluation(const void* info, const float* in, float* out);
void inverseChromaticEvaluation(const void* info, const float* in, float* out);

// Red, green, blue in components[0..2] become hue (degrees, NaN for a grey),
// saturation and value. A fourth float after them is not touched.
void transformRGB_HSV(float* components);
// Hue (degrees), saturation, value become red, green, blue. A negative hue
// goes round the wheel backwards; a NaN or infinite hue gives NaN components.
void transformHSV_RGB(float* components);
// A NaN hue takes the other's; two NaN hues both become 0.
void resolveHSV(float* hueA, float* hueB);
