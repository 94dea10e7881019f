#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/FileManager.h"
#include "platform/Process.h"
#include "platform/PropertyList.h"
#include "platform/Sha256.h"
#include "platform/SystemPaths.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

class PlatformTest : public TestEnvironment {};

TEST_F(PlatformTest, CopyRemoveAndReadTakeLinksAndFifosAsTheyAreAndAtomicWritesKeepTheMode) {
    writeFile(temp() / "a.txt", "new");
    writeFile(temp() / "b.txt", "old");
    EXPECT_FALSE(FileManager::copyPath(temp() / "a.txt", temp() / "b.txt"));
    EXPECT_EQ(readFile(temp() / "b.txt"), "old");
    // A dangling link at the destination counts as something there.
    fs::create_symlink(temp() / "nowhere", temp() / "dangling");
    EXPECT_FALSE(FileManager::copyPath(temp() / "a.txt", temp() / "dangling"));
    EXPECT_FALSE(FileManager::copyPath(temp() / "missing", temp() / "c.txt"));
    writeFile(temp() / "tree/images/x.png", "x");
    fs::create_symlink("x.png", temp() / "tree/images/link.png");
    ASSERT_TRUE(FileManager::copyPath(temp() / "tree", temp() / "copy"));
    EXPECT_EQ(readFile(temp() / "copy/images/x.png"), "x");
    EXPECT_TRUE(fs::is_symlink(temp() / "copy/images/link.png"));
    // Removing goes through the opened parent (a tree's links are FolderTreeTest's).
    EXPECT_TRUE(FileManager::removePath(temp() / "tree"));
    EXPECT_FALSE(fs::exists(temp() / "tree"));
    // Reading refuses FIFOs, links when asked and oversized files.
    ASSERT_EQ(::mkfifo((temp() / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(FileManager::readFile(temp() / "fifo"));  // returns, with no writer
    EXPECT_FALSE(FileManager::readFile(temp()));
    writeFile(temp() / "target", "secret");
    fs::create_symlink(temp() / "target", temp() / "link");
    EXPECT_FALSE(FileManager::readFile(temp() / "link", {.followLinks = false}));
    EXPECT_EQ(FileManager::readFile(temp() / "link").value_or(""), "secret");
    EXPECT_FALSE(FileManager::readFile(temp() / "target", {.maxBytes = 3}));
    writeFile(temp() / "empty", "");
    EXPECT_EQ(FileManager::readFile(temp() / "empty").value_or("x"), "");
    // An atomic write replaces the whole file, keeps its mode and leaves no temporary.
    fs::path file = temp() / "dir/prefs.plist";
    writeFile(file, "old contents that are longer");
    ::chmod(file.c_str(), 0600);
    ASSERT_TRUE(FileManager::writeFileAtomically(file, "new"));
    EXPECT_EQ(readFile(file), "new");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0600));
    EXPECT_EQ(entries(temp() / "dir"), std::vector<std::string>{"prefs.plist"});
    EXPECT_FALSE(FileManager::writeFileAtomically(temp() / "no/such/folder/file", "x"));
}

TEST_F(PlatformTest, PropertyListsKeepKeyOrderReadBinaryFormAndMalformedOnesGiveNothing) {
    PlistValue dict = PlistValue::dictionary();
    for (const char* key : {"zeta", "alpha", "Mid", "beta"})
        dict.set(key, PlistValue(std::string(key) + "-value"));
    dict.set("flag", PlistValue(true));
    dict.set("count", PlistValue(42));
    dict.set("list", PlistValue(PlistValue::Array{PlistValue("a"), PlistValue(2.5)}));
    dict.set("when", PlistValue(PlistValue::Date{86400}));
    ASSERT_TRUE(PropertyList::write(temp() / "x.plist", dict));
    auto back = PropertyList::readDictionary(temp() / "x.plist");
    ASSERT_EQ(back, dict);
    EXPECT_EQ(back->asDictionary()->front().first, "zeta");
    // Dates beyond what the file form holds are clamped, not wrapped.
    PlistValue far = PlistValue::dictionary();
    far.set("when", PlistValue(PlistValue::Date{-1e300}));
    auto clamped = PropertyList::parse(PropertyList::toXML(far));
    ASSERT_TRUE(clamped);
    EXPECT_LT(clamped->find("when")->asDate()->seconds, -2e9);
    // The binary form, as the Dock writes its preferences.
    writeFile(temp() / "bin.plist", binaryPlist(dict));
    ASSERT_EQ(readFile(temp() / "bin.plist").rfind("bplist", 0), 0u);
    EXPECT_EQ(*PropertyList::readDictionary(temp() / "bin.plist"), dict);
    for (const std::string& bytes :
         {std::string(), std::string("not a plist"),
          std::string("<?xml version=\"1.0\"?><plist><dict><key>a</key>"),
          std::string("bplist00\xff\xff\xff"), std::string(100, '\0')}) {
        EXPECT_FALSE(PropertyList::parse(bytes)) << bytes;
    }
    // Found by fuzzing: libplist aborts on a NUL byte in a key or string.
    for (const char* name : {"nul-in-string.plist", "nul-in-binary-key.bplist"}) {
        fs::path file = fs::path(VELVANTO_SOURCE_DIR) / "fuzz/corpus-info" / name;
        ASSERT_TRUE(fs::exists(file)) << name;
        EXPECT_FALSE(PropertyList::read(file)) << name;
    }
    writeFile(temp() / "array.plist", "<plist version=\"1.0\"><array/></plist>");
    EXPECT_TRUE(PropertyList::read(temp() / "array.plist"));
    EXPECT_FALSE(PropertyList::readDictionary(temp() / "array.plist"));
}

TEST_F(PlatformTest, ProcessesGetArgumentsVerbatimAreReapedAndStartedOnesKeepNoBlockedSignals) {
    fs::path marker = temp() / "injected";
    std::string hostile = "x; touch " + marker.string() + " $(touch " + marker.string() + ")";
    auto result = Process::run({"/bin/echo", hostile, "\"quoted\""}, Process::Capture::Output);
    EXPECT_EQ(result.value_or(Process::Result{}).output, hostile + " \"quoted\"\n");
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_FALSE(Process::run({"/no/such/program"}));
    EXPECT_EQ(Process::run({"/bin/sh", "-c", "exit 3"})->exitStatus, 3);
    // A detached program runs on as no child of ours: nothing is left to reap here.
    auto noChild = [] { return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; };
    const fs::path written = temp() / "written";
    ASSERT_GT(Process::startDetached({"/usr/bin/touch", written.string()}), 0);
    EXPECT_TRUE(noChild());
    EXPECT_TRUE(eventually([&] { return fs::exists(written); }));
    pid_t pid = Process::startDetached({"/bin/sleep", "600"});
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(noChild());
    EXPECT_EQ(readFile("/proc/" + std::to_string(pid) + "/comm"), "sleep\n");  // its own pid
    ::kill(pid, SIGKILL);
    EXPECT_EQ(Process::startDetached({"/no/such/program"}), -1);
    EXPECT_TRUE(noChild());
    // A caller that blocks SIGTERM to wait for it must not pass that on.
    sigset_t term, old;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &term, &old);
    pid_t child = Process::start({"/bin/sleep", "600"});
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ASSERT_GT(child, 0);
    EXPECT_FALSE(Process::wait(child, false));  // still running
    ::kill(child, SIGTERM);
    auto ending = [](pid_t pid) {  // signalled, and the signal or exit code
        const auto end = Process::wait(pid);
        return end ? std::pair(end->signalled, end->code) : std::pair(false, -1);
    };
    EXPECT_EQ(ending(child), std::pair(true, SIGTERM));
    EXPECT_FALSE(Process::wait(child));  // reaped once only
    EXPECT_EQ(ending(Process::start({"/bin/sh", "-c", "exit 7"})), std::pair(false, 7));
    EXPECT_EQ(Process::start({"/no/such/program"}), -1);
}

