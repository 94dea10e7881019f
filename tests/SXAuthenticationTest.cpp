#include <algorithm>

#include "platform/Beep.h"
#include "platform/NotificationCenter.h"
#include "platform/Process.h"
#include "privileged/AuthorizationBackend.h"
#include "privileged/DirectAuthorization.h"
#include "privileged/PolkitAuthorization.h"
#include "privileged/SXAuthentication.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// The system's authorization services as a user answers them, each call recorded.
class ScriptedAuthorization : public AuthorizationBackend {
public:
    enum class Answer { Grant, Cancel, Deny, NoAgent };  // NoAgent: no agent shows the dialog
    struct Call {
        std::string operation;  // "create", "copyRights", "free", "execute"
        AuthorizationFlags flags = 0;
        Strings values;              // right values, or tool and arguments
        bool argumentsNull = false;  // execute: the argument vector was NULL
    };
    std::vector<Answer> answers = {Answer::Grant};  // one per dialog; the last repeats
    bool failToStart = false;
    std::vector<Call> calls;
    int dialogs = 0;

    OSStatus create(const AuthorizationRights* rights, const void* environment,
                    AuthorizationFlags flags, AuthorizationRef* authorization) override {
        calls.push_back({"create", flags, {}, false});
        return AuthorizationBackend::create(rights, environment, flags, authorization);
    }
    OSStatus copyRights(AuthorizationRef authorization, const AuthorizationRights* rights,
                        const void* environment, AuthorizationFlags flags,
                        AuthorizationRights** granted) override {
        Call call{"copyRights", flags, {}, false};
        for (std::uint32_t i = 0; rights && i < rights->count; ++i)
            call.values.emplace_back(static_cast<const char*>(rights->items[i].value),
                                     rights->items[i].valueLength);
        calls.push_back(call);
        return AuthorizationBackend::copyRights(authorization, rights, environment, flags, granted);
    }
    OSStatus free(AuthorizationRef authorization, AuthorizationFlags flags) override {
        calls.push_back({"free", flags, {}, false});
        return AuthorizationBackend::free(authorization, flags);
    }
    OSStatus executeWithPrivileges(AuthorizationRef authorization, const char* pathToTool,
                                   AuthorizationFlags options, char* const* arguments,
                                   std::FILE** pipe) override {
        Call call{"execute", options, {pathToTool ? pathToTool : ""}, arguments == nullptr};
        for (char* const* arg = arguments; arg && *arg; ++arg)
            call.values.emplace_back(*arg);
        calls.push_back(call);
        return AuthorizationBackend::executeWithPrivileges(authorization, pathToTool, options,
                                                           arguments, pipe);
    }

protected:
    OSStatus obtain(const Strings&, bool interaction) override {
        const OSStatus statuses[] = {errAuthorizationSuccess, errAuthorizationCanceled,
                                     errAuthorizationDenied, errAuthorizationInteractionNotAllowed};
        if (!interaction)
            return errAuthorizationInteractionNotAllowed;
        return statuses[int(answers[std::min<std::size_t>(dialogs++, answers.size() - 1)])];
    }
    OSStatus start(const std::string&, const Strings&) override {
        return failToStart ? errAuthorizationToolExecuteFailure : errAuthorizationSuccess;
    }
};
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
        TestEnvironment::TearDown();
    }
    std::vector<ScriptedAuthorization::Call> callsOf(const std::string& operation) const {
        std::vector<ScriptedAuthorization::Call> found;
        std::ranges::copy_if(services_->calls, std::back_inserter(found),
                             [&](const auto& call) { return call.operation == operation; });
        return found;
    }
    static Strings numbered(const std::string& prefix, int count) {
        Strings result;
        for (int i = 0; i < count; ++i)
            result.push_back(prefix + std::to_string(i));
        return result;
    }
    ScriptedAuthorization* services_ = nullptr;
    std::unique_ptr<SXAuthentication> auth_;
    int beeps_ = 0;
    CapturedLog log_;
    std::map<std::string, int> posted_;
    std::function<void()> previousBeep_;
    std::vector<NotificationCenter::Token> tokens_;
};

