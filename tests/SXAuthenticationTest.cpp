#include <chrono>
#include <fstream>
#include <thread>

#include "platform/Beep.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Process.h"
#include "privileged/DirectAuthorization.h"
#include "privileged/PolkitAuthorization.h"
#include "privileged/SXAuthentication.h"
#include "support/ScriptedAuthorization.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using Answer = ScriptedAuthorization::Answer;

class SXAuthenticationTest : public TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        auto scripted = std::make_unique<ScriptedAuthorization>();
        services_ = scripted.get();
        AuthorizationServices::install(std::move(scripted));
        auth_ = std::make_unique<SXAuthentication>();
        previousBeep_ = Beep::setHook([this] { ++beeps_; });
        previousLog_ = Log::setSink([this](const std::string& m) { lines_.push_back(m); });
        for (const char* name : {SXAuthenticatedNotification, SXDeauthenticatedNotification}) {
            tokens_.push_back(NotificationCenter::defaultCenter().addObserver(
                name, [this](const std::string& posted, const void* object) {
                    EXPECT_EQ(object, auth_.get());
                    ++posted_[posted];
                }));
        }
    }
    void TearDown() override {
        for (auto token : tokens_)
            NotificationCenter::defaultCenter().removeObserver(token);
        auth_.reset();
        AuthorizationServices::install(nullptr);
        Beep::setHook(previousBeep_);
        Log::setSink(previousLog_);
        TestEnvironment::TearDown();
    }
    std::vector<ScriptedAuthorization::Call> callsOf(const std::string& operation) const {
        std::vector<ScriptedAuthorization::Call> found;
        for (const auto& call : services_->calls) {
            if (call.operation == operation)
                found.push_back(call);
        }
        return found;
    }

    ScriptedAuthorization* services_ = nullptr;
    std::unique_ptr<SXAuthentication> auth_;
    int beeps_ = 0;
    std::vector<std::string> lines_;
    std::map<std::string, int> posted_;

private:
    std::function<void()> previousBeep_;
    Log::Sink previousLog_;
    std::vector<NotificationCenter::Token> tokens_;
};

TEST_F(SXAuthenticationTest, ADialogOnlyWhileTheRightsAreNotHeld) {
    EXPECT_TRUE(auth_->authenticate({"/tool"}));
    EXPECT_EQ(services_->dialogs, 1);
    EXPECT_EQ(posted_[SXAuthenticatedNotification], 1);
    EXPECT_TRUE(auth_->authenticate({"/tool"}));
    EXPECT_TRUE(auth_->isAuthenticated({"/tool"}));
    EXPECT_EQ(services_->dialogs, 1);
    EXPECT_EQ(posted_[SXAuthenticatedNotification], 1);
    EXPECT_EQ(callsOf("create").size(), 1u);
    // Another tool needs rights of its own.
    EXPECT_TRUE(auth_->authenticate({"/other"}));
    EXPECT_EQ(services_->dialogs, 2);
    EXPECT_EQ(callsOf("copyRights").front().flags, kAuthorizationFlagExtendRights);
    EXPECT_EQ(callsOf("copyRights")[1].flags,
              kAuthorizationFlagExtendRights | kAuthorizationFlagInteractionAllowed);
}

TEST_F(SXAuthenticationTest, CancellingShowsOneDialogPerCallAndStartsNothing) {
    services_->answers = {Answer::Cancel};
    EXPECT_FALSE(auth_->authenticate({"/tool"}));
    EXPECT_EQ(services_->dialogs, 1);
    EXPECT_FALSE(auth_->executeCommand("/tool", {"/a.docktheme"}));
    EXPECT_EQ(services_->dialogs, 2);
    EXPECT_TRUE(callsOf("execute").empty());
    EXPECT_EQ(beeps_, 0);
    EXPECT_TRUE(lines_.empty());
    EXPECT_EQ(posted_[SXAuthenticatedNotification], 0);
    services_->answers = {Answer::Deny, Answer::Grant};
    services_->dialogs = 0;
    EXPECT_FALSE(auth_->authenticate({"/tool"}));
    EXPECT_TRUE(auth_->authenticate({"/tool"}));
}

TEST_F(SXAuthenticationTest, DeauthenticatePostsOnceForOneAuthorization) {
    auth_->deauthenticate();
    EXPECT_EQ(posted_[SXDeauthenticatedNotification], 0);
    EXPECT_TRUE(auth_->authenticate({"/tool"}));
    auth_->deauthenticate();
    auth_->deauthenticate();
    EXPECT_EQ(posted_[SXDeauthenticatedNotification], 1);
    EXPECT_EQ(callsOf("free").size(), 1u);
    EXPECT_EQ(callsOf("free").front().flags, kAuthorizationFlagDestroyRights);
    EXPECT_EQ(auth_->authorizationRef(), nullptr);
    // The rights went with it.
    EXPECT_TRUE(auth_->authenticate({"/tool"}));
    EXPECT_EQ(services_->dialogs, 2);
}

