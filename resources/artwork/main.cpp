#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include "resources/artwork/Artwork.h"
#include "widgets/IcnsImage.h"

// artwork OUT_FOLDER ICON_FOLDER SIDE...: writes icon4on.icns and drag_here.png
// into OUT_FOLDER, and the application icon drawn at each SIDE as
// ICON_FOLDER/SIDExSIDE/apps/velvanto.png (the desktop icon theme's layout).
int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 4) {
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
    for (int i = 3; i < argc; ++i) {
        int side = QString::fromLocal8Bit(argv[i]).toInt();
        QString apps = QString::fromLocal8Bit(argv[2]) + QString("/%1x%1/apps").arg(side);
        ok = side > 0 && QDir().mkpath(apps) && Artwork::icon(side).save(apps + "/velvanto.png") &&
             ok;
    }
    return ok ? 0 : 1;
}
