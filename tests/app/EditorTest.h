#pragma once

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTextEdit>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "app/CollectionController.h"
#include "app/CollectionModel.h"
#include "app/Dialogs.h"
#include "app/Editor.h"
#include "app/EditorView.h"
#include "app/ImageDecoder.h"
#include "app/MainController.h"
#include "app/ThemeSession.h"
#include "app/UserDefaults.h"
#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"
#include "privileged/AuthorizationBackend.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

// The next scripted answer, or fallback when none is left.
template <typename T>
T nextAnswer(std::deque<T>& answers, T fallback) {
    if (answers.empty()) {
        return fallback;
    }
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

// Answers panels and questions as scripted; records alerts, beeps and opened addresses.
class ScriptedDialogs : public Dialogs {
public:
    struct Alert {
        QString title, button, message;
    };
    std::deque<std::optional<QString>> panelAnswers;  // one per panel, in order
    std::deque<SaveAnswer> saveAnswers;
    std::deque<bool> askAnswers;  // true: the default button; none left: the alternate
    std::vector<Alert> asked;     // each two-button question, its default button as button
    std::vector<Alert> alerts;
    std::deque<FindingsAnswer> findingsAnswers;  // none left: the sheet closed
    std::vector<FindingsSheet> sheets;
    std::deque<std::optional<int>> applicationAnswers;  // none left: cancelled
    std::vector<ApplicationChoice> choices;
    std::vector<QString> panelTitles;
    std::vector<QUrl> openedUrls;
    int beeps = 0;
    int questions = 0;

    std::optional<QString> runOpenPanel(QWidget*, const OpenPanel& panel) override {
        return nextPanelAnswer(panel.title);
    }
    std::optional<QString> runSavePanel(QWidget*, const SavePanel& panel) override {
        return nextPanelAnswer(panel.title.isEmpty() ? panel.proposedName : panel.title);
    }
    void alert(QWidget*, const QString& title, const QString& button,
               const QString& message) override {
        alerts.push_back({title, button, message});
    }
    bool ask(QWidget*, const QString& title, const QString& defaultButton, const QString&,
             const QString& message) override {
        asked.push_back({title, defaultButton, message});
        return nextAnswer(askAnswers, false);
    }
    FindingsAnswer showFindings(QWidget*, const FindingsSheet& sheet) override {
        sheets.push_back(sheet);
        return nextAnswer(findingsAnswers, FindingsAnswer{});
    }
    std::optional<int> chooseApplication(QWidget*, const ApplicationChoice& choice) override {
        choices.push_back(choice);
        return nextAnswer(applicationAnswers, std::optional<int>());
    }
    SaveAnswer askSaveChanges(QWidget*) override {
        ++questions;
        return nextAnswer(saveAnswers, SaveAnswer::Cancel);
    }
    void beep() override { ++beeps; }
    void openUrl(const QUrl& address) override { openedUrls.push_back(address); }

private:
    std::optional<QString> nextPanelAnswer(const QString& title) {
        panelTitles.push_back(title);
        // Copied as a plain QString: the optional's copy draws a false warning from GCC.
        const bool answered = !panelAnswers.empty() && panelAnswers.front().has_value();
        const QString path = answered ? *panelAnswers.front() : QString();
        if (!panelAnswers.empty()) {
            panelAnswers.pop_front();
        }
        return answered ? std::optional<QString>(path) : std::nullopt;
    }
};

// Authorization as a user answers it: waits for open() when gated; the tool really runs.
class GatedAuthorization : public AuthorizationBackend {
public:
    bool grant = true;
    bool gated = false;  // whether obtaining waits for open()
    int dialogs = 0;
    // Lets a waiting dialog be answered.
    void open() {
        std::lock_guard lock(mutex_);
        opened_ = true;
        changed_.notify_all();
    }
    // Whether a dialog waits for its answer now.
    bool waiting() const {
        std::lock_guard lock(mutex_);
        return waiting_;
    }

protected:
    OSStatus obtain(const std::vector<std::string>&, bool interaction) override {
        if (!interaction) {
            return errAuthorizationInteractionNotAllowed;
        }
        std::unique_lock lock(mutex_);
        ++dialogs;
        if (gated) {
            waiting_ = true;
            changed_.wait(lock, [this] { return opened_; });
            waiting_ = false;
        }
        return grant ? errAuthorizationSuccess : errAuthorizationCanceled;
    }
    OSStatus start(const std::string& tool, const std::vector<std::string>& arguments) override {
        return launch({tool}, arguments);
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool opened_ = false;
    bool waiting_ = false;
};

// Every editor test: own home and root, no fades, scripted dialogs, the log captured.
class EditorTest : public TestEnvironment {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes (again) the editor's windows, as a start of the editor does; its main window's
    // controller.
    MainController& start() {
        editor.reset();
        editor = std::make_unique<Editor>(dialogs);
        return editor->main();
    }
    // The one widget of type T with accessibleName, as a screen reader finds it; fails the test
    // when there are several, nullptr when there is none.
    template <typename T>
    static T* named(const QString& accessibleName) {
        T* found = nullptr;
        for (QWidget* widget : QApplication::allWidgets()) {
            auto* typed = qobject_cast<T*>(widget);
            if (typed && typed->accessibleName() == accessibleName) {
                EXPECT_EQ(found, nullptr) << "two controls are named " << text(accessibleName);
                found = typed;
            }
        }
        return found;
    }
    // The window of accessibleName, or nullptr while it was never made.
    static QWidget* window(const QString& accessibleName) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->accessibleName() == accessibleName) {
                return widget;
            }
        }
        return nullptr;
    }
    // The editor's three views.
    static std::vector<QWidget*> views() {
        return {named<QWidget>("Welcome"), named<QWidget>("Theme information"),
                named<QWidget>("Image editor")};
    }
    // The editor's main window.
    static QMainWindow* mainWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* main = qobject_cast<QMainWindow*>(widget)) {
                return main;
            }
        }
        return nullptr;
    }
    // The action of the main window's menus or toolbar whose text ("&" ignored) or tool tip is
    // title.
    static QAction* action(const QString& title) {
        for (QAction* candidate : mainWindow()->findChildren<QAction*>()) {
            if (candidate->text().remove('&') == title || candidate->toolTip() == title) {
                return candidate;
            }
        }
        ADD_FAILURE() << "no action " << text(title);
        return nullptr;
    }
    // A copy of the stock theme at temp()/name.docktheme with info's keys set (empty: removed).
    QString themeCopy(const QString& name, const std::map<std::string, std::string>& info = {});
    // Processes events until done() or a bound of some seconds; done()'s last value.
    static bool waitUntil(const std::function<bool()>& done);
    QString alertTitles() const;
    // Each alert as "title: message", one a line.
    QString alertTexts() const;
    static std::string text(const QString& string) { return string.toStdString(); }
    // Types value into field as the user does: its text and the edit signal.
    static void type(QLineEdit* field, const QString& value) {
        field->setText(value);
        emit field->textEdited(value);
    }
    // Chooses the item at index of box as the user does.
    static void choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static QString qs(const fs::path& path) { return QString::fromStdString(path.string()); }
    QString at(const std::string& relative) const { return qs(temp() / relative); }
    // A PNG of size filled with colour at temp()/name.
    QString picture(const QString& name, QSize size, QColor colour = Qt::red) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(at(text(name)), "PNG"));
        return at(text(name));
    }
    // Opens a copy of the stock theme and shows the editor view, its pictures decoded.
    QString openTheme(MainController& c, const QString& name = QStringLiteral("A")) {
        QString theme = themeCopy(name);
        EXPECT_TRUE(c._openThemeAtPath(theme));
        c.btn_showEditorDock(MainController::kEditorTab);
        EXPECT_TRUE(pictured(c));
        return theme;
    }
    // Opens a copy of the stock theme and selects key's slot; its row.
    int openAndSelect(MainController& c, const std::string& key) {
        openTheme(c);
        select(c, {rowOf(c, key)});
        return rowOf(c, key);
    }
    // Processes events until every picture asked for is decoded and shown.
    static bool pictured(MainController& c) {
        return waitUntil([&c] { return c.session().decoder().idle(); });
    }
    // Selects exactly rows in the slot browser (none: clears the selection), its picture shown.
    static void select(MainController& c, std::initializer_list<int> rows);
    // The row of key in the browser, or -1.
    static int rowOf(MainController& c, const std::string& key);
    static QString imagePath(MainController& c, int row) {
        return QString::fromStdString(
            (*c.editorView().slotList())[static_cast<std::size_t>(row)]->path());
    }
    static std::string bytes(const QString& path) {
        return FileManager::readFile(path.toStdString()).value_or("<none>");
    }
    // The name the bundle's Info.plist gives, or "(invalid)" when the bundle does not open.
    static std::string dockNameOf(const fs::path& bundle) {
        auto theme = DockTheme::initWithBundleAtPath(bundle.string());
        return theme ? theme->dockName().value_or("(none)") : "(invalid)";
    }

    CapturedLog log;
    ScriptedDialogs dialogs;
    GatedAuthorization* authorization = nullptr;
    std::unique_ptr<Editor> editor;
};

