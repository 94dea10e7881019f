#pragma once

#include <QColor>
#include <QImage>
#include <QItemSelectionModel>
#include <QListView>

#include "EditorTest.h"

// Editor tests about the slot browser: pictures made on disk, slots selected
// as a user clicks them, and the history of replacements.
class SlotTest : public EditorTest {
protected:
    // A PNG of size filled with colour at temp()/name.
    QString picture(const QString& name, QSize size, QColor colour = Qt::red);
    // Opens a copy of the stock theme and shows the editor view.
    QString openTheme(MainController& c, const QString& name = QStringLiteral("A"));
    // Opens a copy of the stock theme and selects key's slot; its row.
    int openAndSelect(MainController& c, const std::string& key, QString* theme = nullptr);
    // Selects exactly rows (none: clears the selection).
    static void select(MainController& c, std::initializer_list<int> rows);
    // The row of key in the browser, or -1.
    static int rowOf(MainController& c, const std::string& key);
    static QString imagePath(MainController& c, int row);
    static std::string bytes(const QString& path);
};