TEST_F(PlatformTest, SystemPathsFollowTheEnvironment) {
    const std::string resources = "System/Library/CoreServices/Dock.app/Contents/Resources";
    setEnv("VELVANTO_ROOT", "/some/root/");
    EXPECT_EQ(SystemPaths::dockResourcesFolder(), "/some/root/" + resources);
    setEnv("VELVANTO_ROOT", "/");
    EXPECT_EQ(SystemPaths::dockResourcesFolder(), "/" + resources);
    EXPECT_EQ(SystemPaths::dockResourcesFolder("/other//"), "/other/" + resources);
    setEnv("HOME", "/home/someone");
    for (auto [path, expanded] :
         {std::pair{"~", "/home/someone"}, {"~other/x", "~other/x"}, {"/a/~/b", "/a/~/b"}}) {
        EXPECT_EQ(SystemPaths::expandTilde(path), expanded);
    }
}

TEST(Sha256Test, KnownDigestsWhateverThePiecesFed) {
    const std::string million(1000000, 'a');
    const std::pair<std::string, std::string> known[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {million, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [bytes, digest] : known) {
        EXPECT_EQ(Sha256::of(bytes), digest);
        Sha256 pieces;  // fed in uneven pieces across block edges
        for (std::size_t at = 0, step = 1; at < bytes.size();
             at += step, step = step * 3 % 97 + 1) {
            pieces.add(bytes.data() + at, std::min(step, bytes.size() - at));
        }
        EXPECT_EQ(pieces.hex(), digest) << bytes.size();
    }
}
