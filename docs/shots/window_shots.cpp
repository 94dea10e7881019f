// Draws the collection and batch windows offscreen, as a user sees them after
// a few themes were added and a folder was converted, into the README's
// pictures:  window_shots docs/collection-window.png docs/batch-window.png
// Works in a temporary home; run it again after changing how the windows look.
#include <stdlib.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QPainter>

#include <deque>
#include <filesystem>

#include "app/BatchController.h"
#include "app/CollectionController.h"
#include "app/CollectionModel.h"
#include "app/Dialogs.h"
#include "app/Editor.h"
#include "app/VelvantoApplication.h"
#include "platform/FileManager.h"

namespace fs = std::filesystem;

namespace {

// Answers each panel with the next path and keeps quiet otherwise.
class Answers : public Dialogs {
public:
    std::deque<QString> paths;
    std::optional<QString> runOpenPanel(QWidget*, const OpenPanel&) override {
        if (paths.empty()) {
            return std::nullopt;
        }
        QString path = paths.front();
        paths.pop_front();
        return path;
    }
    std::optional<QString> runSavePanel(QWidget*, const SavePanel&) override { return {}; }
    void alert(QWidget*, const QString&, const QString&, const QString&) override {}
    SaveAnswer askSaveChanges(QWidget*) override { return SaveAnswer::DontSave; }
    void beep() override {}
    void openUrl(const QUrl&) override {}
};

// The stock micro preview in another colour.
void tint(const fs::path& picture, const QColor& colour) {
    QImage image(QString::fromStdString(picture.string()));
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(image.rect(), colour);
    painter.end();
    image.save(QString::fromStdString(picture.string()));
}

void shoot(QWidget* window, const char* out) {
    window->show();
    for (int turn = 0; turn < 5; ++turn) {
        QCoreApplication::processEvents();
    }
    window->grab().save(QString::fromUtf8(out));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_shots COLLECTION.png BATCH.png\n");
        return 2;
    }
    char pattern[] = "/tmp/velvanto-shots-XXXXXX";
    const fs::path home = ::mkdtemp(pattern);
    fs::create_directories(home / ".config/Velvanto");
    std::FILE* settings = std::fopen((home / ".config/Velvanto/Velvanto.conf").c_str(), "w");
    std::fputs("[General]\nFIRST=false\n", settings);
    std::fclose(settings);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    ::setenv("VELVANTO_ROOT", (home / "root").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    VelvantoApplication::prepare(RESOURCES);
    const fs::path stock = fs::path(RESOURCES) / "DefaultDock.docktheme";

    const fs::path collection = home / ".local/share/Velvanto";
    const std::vector<std::pair<const char*, QColor>> themes = {
        {"Amber", QColor(255, 170, 40, 90)},      {"Aurora", QColor(60, 220, 160, 80)},
        {"Blue Steel", QColor(70, 110, 200, 90)}, {"Graphite", QColor(40, 40, 40, 120)},
        {"Honey", QColor(240, 200, 60, 90)},      {"Rose", QColor(230, 80, 140, 80)}};
    for (const auto& [name, colour] : themes) {
        const fs::path bundle = collection / (std::string(name) + ".docktheme");
        fs::create_directories(collection);
        fs::copy(stock, bundle, fs::copy_options::recursive);
        tint(bundle / "preview_micro.png", colour);
    }
    fs::copy(stock, collection / "Velvanto Default.docktheme", fs::copy_options::recursive);

    Answers dialogs;
    Editor editor(dialogs);
    CollectionController& shelf = editor.collection();
    shelf._reloadThemesList();
    shelf.listOfThemes->selectionModel()->select(shelf.listOfDirectory->index(1),
                                                 QItemSelectionModel::Select);
    shelf.collection_window->resize(620, 400);
    shoot(shelf.collection_window, argv[1]);

    const fs::path source = home / "Dock images";
    for (const char* name : {"Carbon", "Dusk", "Emerald", "Frost", "Indigo", "Jade", "Kiwi"}) {
        fs::create_directories(source / name);
        for (const auto& image : fs::directory_iterator(stock / "images")) {
            fs::copy(image.path(), source / name / image.path().filename());
        }
    }
    fs::create_directories(source / "Kiwi/extras");
    fs::create_directories(home / "Themes");
    std::FILE* taken = std::fopen((home / "Themes/Frost.docktheme").c_str(), "w");
    std::fclose(taken);
    BatchController& batch = editor.batch();
    dialogs.paths = {QString::fromStdString(source.string()),
                     QString::fromStdString((home / "Themes").string())};
    batch.btn_chooseSource();
    batch.btn_startBatch();
    while (batch.isRunning()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    batch.batch_window->resize(860, 400);
    shoot(batch.batch_window, argv[2]);
    FileManager::removePath(home);  // the mkdtemp folder above, links inside kept as links
    return 0;
}
