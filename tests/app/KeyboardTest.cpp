// The keyboard alone: every control of every window is named and reached by Tab in reading
// order (Shift+Tab the same way back), and no two Alt keys of a window clash.
#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "EditorTest.h"

namespace {

bool focusable(const QWidget* widget) {
    return (widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() &&
           !qobject_cast<const QScrollBar*>(widget) && !widget->objectName().startsWith("qt_");
}

// The enabled controls below widget in the order of its layouts (boxes in their direction,
// forms row by row); a main window's toolbars come before its centre.
void readingOrder(QObject* item, std::vector<QWidget*>& order) {
    auto* widget = qobject_cast<QWidget*>(item);
    if (widget && (!widget->isVisible() || (focusable(widget) && widget->isEnabled()))) {
        if (widget->isVisible()) {
            order.push_back(widget);
        }
        return;
    }
    auto* main = qobject_cast<QMainWindow*>(item);
    QLayout* layout = widget ? widget->layout() : qobject_cast<QLayout*>(item);
    QObjectList parts;
    if (main) {
        for (QToolBar* toolbar : main->findChildren<QToolBar*>()) {
            parts << toolbar;
        }
        parts << main->centralWidget();
    } else if (layout) {
        for (int index = 0; index < layout->count(); ++index) {
            QLayoutItem* part = layout->itemAt(index);
            parts << (part->widget() ? static_cast<QObject*>(part->widget()) : part->layout());
        }
    } else if (widget) {
        parts = widget->children();
    }
    for (QObject* part : parts) {
        if (part) {
            readingOrder(part, order);
        }
    }
}

QString names(const std::vector<QWidget*>& controls) {
    QStringList all;
    std::ranges::transform(controls, std::back_inserter(all), &QWidget::accessibleName);
    return all.join(", ");
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
    // The controls key reaches from the first of order until the chain comes round; a focused
    // part of a control (an editable box's line) counts as the control.
    static std::vector<QWidget*> walk(const std::vector<QWidget*>& order, Qt::Key key) {
        std::vector<QWidget*> reached;
        order.front()->setFocus(Qt::TabFocusReason);
        for (QWidget* focused = QApplication::focusWidget();
             focused && reached.size() <= order.size(); focused = QApplication::focusWidget()) {
            QWidget* control = focused;
            while (control && std::ranges::find(order, control) == order.end()) {
                control = control->parentWidget();
            }
            if (!reached.empty() && control == order.front()) {
                break;
            }
            reached.push_back(control ? control : focused);
            QTest::keyClick(focused, key);
        }
        return reached;
    }
    static void check(QWidget* window) {
        ASSERT_TRUE(activate(window));
        EXPECT_FALSE(window->accessibleName().isEmpty());
        std::vector<QWidget*> order;
        readingOrder(window, order);
        ASSERT_FALSE(order.empty());
        std::map<int, QString> keys;  // each Alt key, and the text that took it first
        if (auto* main = qobject_cast<QMainWindow*>(window)) {
            for (QAction* menu : main->menuBar()->actions()) {
                keys[QKeySequence::mnemonic(menu->text())[0].toCombined()] = menu->text();
            }
        }
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (control->window() != window) {
                continue;  // another window it owns, checked on its own
            }
            if (focusable(control)) {
                EXPECT_FALSE(control->accessibleName().isEmpty()) << text(control->objectName());
                EXPECT_TRUE(!control->isEnabled() || std::ranges::any_of(order, [&](auto* listed) {
                    return listed == control || listed->isAncestorOf(control);
                })) << text(control->accessibleName());
            }
            auto* label = qobject_cast<QLabel*>(control);
            auto* button = qobject_cast<QAbstractButton*>(control);
            const QString shown = label ? label->text() : button ? button->text() : QString();
            if (const QKeySequence key = QKeySequence::mnemonic(shown);
                !key.isEmpty() && control->isVisible()) {
                EXPECT_TRUE(keys.emplace(key[0].toCombined(), shown).second)
                    << text(shown) << " takes the key of " << text(keys[key[0].toCombined()]);
            }
        }
        EXPECT_EQ(names(walk(order, Qt::Key_Tab)), names(order));
        std::vector<QWidget*> back(order.rbegin(), order.rend() - 1);
        back.insert(back.begin(), order.front());
        EXPECT_EQ(names(walk(order, Qt::Key_Backtab)), names(back));
    }
};

TEST_F(KeyboardTest, EveryControlOfEveryWindowIsNamedAndReachedByTabInReadingOrder) {
    MainController& c = start();
    check(mainWindow());  // the welcome view
    openAndSelect(c, "Separator_Horizontal");
    // A feed address, refused before any transfer, so the update sheet opens.
    type(named<QLineEdit>("Update feed address"), "http://127.0.0.1:9/feed.xml");
    ASSERT_TRUE(c.btn_saveInfo());
    for (int tab : {MainController::kInformationTab, MainController::kEditorTab}) {
        SCOPED_TRACE(tab);
        c.btn_showEditorDock(tab);
        check(mainWindow());
    }
    for (auto [show, name] : std::vector<std::pair<void (MainController::*)(), const char*>>{
             {&MainController::btn_show_preferences, "Preferences"},
             {&MainController::btn_change_openAbout, "About Velvanto"},
             {&MainController::btn_quickGuide, "Quick guide"},
             {&MainController::btn_show_previewPanel, "Image preview"},
             {&MainController::btn_checkUpdateForTheme, "Checking the theme for an update"},
             {&MainController::btn_browseCollection, "Theme collection"},
             {&MainController::btn_openBatchConverter, "Batch converter"}}) {
        SCOPED_TRACE(name);
        (c.*show)();
        ASSERT_TRUE(waitUntil([&] { return window(name) && window(name)->isVisible(); }));
        check(window(name));
    }
    // Windows are told as windows, and every menu item reads as it should.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window("Quick guide"))->role(),
              QAccessible::Dialog);
    for (QAction* action : mainWindow()->findChildren<QAction*>()) {
        EXPECT_FALSE(action->text().contains("Images Images")) << text(action->text());
    }
}