TEST_F(SXAuthenticationTest, ArgumentVectorsHoldAtMostNineteenArguments) {
    EXPECT_TRUE(auth_->executeCommand("/tool", {}));
    std::vector<std::string> many;
    for (int i = 0; i < 25; ++i)
        many.push_back("arg" + std::to_string(i));
    EXPECT_TRUE(auth_->executeCommand("/tool", many));
    auto executed = callsOf("execute");
    ASSERT_EQ(executed.size(), 2u);
    EXPECT_TRUE(executed[0].argumentsNull);
    EXPECT_EQ(executed[0].values, std::vector<std::string>{"/tool"});
    ASSERT_EQ(executed[1].values.size(), 20u);
    EXPECT_EQ(executed[1].values.back(), "arg18");
    EXPECT_EQ(services_->dialogs, 1);
}

TEST_F(SXAuthenticationTest, RightsSetsHoldTwentyPathsOfAtMost127Bytes) {
    std::vector<std::string> paths;
    for (int i = 0; i < 21; ++i)
        paths.push_back("/tool" + std::to_string(i));
    EXPECT_TRUE(auth_->authenticate(paths));
    EXPECT_EQ(callsOf("copyRights").front().values.size(), 20u);
    EXPECT_EQ(callsOf("copyRights").front().values.back(), "/tool19");

    std::size_t before = callsOf("copyRights").size();
    EXPECT_TRUE(auth_->authenticate({"/" + std::string(126, 'a')}));
    EXPECT_FALSE(auth_->authenticate({"/" + std::string(127, 'a')}));
    EXPECT_FALSE(auth_->executeCommand("/" + std::string(300, 'b'), {"x"}));
    EXPECT_EQ(callsOf("copyRights").size(), before + 3);  // the long ones never reach the services
    EXPECT_FALSE(auth_->authenticate({}));
    EXPECT_FALSE(auth_->fetchPassword({}));
    EXPECT_EQ(callsOf("copyRights").size(), before + 3);
    EXPECT_TRUE(callsOf("execute").empty());
}

TEST_F(SXAuthenticationTest, AToolThatCannotStartBeepsAndLogs) {
    services_->failToStart = true;
    EXPECT_FALSE(auth_->executeCommand("/tool", {"x"}));
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(lines_,
              std::vector<std::string>{"Error -60031 in AuthorizationExecuteWithPrivileges"});
}

TEST_F(SXAuthenticationTest, ProcessLookupFindsProcessesAndNamesRunNothing) {
    fs::path sleeper = temp() / "velvanto-sleeper";
    fs::copy_file("/bin/sleep", sleeper);
    pid_t pid = Process::startDetached({sleeper.string(), "30"});
    ASSERT_GT(pid, 0);
    EXPECT_EQ(auth_->getPID("velvanto-sleeper"), pid);
    EXPECT_TRUE(auth_->killProcess("velvanto-sleeper"));
    auto executed = callsOf("execute");
    ASSERT_EQ(executed.size(), 1u);
    EXPECT_EQ(executed[0].values, (std::vector<std::string>{"/bin/kill", std::to_string(pid)}));
    ::kill(pid, SIGKILL);

    fs::path marker = temp() / "injected";
    for (const std::string& name : std::vector<std::string>{
             "no-such-process-name-anywhere", "\" ; touch " + marker.string() + " ; \"",
             "$(touch " + marker.string() + ")", "`touch " + marker.string() + "`",
             "x'; touch " + marker.string() + "; '"}) {
        EXPECT_EQ(auth_->getPID(name), 0) << name;
    }
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(beeps_, 0);
    EXPECT_TRUE(lines_.empty());

    EXPECT_FALSE(auth_->killProcess("no-such-process-name-anywhere"));
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(lines_.back(), "Error killing process 0, invalid PID.");
}

