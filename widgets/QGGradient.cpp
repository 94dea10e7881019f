#include "widgets/QGGradient.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <utility>

#include "widgets/Coder.h"
#include "widgets/InvalidArchiveOperationException.h"
#include "widgets/RangeException.h"

namespace {

bool isBlendingMode(int mode) {
    return mode == QGLinearBlendingMode || mode == QGChromaticBlendingMode ||
           mode == QGInverseChromaticBlendingMode;
}

QGGradientElement elementFromColor(const QColor& color, float position) {
    QGGradientElement element;
    element.position = position;
    if (color.isValid()) {
        color.getRgbF(&element.red, &element.green, &element.blue, &element.alpha);
    }
    return element;
}

QColor colorFromComponents(const float* rgba) {
    if (!std::isfinite(rgba[0]) || !std::isfinite(rgba[1]) || !std::isfinite(rgba[2]) ||
        !std::isfinite(rgba[3])) {
        return QColor();
    }
    return QColor::fromRgbF(rgba[0], rgba[1], rgba[2], std::clamp(rgba[3], 0.0f, 1.0f));
}

std::string reason(const char* format, auto value) {
    char text[160];
    std::snprintf(text, sizeof text, format, QGGradient::className(), value);
    return text;
}

struct PresetStop {
    float position;
    float red;
    float green;
    float blue;
};

QGGradient preset(int mode, std::initializer_list<PresetStop> stops) {
    QGGradient gradient;
    for (const PresetStop& stop : stops) {
        gradient.addElement({stop.red, stop.green, stop.blue, 1.0f, stop.position});
    }
    gradient.setBlendingMode(mode);
    return gradient;
}

const QGGradientElement* listHead(const void* info) {
    return *static_cast<QGGradientElement* const*>(info);
}

void setWhite(float* out) {
    out[0] = out[1] = out[2] = out[3] = 1.0f;
}

// The stops A and B around t: A is the last stop whose successor does not lie
// before t; B is that successor, or A itself at the end of the list.
void findSegment(const QGGradientElement* first, float t, const QGGradientElement*& a,
                 const QGGradientElement*& b) {
    a = first;
    b = first->next;
    while (b && t > b->position) {
        a = b;
        b = b->next;
    }
    if (!b) {
        b = a;
    }
}

// A's quadruple up to its position, B's from its position on, in between the
// component-wise interpolation. Every comparison fails on a NaN.
void blend(const float* qa, float positionA, const float* qb, float positionB, float t,
           float* out) {
    if (positionA >= t) {
        std::copy(qa, qa + 4, out);
    } else if (t >= positionB) {
        std::copy(qb, qb + 4, out);
    } else {
        const float f = (t - positionA) / (positionB - positionA);
        for (int i = 0; i < 4; ++i) {
            out[i] = qa[i] + (qb[i] - qa[i]) * f;
        }
    }
}

void chromaticBlend(const void* info, float t, float* out, bool hueDecreases) {
    const QGGradientElement* first = listHead(info);
    if (!first) {
        setWhite(out);
        return;
    }
    const QGGradientElement* a = nullptr;
    const QGGradientElement* b = nullptr;
    findSegment(first, t, a, b);
    float qa[4] = {a->red, a->green, a->blue, a->alpha};
    float qb[4] = {b->red, b->green, b->blue, b->alpha};
    transformRGB_HSV(qa);
    transformRGB_HSV(qb);
    resolveHSV(&qa[0], &qb[0]);
    if (!hueDecreases && qa[0] > qb[0]) {
        qb[0] += 360.0f;
    } else if (hueDecreases && qb[0] > qa[0]) {
        qa[0] += 360.0f;
    }
    blend(qa, a->position, qb, b->position, t, out);
    transformHSV_RGB(out);
}

void addSpectralStop(QGGradient& gradient, float hue, float value, float position) {
    float rgb[3] = {hue, 1.0f, value};
    transformHSV_RGB(rgb);
    gradient.addElement({rgb[0], rgb[1], rgb[2], 1.0f, position});
}

}  // namespace

QGGradient::QGGradient() {
    commonInit();
    setBlendingMode(QGLinearBlendingMode);
}

