#pragma once

#include <QImage>

// The gradient presets and rounded boxes in their main states; needs a QApplication.
QImage renderWidgetGallery();
