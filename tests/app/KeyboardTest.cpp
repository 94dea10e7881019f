// The keyboard alone: in every window Tab reaches each control a user can work, in reading
// order, Shift+Tab goes the same way back, and no two Alt keys clash.
#include <QAbstractButton>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "EditorTest.h"

namespace {

// A control the user works: it takes focus by Tab, is shown and enabled, and has a name.
bool takesTab(const QWidget* widget) {
    return (widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->isEnabled() &&
           !widget->accessibleName().isEmpty() && !qobject_cast<const QScrollBar*>(widget);
}

void readingOrder(QWidget* widget, std::vector<QWidget*>& order);

// Boxes in their direction, forms and grids row by row, left to right.
void readingOrder(QLayout* layout, std::vector<QWidget*>& order) {
    std::vector<std::tuple<int, int, QLayoutItem*>> items;
    for (int index = 0; index < layout->count(); ++index) {
        int row = index, column = 0, span = 0;
        if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
            grid->getItemPosition(index, &row, &column, &span, &span);
        } else if (auto* form = qobject_cast<QFormLayout*>(layout)) {
            QFormLayout::ItemRole role{};
            form->getItemPosition(index, &row, &role);
            column = static_cast<int>(role);
        }
        items.emplace_back(row, column, layout->itemAt(index));
    }
    std::ranges::stable_sort(items, {}, [](const auto& item) {
        return std::pair(std::get<0>(item), std::get<1>(item));
    });
    for (const auto& [row, column, item] : items) {
        if (item->widget()) {
            readingOrder(item->widget(), order);
        } else if (item->layout()) {
            readingOrder(item->layout(), order);
        }
    }
}

// The controls of widget as a reader meets them: a main window's toolbars, then its centre.
void readingOrder(QWidget* widget, std::vector<QWidget*>& order) {
    if (!widget->isVisible()) {
        return;
    }
    if (takesTab(widget)) {
        order.push_back(widget);
    } else if (auto* main = qobject_cast<QMainWindow*>(widget)) {
        for (QToolBar* toolbar : main->findChildren<QToolBar*>()) {
            readingOrder(toolbar, order);
        }
        readingOrder(main->centralWidget(), order);
        readingOrder(main->statusBar(), order);
    } else if (widget->layout()) {
        readingOrder(widget->layout(), order);
    } else {
        QList<QWidget*> children = widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        std::ranges::stable_sort(
            children, {}, [](const QWidget* child) { return std::pair(child->y(), child->x()); });
        for (QWidget* child : children) {
            readingOrder(child, order);
        }
    }
}

// The Alt keys of window's menus, labels and buttons shown, each as often as it is taken.
std::map<int, int> mnemonics(QWidget* window) {
    QStringList texts;
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        for (QAction* menu : main->menuBar()->actions()) {
            texts << menu->text();
        }
    }
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (widget->isVisible() && (label || button)) {
            texts << (label ? label->text() : button->text());
        }
    }
    std::map<int, int> taken;
    for (const QString& text : texts) {
        if (const QKeySequence key = QKeySequence::mnemonic(text); !key.isEmpty()) {
            ++taken[key[0].toCombined()];
        }
    }
    return taken;
}

std::string names(const std::vector<QWidget*>& controls) {
    std::string joined;
    for (const QWidget* control : controls) {
        joined += (joined.empty() ? "" : ", ") + control->accessibleName().toStdString();
    }
    return joined;
}

}  // namespace

class KeyboardTest : public EditorTest {
protected:
    // Shows window as the window that takes the keys.
    static bool activate(QWidget* window) {
        window->show();
        QApplication::setActiveWindow(window);
        return waitUntil([window] { return window->isActiveWindow(); });
    }
    // The controls key reaches from the first of order, until the chain comes round;
    // a focused part of a control (an editable box's line) counts as the control.
    static std::vector<QWidget*> walk(const std::vector<QWidget*>& order, Qt::Key key) {
        std::vector<QWidget*> reached;
        order.front()->setFocus(Qt::TabFocusReason);
        for (std::size_t step = 0; step < 2 * order.size() + 2; ++step) {
            QWidget* focused = QApplication::focusWidget();
            QWidget* control = focused;
            while (control && std::ranges::find(order, control) == order.end()) {
                control = control->parentWidget();
            }
            if (!focused || (step > 0 && control == order.front())) {
                break;
            }
            reached.push_back(control ? control : focused);
            QTest::keyClick(focused, key);
        }
        return reached;
    }
};