QGGradient::QGGradient(const QGGradient& other) : QGGradient() {
    for (const QGGradientElement* element = other.elementList_; element; element = element->next) {
        addElement(*element);
    }
    setBlendingMode(other.blendingMode_);
}

QGGradient::QGGradient(QGGradient&& other) noexcept
    : elementList_(std::exchange(other.elementList_, nullptr)) {
    setBlendingMode(other.blendingMode_);
}

QGGradient& QGGradient::operator=(const QGGradient& other) {
    if (this != &other) {
        *this = QGGradient(other);
    }
    return *this;
}

QGGradient& QGGradient::operator=(QGGradient&& other) noexcept {
    if (this != &other) {
        freeElements();
        elementList_ = std::exchange(other.elementList_, nullptr);
        setBlendingMode(other.blendingMode_);
    }
    return *this;
}

QGGradient::~QGGradient() {
    freeElements();
}

QGGradient QGGradient::gradientWithBeginningColor(const QColor& begin, const QColor& end) {
    QGGradient gradient;
    gradient.addElement(elementFromColor(begin, 0.0f));
    gradient.addElement(elementFromColor(end, 1.0f));
    return gradient;
}

QGGradient QGGradient::aquaSelectedGradient() {
    return preset(QGLinearBlendingMode, {{0.0f, 0.58f, 0.86f, 0.98f},
                                         {0.5f, 0.42f, 0.68f, 0.90f},
                                         {0.5f, 0.64f, 0.80f, 0.94f},
                                         {1.0f, 0.56f, 0.70f, 0.90f}});
}

QGGradient QGGradient::aquaNormalGradient() {
    return preset(QGLinearBlendingMode, {{0.0f, 0.95f, 0.95f, 0.95f},
                                         {0.5f, 0.83f, 0.83f, 0.83f},
                                         {0.5f, 0.95f, 0.95f, 0.95f},
                                         {1.0f, 0.92f, 0.92f, 0.92f}});
}

QGGradient QGGradient::aquaPressedGradient() {
    return preset(QGLinearBlendingMode, {{0.0f, 0.80f, 0.80f, 0.80f},
                                         {0.5f, 0.64f, 0.64f, 0.64f},
                                         {0.5f, 0.80f, 0.80f, 0.80f},
                                         {1.0f, 0.77f, 0.77f, 0.77f}});
}

QGGradient QGGradient::unifiedSelectedGradient() {
    return preset(QGLinearBlendingMode, {{0.0f, 0.85f, 0.85f, 0.85f}, {1.0f, 0.95f, 0.95f, 0.95f}});
}

QGGradient QGGradient::unifiedNormalGradient() {
    return preset(QGLinearBlendingMode, {{0.0f, 0.75f, 0.75f, 0.75f}, {1.0f, 0.90f, 0.90f, 0.90f}});
}

QGGradient QGGradient::unifiedPressedGradient() {
    return preset(QGLinearBlendingMode, {{0.0f, 0.60f, 0.60f, 0.60f}, {1.0f, 0.75f, 0.75f, 0.75f}});
}

QGGradient QGGradient::unifiedDarkGradient() {
    return preset(QGLinearBlendingMode, {{0.0f, 0.68f, 0.68f, 0.68f}, {1.0f, 0.83f, 0.83f, 0.83f}});
}

QGGradient QGGradient::sourceListSelectedGradient() {
    return preset(QGLinearBlendingMode, {{0.0f, 0.06f, 0.37f, 0.85f}, {1.0f, 0.30f, 0.60f, 0.92f}});
}

QGGradient QGGradient::sourceListUnselectedGradient() {
    return preset(QGLinearBlendingMode, {{0.0f, 0.43f, 0.43f, 0.43f}, {1.0f, 0.60f, 0.60f, 0.60f}});
}

QGGradient QGGradient::rainbowGradient() {
    return preset(QGChromaticBlendingMode, {{0.0f, 1.0f, 0.0f, 0.0f}, {1.0f, 0.54f, 0.0f, 1.0f}});
}