TEST_F(KeyboardTest, TabLeavesTheDescriptionCtrlTabTypesATabAndReturnOnAPictureAsksForIt) {
    MainController& c = start();
    const QString theme = themeCopy("A");
    ASSERT_TRUE(c._openThemeAtPath(theme));
    ASSERT_TRUE(activate(mainWindow()));
    QTextEdit* description = named<QTextEdit>("Description");
    const QString before = description->toPlainText();
    for (auto [key, modifiers] : {std::pair{Qt::Key_Tab, Qt::NoModifier},
                                  {Qt::Key_Backtab, Qt::NoModifier},
                                  {Qt::Key_Tab, Qt::ControlModifier}}) {
        description->setFocus(Qt::TabFocusReason);
        QTest::keyClick(description, key, modifiers);
        EXPECT_EQ(QApplication::focusWidget() == description, modifiers != Qt::NoModifier);
    }
    EXPECT_EQ(description->toPlainText().remove('\t'), before);
    EXPECT_EQ(description->toPlainText().count('\t'), before.count('\t') + 1);
    // Return on a drop target puts the file asked for where a drop would; the focus follows
    // the view shown into it.
    dialogs.panelAnswers = {picture("micro.png", {20, 10}, Qt::green)};
    auto* micro = named<DragDropImageView>("Theme preview picture");
    micro->setFocus(Qt::TabFocusReason);
    QTest::keyClick(micro, Qt::Key_Return);
    EXPECT_EQ(bytes(theme + "/preview_micro.png"), bytes(at("micro.png")));
    c.btn_showEditorDock(MainController::kEditorTab);
    EXPECT_EQ(QApplication::focusWidget(), named<QListView>("Theme images"));
}
