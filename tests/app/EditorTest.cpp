#include "EditorTest.h"

#include <QElapsedTimer>
#include <QThread>

#include "platform/Beep.h"
#include "privileged/SXAuthentication.h"
#include "widgets/RVAnimationAdditions.h"

void EditorTest::SetUp() {
    TestEnvironment::SetUp();
    RVAnimationAdditions::setDefaultDuration(0);
    auto gate = std::make_unique<GatedAuthorization>();
    authorization = gate.get();
    AuthorizationServices::install(std::move(gate));
    Beep::setHook([this] { ++dialogs.beeps; });
}

void EditorTest::TearDown() {
    if (editor) {
        authorization->open();
        editor.reset();
    }
    SXAuthentication::sharedInstance().deauthenticate();
    AuthorizationServices::install(nullptr);
    Beep::setHook(nullptr);
    TestEnvironment::TearDown();
}

QString EditorTest::themeCopy(const QString& name, const std::map<std::string, std::string>& info) {
    fs::path bundle = temp() / (text(name) + ".docktheme");
    EXPECT_TRUE(FileManager::copyPath(stockTheme(), bundle));
    auto dictionary = PropertyList::readDictionary(bundle / "Info.plist");
    for (const auto& [key, value] : info) {
        if (value.empty()) {
            dictionary->remove(key);
        } else {
            dictionary->set(key, PlistValue(value));
        }
    }
    EXPECT_TRUE(PropertyList::write(bundle / "Info.plist", *dictionary));
    return qs(bundle);
}

bool EditorTest::waitUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

QString EditorTest::alertTitles() const {
    QStringList titles;
    std::ranges::transform(dialogs.alerts, std::back_inserter(titles),
                           &ScriptedDialogs::Alert::title);
    return titles.join(QStringLiteral(", "));
}

QString EditorTest::alertTexts() const {
    QStringList texts;
    std::ranges::transform(dialogs.alerts, std::back_inserter(texts),
                           [](const auto& alert) { return alert.title + ": " + alert.message; });
    return texts.join('\n');
}

void EditorTest::select(MainController& c, std::initializer_list<int> rows) {
    QItemSelection chosen;
    for (int row : rows) {
        QModelIndex index = named<QListView>("Theme images")->model()->index(row, 0);
        chosen.select(index, index);
    }
    named<QListView>("Theme images")
        ->selectionModel()
        ->select(chosen, QItemSelectionModel::ClearAndSelect);
    EXPECT_TRUE(pictured(c));
}

int EditorTest::rowOf(MainController& c, const std::string& key) {
    const DockTheme::SlotList* list = c.editorView().slotList();
    for (std::size_t row = 0; list && row < list->size(); ++row) {
        if ((*list)[row]->keyDock() == key) {
            return static_cast<int>(row);
        }
    }
    ADD_FAILURE() << key << " is not in the browser";
    return -1;
}