QGGradient QGGradient::hydrogenSpectrumGradient() {
    struct SpectralLine {
        float hue;
        float position;
        float halfWidth;
    };
    static constexpr SpectralLine kLines[] = {
        {22.0f, 0.145f, 0.01f},
        {200.0f, 0.71f, 0.008f},
        {253.0f, 0.885f, 0.005f},
        {275.0f, 0.965f, 0.003f},
    };
    QGGradient gradient;
    for (const SpectralLine& line : kLines) {
        addSpectralStop(gradient, line.hue - 180.0f * line.halfWidth, 0.001f,
                        line.position - line.halfWidth);
        addSpectralStop(gradient, line.hue, 1.0f, line.position);
        addSpectralStop(gradient, line.hue + 180.0f * line.halfWidth, 0.001f,
                        line.position + line.halfWidth);
    }
    gradient.setBlendingMode(QGChromaticBlendingMode);
    return gradient;
}

void QGGradient::encodeWithCoder(Coder& coder) const {
    if (!coder.allowsKeyedCoding()) {
        throw InvalidArchiveOperationException("Only supports NSKeyedArchiver coders");
    }
    int count = 0;
    for (const QGGradientElement* element = elementList_; element; element = element->next) {
        coder.encodeValueOfObjCType("f", &element->red);
        coder.encodeValueOfObjCType("f", &element->green);
        coder.encodeValueOfObjCType("f", &element->blue);
        coder.encodeValueOfObjCType("f", &element->alpha);
        coder.encodeValueOfObjCType("f", &element->position);
        ++count;
    }
    coder.encodeInt(count, "QGGradientElementCount");
    coder.encodeInt(blendingMode_, "QGGradientBlendingMode");
}

std::unique_ptr<QGGradient> QGGradient::initWithCoder(Coder& coder) {
    const int mode = coder.decodeIntForKey("QGGradientBlendingMode");
    if (!isBlendingMode(mode)) {
        return nullptr;
    }
    auto gradient = std::make_unique<QGGradient>();
    gradient->setBlendingMode(mode);
    const int count = coder.decodeIntForKey("QGGradientElementCount");
    for (int i = 0; i < count; ++i) {
        QGGradientElement element;
        coder.decodeValueOfObjCType("f", &element.red);
        coder.decodeValueOfObjCType("f", &element.green);
        coder.decodeValueOfObjCType("f", &element.blue);
        coder.decodeValueOfObjCType("f", &element.alpha);
        coder.decodeValueOfObjCType("f", &element.position);
        gradient->addElement(element);
    }
    return gradient;
}

QGGradient QGGradient::gradientWithBlendingMode(int mode) const {
    QGGradient copy(*this);
    copy.setBlendingMode(mode);
    return copy;
}

QGGradient QGGradient::gradientWithAlphaComponent(float alpha) const {
    QGGradient gradient;
    for (const QGGradientElement* element = elementList_; element; element = element->next) {
        QGGradientElement faded = *element;
        faded.alpha = alpha;
        gradient.addElement(faded);
    }
    return gradient;
}

QGGradient QGGradient::addColorStop(const QColor& color, float position) const {
    QGGradient copy(*this);
    copy.addElement(elementFromColor(color, position));
    return copy;
}

QGGradient QGGradient::removeColorStopAtPosition(float position) const {
    QGGradient copy(*this);
    if (std::isnan(copy.removeElementAtPosition(position).position)) {
        throw RangeException(
            reason("-[%s removeColorStopAtPosition:]: no such colorStop at position (%f)",
                   static_cast<double>(position)));
    }
    return copy;
}

QGGradient QGGradient::removeColorStopAtIndex(std::size_t index) const {
    // Bounds are checked up front: a stop whose own position is NaN looks
    // like the not-found record once removed.
    if (!elementAtIndex(index)) {
        throw RangeException(
            reason("-[%s removeColorStopAtIndex:]: index (%zu) beyond bounds", index));
    }
    QGGradient copy(*this);
    copy.removeElementAtIndex(index);
    return copy;
}

QColor QGGradient::colorStopAtIndex(std::size_t index) const {
    const QGGradientElement* element = elementAtIndex(index);
    if (!element) {
        throw RangeException(reason("-[%s colorStopAtIndex:]: index (%zu) beyond bounds", index));
    }
    const float rgba[4] = {element->red, element->green, element->blue, element->alpha};
    return colorFromComponents(rgba);
}

QColor QGGradient::colorAtPosition(float position) const {
    float rgba[4];
    gradientFunction_(position, rgba);
    return colorFromComponents(rgba);
}

