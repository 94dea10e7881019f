#include <signal.h>

#include "dock/DockKeeper.h"
#include "dock/DockTestSupport.h"
#include "support/TestEnvironment.h"

class DockKeeperTest : public TestEnvironment {
protected:
    // A stand-in for the Dock: a script that notes its pid in runs.log, then does body.
    fs::path fakeDock(const std::string& body) {
        writeScript(temp() / "fake-dock", "echo $$ >> '" + runsLog().string() + "'\n" + body);
        return temp() / "fake-dock";
    }
    fs::path runsLog() const { return temp() / "runs.log"; }
    std::vector<pid_t> runs() const {
        std::vector<pid_t> pids;
        std::istringstream in(readFile(runsLog()));
        for (pid_t pid; in >> pid;)
            pids.push_back(pid);
        return pids;
    }
};

TEST_F(DockKeeperTest, GivesUpAfterRepeatedCrashesAndRefusesBadArgumentsWithAClearMessage) {
    // The first run dies of a signal, the others exit with an error: all are crashes.
    fs::path dock =
        fakeDock("[ $(wc -l < '" + runsLog().string() + "') -eq 1 ] && kill -SEGV $$\nexit 3");
    ProgramRun run = runProgram(
        {KEEPER_PROGRAM, "--dock", dock.string(), "--crash-limit", "3", "--crash-window", "600"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(runs().size(), 3u);
    for (const char* note :
         {"signal 11", "exit status 3", "ended 3 times within 600 seconds; giving up"})
        EXPECT_NE(run.standardError.find(note), std::string::npos) << run.standardError;
    ProgramRun missing = runProgram({KEEPER_PROGRAM, "--dock", "/no/such/Dock"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.standardError.find("cannot start /no/such/Dock"), std::string::npos);
    for (const std::vector<std::string>& argv :
         std::vector<std::vector<std::string>>{{KEEPER_PROGRAM, "--crash-limit", "0"},
                                               {KEEPER_PROGRAM, "--crash-window", "ten"},
                                               {KEEPER_PROGRAM, "--dock", "relative/Dock"},
                                               {KEEPER_PROGRAM, "--dock"},
                                               {KEEPER_PROGRAM, "--restart"},
                                               {KEEPER_PROGRAM, "--prepare-root", "only-one"}})
        EXPECT_EQ(runProgram(argv).exitCode, 2) << argv[1];
    auto options = DockKeeper::parse({});
    ASSERT_TRUE(options);
    EXPECT_EQ(fs::path(options->dock).filename(), "Dock");
    EXPECT_TRUE(fs::path(options->dock).is_absolute());
}

TEST_F(DockKeeperTest, RestartsAfterEveryKillAndEndsTheDockWhenStopped) {
    // A crash limit of one: killed Docks must not count as crashes.
    Started keeper(
        {KEEPER_PROGRAM, "--dock", fakeDock("exec sleep 600").string(), "--crash-limit", "1"});
    ASSERT_GT(keeper.pid(), 0);
    // Waits for a state (the n-th Dock running), never for a change from some moment.
    std::size_t started = 0;
    for (int signal : {SIGTERM, SIGKILL, SIGINT, SIGHUP}) {
        ++started;
        ASSERT_TRUE(eventually([&] { return runs().size() >= started; }));
        ASSERT_EQ(runs().size(), started);
        pid_t dock = runs()[started - 1];
        ASSERT_TRUE(eventually([&] { return alive(dock); }));
        ::kill(dock, signal);
    }
    ASSERT_TRUE(eventually([&] { return runs().size() == 5; }));
    pid_t last = runs().back();
    ASSERT_TRUE(eventually([&] { return alive(last); }));
    EXPECT_EQ(keeper.stop(), 0);
    EXPECT_FALSE(alive(last));  // ended and reaped by the keeper
    EXPECT_EQ(runs().size(), 5u);
}
