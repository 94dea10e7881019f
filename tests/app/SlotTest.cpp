#include "SlotTest.h"

#include "app/SlotListModel.h"
#include "platform/FileManager.h"

QString SlotTest::picture(const QString& name, QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QString path = QString::fromStdString((temp() / name.toStdString()).string());
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

QString SlotTest::openTheme(MainController& c, const QString& name) {
    QString theme = themeCopy(name);
    EXPECT_TRUE(c._openThemeAtPath(theme));
    c.btn_showEditorDock(MainController::kEditorTab);
    return theme;
}

int SlotTest::openAndSelect(MainController& c, const std::string& key, QString* theme) {
    QString opened = openTheme(c);
    if (theme) {
        *theme = opened;
    }
    int row = rowOf(c, key);
    select(c, {row});
    return row;
}

void SlotTest::select(MainController& c, std::initializer_list<int> rows) {
    QItemSelection chosen;
    for (int row : rows) {
        QModelIndex index = c.listOfImages->model()->index(row, 0);
        chosen.select(index, index);
    }
    c.listOfImages->selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
}

int SlotTest::rowOf(MainController& c, const std::string& key) {
    const DockTheme::SlotList* list = c.dock_images();
    for (std::size_t row = 0; list && row < list->size(); ++row) {
        if ((*list)[row]->keyDock() == key) {
            return static_cast<int>(row);
        }
    }
    ADD_FAILURE() << key << " is not in the browser";
    return -1;
}

QString SlotTest::imagePath(MainController& c, int row) {
    return QString::fromStdString((*c.dock_images())[static_cast<std::size_t>(row)]->path());
}

std::string SlotTest::bytes(const QString& path) {
    return FileManager::readFile(path.toStdString()).value_or("<none>");
}