TEST_F(SXAuthenticationTest, ADialogOnlyWhileTheRightsAreNotHeldAndDeauthenticatePostsOnce) {
    auth_->deauthenticate();  // nothing held: nothing posted
    EXPECT_EQ(posted_[SXDeauthenticatedNotification], 0);
    for (int call = 0; call < 2; ++call) {
        EXPECT_TRUE(auth_->authenticate({"/tool"}));
        EXPECT_EQ(services_->dialogs, 1);
        EXPECT_EQ(posted_[SXAuthenticatedNotification], 1);
    }
    EXPECT_TRUE(auth_->isAuthenticated({"/tool"}));
    EXPECT_EQ(callsOf("create").size(), 1u);
    // Another tool needs rights of its own.
    EXPECT_TRUE(auth_->authenticate({"/other"}));
    EXPECT_EQ(services_->dialogs, 2);
    EXPECT_EQ(callsOf("copyRights").front().flags, kAuthorizationFlagExtendRights);
    EXPECT_EQ(callsOf("copyRights")[1].flags,
              kAuthorizationFlagExtendRights | kAuthorizationFlagInteractionAllowed);
    auth_->deauthenticate();
    auth_->deauthenticate();
    EXPECT_EQ(posted_[SXDeauthenticatedNotification], 1);
    EXPECT_EQ(callsOf("free").size(), 1u);
    EXPECT_EQ(callsOf("free").front().flags, kAuthorizationFlagDestroyRights);
    EXPECT_EQ(auth_->authorizationRef(), nullptr);
    EXPECT_TRUE(auth_->authenticate({"/tool"}));  // the rights went with it
    EXPECT_EQ(services_->dialogs, 3);
}

TEST_F(SXAuthenticationTest, CancellingStartsNothingAndAToolThatCannotStartBeepsAndLogs) {
    services_->answers = {Answer::Cancel};
    EXPECT_FALSE(auth_->authenticate({"/tool"}));
    EXPECT_EQ(services_->dialogs, 1);
    EXPECT_FALSE(auth_->executeCommand("/tool", {"/a.docktheme"}));
    EXPECT_EQ(services_->dialogs, 2);
    EXPECT_TRUE(callsOf("execute").empty());
    EXPECT_EQ(beeps_, 0);
    EXPECT_TRUE(log_.lines().empty());
    EXPECT_EQ(posted_[SXAuthenticatedNotification], 0);
    // A run that never started says why: nobody refused when no agent could ask.
    for (auto [answer, status, why] :
         {std::tuple{Answer::Cancel, errAuthorizationCanceled,
                     "administrator rights were refused or cancelled"},
          {Answer::Deny, errAuthorizationDenied, "administrator rights were refused or cancelled"},
          {Answer::NoAgent, errAuthorizationInteractionNotAllowed,
           "no authentication agent could ask for the password"}}) {
        services_->answers = {answer};
        const OSStatus run = auth_->runCommand("/tool", {"x"}).status;
        EXPECT_EQ(run, status);
        EXPECT_EQ(SXAuthentication::whyNotRun(run), why);
    }
    services_->answers = {Answer::Deny, Answer::Grant};
    services_->dialogs = 0;
    EXPECT_FALSE(auth_->authenticate({"/tool"}));
    EXPECT_TRUE(auth_->authenticate({"/tool"}));
    // Held rights, but a tool that cannot start beeps and logs.
    services_->failToStart = true;
    EXPECT_FALSE(auth_->executeCommand("/tool", {"x"}));
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(log_.lines(), Strings{"Error -60031 in AuthorizationExecuteWithPrivileges"});
}

TEST_F(SXAuthenticationTest, ArgumentVectorsHoldNineteenAndRightsSetsTwentyPathsOfAtMost127Bytes) {
    EXPECT_TRUE(auth_->executeCommand("/tool", {}));
    EXPECT_TRUE(auth_->executeCommand("/tool", numbered("arg", 25)));
    EXPECT_EQ(services_->dialogs, 1);
    auto executed = callsOf("execute");
    ASSERT_EQ(executed.size(), 2u);
    EXPECT_TRUE(executed[0].argumentsNull);
    EXPECT_EQ(executed[0].values, Strings{"/tool"});
    ASSERT_EQ(executed[1].values.size(), 20u);
    EXPECT_EQ(executed[1].values.back(), "arg18");
    EXPECT_TRUE(auth_->authenticate(numbered("/tool", 21)));
    EXPECT_EQ(callsOf("copyRights").back().values.size(), 20u);
    EXPECT_EQ(callsOf("copyRights").back().values.back(), "/tool19");
    const std::size_t before = callsOf("copyRights").size();
    EXPECT_TRUE(auth_->authenticate({"/" + std::string(126, 'a')}));
    EXPECT_FALSE(auth_->authenticate({"/" + std::string(127, 'a')}));
    EXPECT_FALSE(auth_->executeCommand("/" + std::string(300, 'b'), {"x"}));
    EXPECT_FALSE(auth_->authenticate({}));
    EXPECT_FALSE(auth_->fetchPassword({}));
    EXPECT_EQ(callsOf("copyRights").size(), before + 3);  // neither the long nor the empty ones
    EXPECT_EQ(callsOf("execute").size(), 2u);
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
    EXPECT_EQ(executed[0].values, (Strings{"/bin/kill", std::to_string(pid)}));
    ::kill(pid, SIGKILL);
    const std::string touch = "touch " + (temp() / "injected").string();
    for (const std::string& name :
         {std::string("no-such-process-name-anywhere"), "\" ; " + touch + " ; \"",
          "$(" + touch + ")", "`" + touch + "`", "x'; " + touch + "; '"}) {
        EXPECT_EQ(auth_->getPID(name), 0) << name;
    }
    EXPECT_FALSE(fs::exists(temp() / "injected"));
    EXPECT_EQ(beeps_, 0);
    EXPECT_TRUE(log_.lines().empty());
    EXPECT_FALSE(auth_->killProcess("no-such-process-name-anywhere"));
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(log_.lines().back(), "Error killing process 0, invalid PID.");
}