void QGGradient::drawSwatchInRect(QPainter& painter, const QRectF& rect) const {
    fillRect(painter, rect, 45.0f);
}

void QGGradient::fillRect(QPainter& painter, const QRectF& rect, float angle) const {
    const qreal x = rect.x();
    const qreal y = rect.y();
    const float w = static_cast<float>(rect.width());
    const float h = static_cast<float>(rect.height());
    QPointF start(x, y);
    QPointF end;
    if (angle == 0.0f) {
        end = QPointF(x + w, y);
    } else if (angle == 90.0f) {
        end = QPointF(x, y + h);
    } else {
        // Divide by |cos| only where |tan| <= 1, else by |cos| of the angle
        // turned back by 90 degrees: both give half the rectangle's extent
        // along the angle, without dividing by a cosine near zero.
        const float theta = static_cast<float>(angle * std::numbers::pi / 180.0);
        const float tau = std::fabs(std::tan(theta));
        float dx = 0.0f;
        float dy = 0.0f;
        if (tau <= 1.0f) {
            const float s = std::sin(theta);
            const float c = std::cos(theta);
            const float length = w / std::fabs(c) + (h - tau * w) * std::fabs(s);
            dx = c * length * 0.5f;
            dy = s * length * 0.5f;
        } else {
            const double phi = theta - std::numbers::pi * 90.0 / 180.0;
            const float sinPhi = static_cast<float>(std::sin(phi));
            const float cosPhi = static_cast<float>(std::cos(phi));
            const float tauPhi = static_cast<float>(std::fabs(std::tan(phi)));
            const float length = h / std::fabs(cosPhi) + (w - tauPhi * h) * std::fabs(sinPhi);
            dx = (-length * sinPhi) * 0.5f;
            dy = (cosPhi * length) * 0.5f;
        }
        const qreal cx = x + 0.5 * w;
        const qreal cy = y + 0.5 * h;
        start = QPointF(cx - dx, cy - dy);
        end = QPointF(cx + dx, cy + dy);
    }
    Shading::axial(start, end, gradientFunction_, false, false).drawInRect(painter, rect);
}

void QGGradient::radialFillRect(QPainter& painter, const QRectF& rect) const {
    const QPointF centre(rect.x() + 0.5 * rect.width(), rect.y() + 0.5 * rect.height());
    const qreal radius = rect.width() < rect.height() ? 0.5 * rect.height() : 0.5 * rect.width();
    Shading::radial(centre, 1.0, radius, gradientFunction_, true, true).drawInRect(painter, rect);
}

void QGGradient::setBlendingMode(int mode) {
    if (!isBlendingMode(mode)) {
        throw std::invalid_argument("QGGradient: blending mode must be 0, 1 or 2, not " +
                                    std::to_string(mode));
    }
    blendingMode_ = mode;
    static constexpr ShadingFunction::Evaluate kEvaluations[] = {
        linearEvaluation, chromaticEvaluation, inverseChromaticEvaluation};
    gradientFunction_ = ShadingFunction{kEvaluations[mode], &elementList_};
}

void QGGradient::addElement(const QGGradientElement& element) {
    auto* record = new QGGradientElement(element);
    if (!elementList_ || elementList_->position > record->position) {
        record->next = elementList_;
        elementList_ = record;
        return;
    }
    QGGradientElement* before = elementList_;
    while (before->next && !(before->next->position > record->position)) {
        before = before->next;
    }
    record->next = before->next;
    before->next = record;
}

QGGradientElement QGGradient::removeElementAtIndex(std::size_t index) {
    QGGradientElement** link = &elementList_;
    for (std::size_t i = 0; *link && i < index; ++i) {
        link = &(*link)->next;
    }
    return removeElementAfter(link);
}

QGGradientElement QGGradient::removeElementAtPosition(float position) {
    QGGradientElement** link = &elementList_;
    while (*link && !((*link)->position == position)) {
        link = &(*link)->next;
    }
    return removeElementAfter(link);
}

QGGradientElement* QGGradient::elementAtIndex(std::size_t index) {
    QGGradientElement* element = elementList_;
    for (std::size_t i = 0; element && i < index; ++i) {
        element = element->next;
    }
    return element;
}