TEST_F(KeyboardTest, TabReachesEveryControlOfEveryWindowInReadingOrder) {
    MainController& c = start();
    auto main = [&](int tab) {
        c.btn_showEditorDock(tab);
        return mainWindow();
    };
    using Show = std::function<QWidget*()>;
    const std::vector<std::pair<const char*, Show>> windows = {
        {"welcome", [&] { return mainWindow(); }},
        {"information",
         [&] {
             openAndSelect(c, "Separator_Horizontal");
             // A feed address, refused before any transfer, opens the update sheet below.
             type(named<QLineEdit>("Update feed address"), "http://127.0.0.1:9/feed.xml");
             EXPECT_TRUE(c.btn_saveInfo());
             return main(MainController::kInformationTab);
         }},
        {"editor", [&] { return main(MainController::kEditorTab); }},
        {"preferences",
         [&] {
             c.btn_show_preferences();
             return window("Preferences");
         }},
        {"about",
         [&] {
             c.btn_change_openAbout();
             return window("About Velvanto");
         }},
        {"guide",
         [&] {
             c.btn_quickGuide();
             return window("Quick guide");
         }},
        {"preview",
         [&] {
             c.btn_show_previewPanel();
             EXPECT_TRUE(waitUntil([&] { return window("Image preview")->isVisible(); }));
             return window("Image preview");
         }},
        {"progress",
         [&] {
             c.btn_checkUpdateForTheme();
             return window("Checking the theme for an update");
         }},
        {"collection",
         [&] {
             c.btn_browseCollection();
             return window("Theme collection");
         }},
        {"batch",
         [&] {
             c.btn_openBatchConverter();
             return window("Batch converter");
         }},
    };
    mainWindow()->show();
    for (const auto& [what, show] : windows) {
        SCOPED_TRACE(what);
        QWidget* shown = show();
        ASSERT_TRUE(shown);
        ASSERT_TRUE(activate(shown));
        std::vector<QWidget*> order;
        readingOrder(shown, order);
        // Nothing the reading order missed: every control of the window is in it.
        for (QWidget* control : shown->findChildren<QWidget*>()) {
            if (takesTab(control) && control->window() == shown) {
                EXPECT_TRUE(std::ranges::any_of(order, [&](QWidget* listed) {
                    return listed == control || listed->isAncestorOf(control);
                })) << text(control->accessibleName());
            }
        }
        ASSERT_FALSE(order.empty());
        for (const auto& [key, times] : mnemonics(shown)) {
            EXPECT_EQ(times, 1) << text(QKeySequence(key).toString());
        }
        EXPECT_EQ(names(walk(order, Qt::Key_Tab)), names(order));
        std::vector<QWidget*> back(order.begin() + 1, order.end());
        std::ranges::reverse(back);
        back.insert(back.begin(), order.front());
        EXPECT_EQ(names(walk(order, Qt::Key_Backtab)), names(back));
    }
}

TEST_F(KeyboardTest,
       TabLeavesTheDescriptionCtrlTabTypesATabReturnOnAPictureAsksForItAndTheFocusFollowsTheView) {
    MainController& c = start();
    const QString theme = themeCopy("A");
    ASSERT_TRUE(c._openThemeAtPath(theme));
    ASSERT_TRUE(activate(mainWindow()));
    QTextEdit* description = named<QTextEdit>("Description");
    const QString before = description->toPlainText();
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        description->setFocus(Qt::TabFocusReason);
        QTest::keyClick(description, key);
        EXPECT_NE(QApplication::focusWidget(), description);
    }
    EXPECT_EQ(description->toPlainText(), before);
    EXPECT_FALSE(c.session().hasUnsavedInformation());
    description->setFocus(Qt::TabFocusReason);
    description->moveCursor(QTextCursor::Start);
    QTest::keyClick(description, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), description);
    EXPECT_EQ(description->toPlainText(), "\t" + before);
    EXPECT_TRUE(c.session().hasUnsavedInformation());
    // Return on a drop target: the file asked for goes where a drop would put it.
    dialogs.panelAnswers = {picture("micro.png", {20, 10}, Qt::green)};
    auto* micro = named<DragDropImageView>("Theme preview picture");
    micro->setFocus(Qt::TabFocusReason);
    QTest::keyClick(micro, Qt::Key_Return);
    EXPECT_EQ(bytes(theme + "/preview_micro.png"), bytes(at("micro.png")));
    // The focus follows the view shown into it.
    c.btn_showEditorDock(MainController::kEditorTab);
    EXPECT_EQ(QApplication::focusWidget(), named<QListView>("Theme images"));
}