// The polkit backend checks with pkcheck and starts with pkexec.
class PolkitAuthorizationTest : public TestEnvironment {
protected:
    // Recorders: pkcheck exits with the codes listed, one per call.
    void script(const std::vector<int>& exitCodes) {
        std::string codes;
        for (int code : exitCodes)
            codes += std::to_string(code) + "\n";
        writeFile(temp() / "codes", codes);
        const std::string list = (temp() / "codes").string();
        writeScript(temp() / "pkcheck", "echo \"$@\" >> " + (temp() / "pkcheck.log").string() +
                                            "\ncode=$(head -n 1 " + list + ")\nsed -i 1d " + list +
                                            "\nexit ${code:-1}");
        writeScript(temp() / "pkexec", "echo \"$@\" >> " + (temp() / "pkexec.log").string());
        AuthorizationServices::install(std::make_unique<PolkitAuthorization>(
            "/res/VelvantoHelper", (temp() / "pkcheck").string(), (temp() / "pkexec").string()));
    }
    // The file once a tool running on its own has written a whole line to it.
    std::string lineIn(const std::string& name) {
        eventually([&] { return readFile(temp() / name).find('\n') != std::string::npos; });
        return readFile(temp() / name);
    }
    void TearDown() override {
        AuthorizationServices::install(nullptr);
        TestEnvironment::TearDown();
    }
};

TEST_F(PolkitAuthorizationTest,
       ChecksAsksAndStartsThroughPkexecOrADirectChildAndRunsToTheToolsExitStatus) {
    script({2, 0, 0});  // not held, granted by the agent, held
    EXPECT_TRUE(
        SXAuthentication().executeCommand("/res/VelvantoHelper", {"/t/My Theme.docktheme"}));
    const std::string check =
        "--action-id org.velvanto.apply-theme --process " + std::to_string(::getpid());
    EXPECT_EQ(readFile(temp() / "pkcheck.log"),
              check + "\n" + check + " --allow-user-interaction\n");
    EXPECT_EQ(lineIn("pkexec.log"), "/res/VelvantoHelper /t/My Theme.docktheme\n");
    // The direct backend starts the tool as a child.
    AuthorizationServices::install(std::make_unique<DirectAuthorization>());
    writeScript(temp() / "tool", "echo \"$@\" > " + (temp() / "ran").string());
    SXAuthentication auth;
    EXPECT_TRUE(auth.executeCommand((temp() / "tool").string(), {"a b", "c"}));
    EXPECT_EQ(lineIn("ran"), "a b c\n");
    EXPECT_FALSE(auth.executeCommand((temp() / "missing-tool").string(), {}));
    // Run to the end: the tool's exit status, or the refusal of its action.
    for (auto [pkexecExit, status, exitStatus] : {std::tuple{1, errAuthorizationSuccess, 1},
                                                  {255, errAuthorizationSuccess, 255},
                                                  {126, errAuthorizationCanceled, -1},
                                                  {127, errAuthorizationDenied, -1}}) {
        script({0, 0});
        writeScript(temp() / "pkexec", "echo \"$@\" > " + (temp() / "pkexec.log").string() +
                                           "\nexit " + std::to_string(pkexecExit));
        auto run = SXAuthentication().runCommand("/res/VelvantoHelper", {"/t/A.docktheme"});
        EXPECT_EQ(run.status, status) << pkexecExit;
        EXPECT_EQ(run.exitStatus, exitStatus) << pkexecExit;
        EXPECT_EQ(readFile(temp() / "pkexec.log"), "/res/VelvantoHelper /t/A.docktheme\n");
    }
    // Nothing runs when the dialog is dismissed, fails, or no agent is there to show it.
    for (auto [asked, status] : {std::pair{3, errAuthorizationCanceled},
                                 {1, errAuthorizationDenied},
                                 {2, errAuthorizationInteractionNotAllowed}}) {
        script({2, asked, 2});
        fs::remove(temp() / "pkexec.log");
        EXPECT_EQ(SXAuthentication().runCommand("/res/VelvantoHelper", {"x"}).status, status);
        EXPECT_FALSE(fs::exists(temp() / "pkexec.log"));
    }
    // Other tools use their own action.
    script({2, 3, 2});
    EXPECT_FALSE(SXAuthentication().authenticate({"/bin/kill"}));
    EXPECT_NE(readFile(temp() / "pkcheck.log").find("org.freedesktop.policykit.exec"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(temp() / "pkexec.log"));
}