// The theme collection: its folder, its window's titles and selection.
class CollectionTest : public EditorTest {
protected:
    fs::path folder() const { return home() / ".local/share/Velvanto"; }
    fs::path entry(const std::string& name) const { return folder() / (name + ".docktheme"); }
    CollectionController& collection() {
        start();
        return editor->collection();
    }
    // A copy of the stock theme in the collection as name.docktheme.
    void inCollection(const std::string& name) {
        fs::create_directories(folder());
        fs::copy(stockTheme(), entry(name), fs::copy_options::recursive);
    }
    // The titles the browser shows, sorted.
    static std::vector<std::string> titles(const CollectionController& c) {
        std::vector<std::string> shown;
        for (int row = 0; row < c.listOfDirectory->rowCount(); ++row) {
            shown.push_back(text(c.listOfDirectory->index(row).data().toString()));
        }
        std::sort(shown.begin(), shown.end());
        return shown;
    }
    static void select(CollectionController& c, const std::vector<std::string>& names) {
        c.listOfThemes->clearSelection();
        for (int row = 0; row < c.listOfDirectory->rowCount(); ++row) {
            QModelIndex index = c.listOfDirectory->index(row);
            if (std::ranges::find(names, text(index.data().toString())) != names.end()) {
                c.listOfThemes->selectionModel()->select(index, QItemSelectionModel::Select);
            }
        }
    }
};
