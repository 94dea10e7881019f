#pragma once

#include <QStringList>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "app/Dialogs.h"
#include "app/MainController.h"
#include "platform/Log.h"
#include "privileged/AuthorizationBackend.h"
#include "support/TestEnvironment.h"

// Answers panels and questions as the test scripts them, and records what the
// user would have seen: alerts, beeps and addresses handed to the browser.
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
    std::vector<QString> panelTitles;
    std::vector<QUrl> openedUrls;
    int beeps = 0;
    int questions = 0;

    std::optional<QString> runOpenPanel(QWidget*, const OpenPanel& panel) override;
    std::optional<QString> runSavePanel(QWidget*, const SavePanel& panel) override;
    void alert(QWidget*, const QString& title, const QString& button,
               const QString& message) override;
    bool ask(QWidget*, const QString& title, const QString& defaultButton,
             const QString& alternateButton, const QString& message) override;
    SaveAnswer askSaveChanges(QWidget*) override;
    void beep() override { ++beeps; }
    void openUrl(const QUrl& address) override { openedUrls.push_back(address); }

private:
    std::optional<QString> nextPanelAnswer(const QString& title);
};

// The system's authorization as a user answers it: the dialog stays up until
// the test opens the gate, then grants or cancels. The tool really runs.
class GatedAuthorization : public AuthorizationBackend {
public:
    bool grant = true;
    bool gated = false;  // whether obtaining waits for open()
    int dialogs = 0;
    // Lets a waiting dialog be answered.
    void open();
    // Whether a dialog waits for its answer now.
    bool waiting() const;

protected:
    OSStatus obtain(const std::vector<std::string>& paths, bool interaction) override;
    OSStatus start(const std::string& tool, const std::vector<std::string>& arguments) override;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool opened_ = false;
    bool waiting_ = false;
};

// The log's lines while it lives, from any thread; the sink before it comes back after.
class CapturedLog {
public:
    CapturedLog();
    ~CapturedLog();
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;
    std::vector<std::string> lines() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    Log::Sink previous_;
};

// Every editor test: its own home, settings and root, the build's resources,
// no fades, the scripted dialogs and authorization, and a controller made
// afresh by start().
class EditorTest : public TestEnvironment {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes (again) the controller, as a start of the editor does.
    MainController& start();
    // A copy of the stock theme at temp()/name.docktheme, with info's keys set
    // (an empty value removes the key).
    QString themeCopy(const QString& name, const std::map<std::string, std::string>& info = {});
    // Processes events until done() or a bound of some seconds; done()'s last value.
    static bool waitUntil(const std::function<bool()>& done);
    QString alertTitles() const;
    static std::string text(const QString& string) { return string.toStdString(); }

    ScriptedDialogs dialogs;
    GatedAuthorization* authorization = nullptr;
    std::unique_ptr<MainController> controller;
};