const QGGradientElement* QGGradient::elementAtIndex(std::size_t index) const {
    return const_cast<QGGradient*>(this)->elementAtIndex(index);
}

QGGradientElement QGGradient::notFoundElement() {
    QGGradientElement element;
    element.position = std::numeric_limits<float>::quiet_NaN();
    return element;
}

void QGGradient::commonInit() {
    elementList_ = nullptr;
}

void QGGradient::freeElements() {
    while (elementList_) {
        delete std::exchange(elementList_, elementList_->next);
    }
}

QGGradientElement QGGradient::removeElementAfter(QGGradientElement** link) {
    QGGradientElement* element = *link;
    if (!element) {
        return notFoundElement();
    }
    *link = element->next;
    QGGradientElement removed = *element;
    removed.next = nullptr;
    delete element;
    return removed;
}

void linearEvaluation(const void* info, const float* in, float* out) {
    const QGGradientElement* first = listHead(info);
    if (!first) {
        setWhite(out);
        return;
    }
    const QGGradientElement* a = nullptr;
    const QGGradientElement* b = nullptr;
    findSegment(first, *in, a, b);
    const float qa[4] = {a->red, a->green, a->blue, a->alpha};
    const float qb[4] = {b->red, b->green, b->blue, b->alpha};
    blend(qa, a->position, qb, b->position, *in, out);
}

void chromaticEvaluation(const void* info, const float* in, float* out) {
    chromaticBlend(info, *in, out, false);
}

void inverseChromaticEvaluation(const void* info, const float* in, float* out) {
    chromaticBlend(info, *in, out, true);
}

void transformRGB_HSV(float* components) {
    const float r = components[0];
    const float g = components[1];
    const float b = components[2];
    float max = r;
    float min = r;
    if (g > max) {
        max = g;
    }
    if (b > max) {
        max = b;
    }
    if (g < min) {
        min = g;
    }
    if (b < min) {
        min = b;
    }
    const float d = max - min;
    float hue = std::numeric_limits<float>::quiet_NaN();
    if (max == min) {
        // A grey: no hue.
    } else if (max == r) {
        hue = ((g - b) * 60.0f) / d;
        if (g < b) {
            hue += 360.0f;
        }
    } else if (max == g) {
        hue = ((b - r) * 60.0f) / d + 120.0f;
    } else if (max == b) {
        hue = ((r - g) * 60.0f) / d + 240.0f;
    }
    components[0] = hue;
    components[1] = max == 0.0f ? 0.0f : 1.0f - min / max;
    components[2] = max;
}

void transformHSV_RGB(float* components) {
    const float s = components[1];
    const float v = components[2];
    float h = std::fmod(components[0], 360.0f);
    if (!std::isfinite(h)) {
        components[0] = components[1] = components[2] = std::numeric_limits<float>::quiet_NaN();
        return;
    }
    if (h < 0.0f) {
        h += 360.0f;
        if (h >= 360.0f) {
            h = 0.0f;  // a tiny negative hue rounds up to a full turn
        }
    }
    const float h6 = h / 60.0f;
    const int i = static_cast<int>(std::floor(h6)) % 6;
    const float f = h6 - static_cast<float>(i);
    const float p = (1.0f - s) * v;
    const float q = (1.0f - s * f) * v;
    const float t = (1.0f - (1.0f - f) * s) * v;
    float r = v;
    float g = p;
    float b = q;
    switch (i) {
        case 0:
            r = v, g = t, b = p;
            break;
        case 1:
            r = q, g = v, b = p;
            break;
        case 2:
            r = p, g = v, b = t;
            break;
        case 3:
            r = p, g = q, b = v;
            break;
        case 4:
            r = t, g = p, b = v;
            break;
        default:
            break;  // 5: (v, p, q)
    }
    components[0] = r;
    components[1] = g;
    components[2] = b;
}

void resolveHSV(float* hueA, float* hueB) {
    const bool aIsNaN = std::isnan(*hueA);
    const bool bIsNaN = std::isnan(*hueB);
    if (aIsNaN && bIsNaN) {
        *hueA = *hueB = 0.0f;
    } else if (bIsNaN) {
        *hueB = *hueA;
    } else if (aIsNaN) {
        *hueA = *hueB;
    }
}
