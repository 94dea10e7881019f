#include <QGuiApplication>

#include "model/MiscKit.h"
#include "resources/stockart/StockArt.h"

// stockart DATABASE DESCRIPTION OUT_BUNDLE: writes the stock theme bundle.
// stockart --micro BUNDLE: writes its small preview from its 3D screenshot.
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc == 3 && QString(argv[1]) == "--micro") {
        return StockArt::writeMicroPreview(argv[2]) ? 0 : 1;
    }
    if (argc != 4) {
        return 2;
    }
    MiscKit catalogue{std::filesystem::path(argv[1])};
    return StockArt(catalogue).writeBundle(argv[3], argv[2]) ? 0 : 1;
}
