#pragma once

#include <QImage>

// A picture of the eleven gradient presets (axial and radial) and of rounded
// boxes in their main states: normal, selected, full title bar, narrow with
// a cut title, no border, plain background. Needs a QApplication.
QImage renderWidgetGallery();
