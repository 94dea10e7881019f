#include <QGuiApplication>

#include "model/MiscKit.h"
#include "resources/stockart/StockArt.h"

// stockart DATABASE DESCRIPTION OUT_BUNDLE: writes the stock theme bundle.
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        return 2;
    }
    MiscKit catalogue{std::filesystem::path(argv[1])};
    return StockArt(catalogue).writeBundle(argv[3], argv[2]) ? 0 : 1;
}