// The polkit backend checks with pkcheck and starts with pkexec.
class PolkitAuthorizationTest : public TestEnvironment {
protected:
    // A recorder for pkcheck that exits with the codes listed, one per call.
    void script(const std::vector<int>& exitCodes) {
        std::string codes;
        for (int code : exitCodes)
            codes += std::to_string(code) + "\n";
        writeFile(temp() / "codes", codes);
        writeFile(temp() / "pkcheck",
                  "#!/bin/sh\necho \"$@\" >> " + (temp() / "pkcheck.log").string() +
                      "\ncode=$(head -n 1 " + (temp() / "codes").string() + ")\nsed -i 1d " +
                      (temp() / "codes").string() + "\nexit ${code:-1}\n");
        writeFile(temp() / "pkexec",
                  "#!/bin/sh\necho \"$@\" >> " + (temp() / "pkexec.log").string() + "\n");
        fs::permissions(temp() / "pkcheck", fs::perms::owner_all);
        fs::permissions(temp() / "pkexec", fs::perms::owner_all);
        auto backend = std::make_unique<PolkitAuthorization>(
            "/res/VelvantoHelper", (temp() / "pkcheck").string(), (temp() / "pkexec").string());
        AuthorizationServices::install(std::move(backend));
    }
    void TearDown() override {
        AuthorizationServices::install(nullptr);
        TestEnvironment::TearDown();
    }
};

TEST_F(PolkitAuthorizationTest, ChecksThenAsksThenStartsThroughPkexec) {
    script({2, 0, 0});  // not held, granted by the agent, held
    {
        SXAuthentication auth;
        EXPECT_TRUE(auth.executeCommand("/res/VelvantoHelper", {"/t/My Theme.docktheme"}));
    }
    std::string pid = std::to_string(::getpid());
    std::string checks = readFile(temp() / "pkcheck.log");
    EXPECT_EQ(checks, "--action-id org.velvanto.apply-theme --process " + pid +
                          "\n--action-id org.velvanto.apply-theme --process " + pid +
                          " --allow-user-interaction\n");
    // The recorder runs on its own; wait until it has written its whole line.
    for (int i = 0; i < 500 && readFile(temp() / "pkexec.log").find('\n') == std::string::npos;
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(readFile(temp() / "pkexec.log"), "/res/VelvantoHelper /t/My Theme.docktheme\n");
}

TEST_F(PolkitAuthorizationTest, DismissedDialogsAndOtherToolsUseTheirActions) {
    script({2, 3, 2});
    SXAuthentication auth;
    EXPECT_FALSE(auth.authenticate({"/bin/kill"}));
    EXPECT_NE(readFile(temp() / "pkcheck.log").find("org.freedesktop.policykit.exec"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(temp() / "pkexec.log"));
}

TEST_F(PolkitAuthorizationTest, TheDirectBackendStartsTheToolAsAChild) {
    AuthorizationServices::install(std::make_unique<DirectAuthorization>());
    writeFile(temp() / "tool", "#!/bin/sh\necho \"$@\" > " + (temp() / "ran").string() + "\n");
    fs::permissions(temp() / "tool", fs::perms::owner_all);
    SXAuthentication auth;
    EXPECT_TRUE(auth.executeCommand((temp() / "tool").string(), {"a b", "c"}));
    for (int i = 0; i < 500 && readFile(temp() / "ran").find('\n') == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(readFile(temp() / "ran"), "a b c\n");
    EXPECT_FALSE(auth.executeCommand((temp() / "missing-tool").string(), {}));
}

TEST_F(PolkitAuthorizationTest, RunningToTheEndGivesTheToolsExitStatusOrTheRefusal) {
    struct Case {
        int pkexecExit;
        OSStatus status;
        int exitStatus;
    };
    for (Case c :
         {Case{1, errAuthorizationSuccess, 1}, Case{255, errAuthorizationSuccess, 255},
          Case{126, errAuthorizationCanceled, -1}, Case{127, errAuthorizationDenied, -1}}) {
        script({0, 0});
        writeFile(temp() / "pkexec", "#!/bin/sh\necho \"$@\" > " +
                                         (temp() / "pkexec.log").string() + "\nexit " +
                                         std::to_string(c.pkexecExit) + "\n");
        SXAuthentication auth;
        SXAuthentication::ToolRun run = auth.runCommand("/res/VelvantoHelper", {"/t/A.docktheme"});
        EXPECT_EQ(run.status, c.status) << c.pkexecExit;
        EXPECT_EQ(run.exitStatus, c.exitStatus) << c.pkexecExit;
        EXPECT_EQ(readFile(temp() / "pkexec.log"), "/res/VelvantoHelper /t/A.docktheme\n");
    }
    script({2, 3, 2});  // the dialog dismissed: nothing runs
    fs::remove(temp() / "pkexec.log");
    SXAuthentication auth;
    EXPECT_EQ(auth.runCommand("/res/VelvantoHelper", {"x"}).status, errAuthorizationDenied);
    EXPECT_FALSE(fs::exists(temp() / "pkexec.log"));
}
