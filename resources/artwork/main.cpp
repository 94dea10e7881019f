#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include "resources/artwork/Artwork.h"
#include "widgets/IcnsImage.h"

// artwork OUT_FOLDER: writes icon4on.icns, drag_here.png and velvanto.png (256 pixels).
int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        return 2;
    }
    QString folder = QString::fromLocal8Bit(argv[1]);
    QSaveFile icns(folder + "/icon4on.icns");
    if (!icns.open(QIODevice::WriteOnly)) {
        return 1;
    }
    icns.write(IcnsImage::toData({Artwork::icon(128), Artwork::icon(256), Artwork::icon(512)}));
    bool ok = icns.commit();
    ok = Artwork::dropPlaceholder(360, 240).save(folder + "/drag_here.png") && ok;
    ok = Artwork::icon(256).save(folder + "/velvanto.png") && ok;
    return ok ? 0 : 1;
}
