#include <QApplication>

#include <cstdio>

#include "WidgetGallery.h"

// widget_gallery OUT.png: draws the widget gallery offscreen into OUT.png.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    if (argc != 2 || !renderWidgetGallery().save(argv[1])) {
        std::fprintf(stderr, "usage: widget_gallery OUT.png\n");
        return 1;
    }
    return 0;
}
