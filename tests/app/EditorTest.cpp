#include "EditorTest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "model/DockTheme.h"
#include "platform/Beep.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"
#include "platform/SystemPaths.h"
#include "privileged/SXAuthentication.h"
#include "widgets/RVAnimationAdditions.h"

namespace fs = std::filesystem;

std::optional<QString> ScriptedDialogs::nextPanelAnswer(const QString& title) {
    panelTitles.push_back(title);
    if (panelAnswers.empty()) {
        return std::nullopt;
    }
    const bool answered = panelAnswers.front().has_value();
    const QString path = panelAnswers.front().value_or(QString());
    panelAnswers.pop_front();
    return answered ? std::optional<QString>(path) : std::nullopt;
}

std::optional<QString> ScriptedDialogs::runOpenPanel(QWidget*, const OpenPanel& panel) {
    return nextPanelAnswer(panel.title);
}

std::optional<QString> ScriptedDialogs::runSavePanel(QWidget*, const SavePanel& panel) {
    return nextPanelAnswer(panel.title.isEmpty() ? panel.proposedName : panel.title);
}

void ScriptedDialogs::alert(QWidget*, const QString& title, const QString& button,
                            const QString& message) {
    alerts.push_back({title, button, message});
}

bool ScriptedDialogs::ask(QWidget*, const QString& title, const QString& defaultButton,
                          const QString&, const QString& message) {
    asked.push_back({title, defaultButton, message});
    if (askAnswers.empty()) {
        return false;
    }
    bool answer = askAnswers.front();
    askAnswers.pop_front();
    return answer;
}

Dialogs::SaveAnswer ScriptedDialogs::askSaveChanges(QWidget*) {
    ++questions;
    if (saveAnswers.empty()) {
        return SaveAnswer::Cancel;
    }
    SaveAnswer answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

void GatedAuthorization::open() {
    std::lock_guard lock(mutex_);
    opened_ = true;
    changed_.notify_all();
}

bool GatedAuthorization::waiting() const {
    std::lock_guard lock(mutex_);
    return waiting_;
}

OSStatus GatedAuthorization::obtain(const std::vector<std::string>&, bool interaction) {
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

OSStatus GatedAuthorization::start(const std::string& tool,
                                   const std::vector<std::string>& arguments) {
    return launch({tool}, arguments);
}

CapturedLog::CapturedLog() {
    previous_ = Log::setSink([this](const std::string& line) {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
    });
}

CapturedLog::~CapturedLog() {
    Log::setSink(previous_);
}

std::vector<std::string> CapturedLog::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

void CapturedLog::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

void EditorTest::SetUp() {
    TestEnvironment::SetUp();
    SystemPaths::setResourceFolder(appResources());
    RVAnimationAdditions::setDefaultDuration(0);
    auto gate = std::make_unique<GatedAuthorization>();
    authorization = gate.get();
    AuthorizationServices::install(std::move(gate));
    Beep::setHook([this] { ++dialogs.beeps; });
}

void EditorTest::TearDown() {
    if (controller) {
        authorization->open();
        controller.reset();
    }
    SXAuthentication::sharedInstance().deauthenticate();
    AuthorizationServices::install(nullptr);
    Beep::setHook(nullptr);
    TestEnvironment::TearDown();
}

MainController& EditorTest::start() {
    controller.reset();
    controller = std::make_unique<MainController>(dialogs);
    return *controller;
}

QString EditorTest::themeCopy(const QString& name, const std::map<std::string, std::string>& info) {
    fs::path bundle = temp() / (name.toStdString() + ".docktheme");
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
    return QString::fromStdString(bundle.string());
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
    for (const auto& alert : dialogs.alerts) {
        titles << alert.title;
    }
    return titles.join(QStringLiteral(", "));
}
