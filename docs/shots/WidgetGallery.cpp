#include "WidgetGallery.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <functional>
#include <memory>

#include "widgets/QGGradient.h"
#include "widgets/RoundedBox.h"

namespace {

struct Preset {
    const char* name;
    QGGradient (*make)();
};

const Preset kPresets[] = {
    {"aquaSelectedGradient", QGGradient::aquaSelectedGradient},
    {"aquaNormalGradient", QGGradient::aquaNormalGradient},
    {"aquaPressedGradient", QGGradient::aquaPressedGradient},
    {"unifiedSelectedGradient", QGGradient::unifiedSelectedGradient},
    {"unifiedNormalGradient", QGGradient::unifiedNormalGradient},
    {"unifiedPressedGradient", QGGradient::unifiedPressedGradient},
    {"unifiedDarkGradient", QGGradient::unifiedDarkGradient},
    {"sourceListSelectedGradient", QGGradient::sourceListSelectedGradient},
    {"sourceListUnselectedGradient", QGGradient::sourceListUnselectedGradient},
    {"rainbowGradient", QGGradient::rainbowGradient},
    {"hydrogenSpectrumGradient", QGGradient::hydrogenSpectrumGradient},
};

struct BoxSample {
    const char* title;
    QRect place;
    std::function<void(RoundedBox&)> setUp;
};

}  // namespace

QImage renderWidgetGallery() {
    QImage image(900, 330, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(246, 246, 246));
    QPainter painter(&image);
    painter.setPen(Qt::black);

    int y = 14;
    for (const Preset& preset : kPresets) {
        const QGGradient gradient = preset.make();
        painter.drawText(QRectF(10, y, 190, 22), Qt::AlignVCenter, preset.name);
        gradient.fillRect(painter, QRectF(200, y, 200, 22), 0.0f);
        gradient.drawSwatchInRect(painter, QRectF(410, y, 40, 22));
        gradient.radialFillRect(painter, QRectF(460, y, 40, 22));
        y += 28;
    }

    const BoxSample boxes[] = {
        {"Normal", {520, 14, 180, 96}, [](RoundedBox&) {}},
        {"Selected", {710, 14, 180, 96}, [](RoundedBox& box) { box.setSelected(true); }},
        {"Full title bar",
         {520, 122, 180, 96},
         [](RoundedBox& box) { box.setDrawsFullTitleBar(true); }},
        {"A narrow box with a long title", {710, 122, 80, 96}, [](RoundedBox&) {}},
        {"No border", {800, 122, 90, 96}, [](RoundedBox& box) { box.setBorderWidth(0.0f); }},
        {"Plain background",
         {520, 230, 180, 90},
         [](RoundedBox& box) { box.setDrawsGradientBackground(false); }},
    };
    for (const BoxSample& sample : boxes) {
        RoundedBox box;
        sample.setUp(box);
        box.setTitle(sample.title);
        auto* layout = new QVBoxLayout(&box);
        layout->addWidget(new QLabel("Content"));
        box.resize(sample.place.size());
        box.ensurePolished();
        layout->activate();
        box.render(&painter, sample.place.topLeft(), QRegion(), QWidget::DrawChildren);
    }
    return image;
}
