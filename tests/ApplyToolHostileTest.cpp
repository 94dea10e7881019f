// Bundles and callers made to break the apply tool: the whole theme and 1, or -1 and no change.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <sstream>
#include <thread>

#include "ApplyToolFixture.h"
#include "platform/Descriptor.h"
#include "platform/PropertyList.h"
#include "support/BinaryPlist.h"

namespace fs = std::filesystem;

namespace {

// Sets or clears the immutable flag; false where the file system has none.
bool setImmutable(const fs::path& path, bool on) {
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    int flags = 0;
    const bool read = fd.valid() && ::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    return read && ::ioctl(fd.get(), FS_IOC_SETFLAGS, &flags) == 0;
}

const std::map<std::string, std::string> kStock = {{"separatorstraight.png", "stock separator"},
                                                   {"frontline.png", "stock front"},
                                                   {"shadow.png", "stock shadow"}};
void writeStock(const fs::path& folder) {
    for (const auto& [name, bytes] : kStock)
        TestEnvironment::writeFile(folder / name, bytes);
}

}  // namespace

class ApplyToolHostileTest : public ApplyToolTest {
protected:
    static PlistValue standardInfo(const std::string& frontName = "front.png") {
        return themeInfo({{"Separator_Vertical", "line.png"}},
                         {{"Frontline", frontName}, {"Shadow", "shadow.png"}});
    }
    // A root holding only the stock images, and the standard bundle at path.
    fs::path freshRootAndBundle(const fs::path& bundle) {
        fs::remove_all(root());
        writeStock(dockResources());
        writeBundle(bundle, standardInfo());
        return bundle;
    }
};

TEST_F(ApplyToolHostileTest, BundlesInstallWhollyOrChangeNothing) {
    // What one case changes about the standard bundle, the root or the caller.
    struct Scene {
        fs::path bundle;
        Launch launch;
        std::vector<std::function<void()>> cleanups;
        std::string skipped;  // why the case can't run here
        // File name of each image the theme installs, by Dock file name.
        std::map<std::string, std::string> images = {{"separatorstraight.png", "line.png"},
                                                     {"frontline.png", "front.png"},
                                                     {"shadow.png", "shadow.png"}};
    };
    using Prepare = std::function<void(Scene&)>;
    struct Case {
        const char* name;
        Prepare prepare;
        bool installs = false;
        std::function<void(const std::vector<std::string>& lines)> check = nullptr;
    };
    const bool isRoot = ::geteuid() == 0;
    auto infoBytes = [](std::string bytes) {
        return [bytes](Scene& s) { writeFile(s.bundle / "Info.plist", bytes); };
    };
    // Puts what make leaves in place of the entry at(scene) names.
    auto replace = [](std::function<fs::path(const Scene&)> at) {
        return [at](std::function<void(const fs::path&)> make) -> Prepare {
            return [at, make](Scene& s) {
                fs::remove(at(s));
                make(at(s));
            };
        };
    };
    auto replaceFront = replace([](const Scene& s) { return s.bundle / "images/front.png"; });
    auto replaceShadow = replace([this](const Scene&) { return dockResources() / "shadow.png"; });
    auto makeFolder = [](const fs::path& p) { fs::create_directories(p); };
    auto needsRoot = [&](Prepare prepare) {
        return
            [isRoot, prepare](Scene& s) { isRoot ? prepare(s) : void(s.skipped = "needs root"); };
    };
    // Lets every user reach and read the bundle (the temporary folder is the owner's alone).
    auto openToOthers = [&](const fs::path& bundle) {
        for (fs::path folder : {temp(), temp() / "themes", bundle, bundle / "images"})
            fs::permissions(folder, fs::perms(0755));
        for (const auto& entry : fs::recursive_directory_iterator(bundle)) {
            if (entry.is_regular_file()) {
                fs::permissions(entry.path(), fs::perms(0644));
            }
        }
    };
    BinaryPlist deep(3);  // the parser's limits themselves are PropertyListBoundsTest's
    for (std::uint64_t i = 0; i < 99999; ++i)
        deep.array({i + 1});
    deep.array({});

    const std::vector<Case> cases = {
        // Names that lead out of the images folder.
        {"dot-dot", infoBytes(PropertyList::toXML(standardInfo("../../secret")))},
        // Images that are not plain files of the bundle.
        {"image is a link",
         replaceFront([&](const fs::path& p) { fs::create_symlink(temp() / "secret", p); })},
        {"images folder is a link",
         [&](Scene& s) { linkAway(s.bundle / "images", temp() / "other-images"); }},
        {"fifo image", replaceFront(makeFifo)},
        {"folder as image", replaceFront(makeFolder)},
        {"device node as image", needsRoot(replaceFront([](const fs::path& p) {
             ::mknod(p.c_str(), S_IFCHR | 0600, makedev(1, 3));
         }))},
        {"image a byte over 16 MiB",
         replaceFront([](const fs::path& p) { writeSparse(p, (std::uintmax_t{16} << 20) + 1); })},
        // Unusable Info.plists (table shapes: ThemeBundleTest; missing or garbage: the check's).
        {"100,000 nested binary arrays", infoBytes(deep.bytes())},
        {"empty Info.plist", infoBytes("")},
        {"fifo Info.plist", [](Scene& s) { makeFifo(s.bundle / "Info.plist"); }},
        {"linked Info.plist",
         [&](Scene& s) { linkAway(s.bundle / "Info.plist", temp() / "real-info.plist"); }},
        {"Info.plist is a folder",
         replace([](const Scene& s) { return s.bundle / "Info.plist"; })(makeFolder)},
        {"bundle is a plain file",
         [&](Scene& s) {
             s.bundle = temp() / "plain.docktheme";
             writeFile(s.bundle, "just a file");
         }},
        {"no bundle", [&](Scene& s) { s.bundle = temp() / "missing.docktheme"; }},
        {"bundle is a link, read with root's own rights", needsRoot([&](Scene& s) {
             fs::path link = temp() / "link.docktheme";
             fs::remove(link);
             fs::create_symlink(s.bundle, link);
             s.bundle = link;
         })},
        // A Dock folder that can't take the theme.
        {"folder in place of a Dock image",
         replaceShadow([&](const fs::path& p) { makeFolder(p / "keep"); })},
        // The Dock's own entry can't be kept, so no theme goes over it.
        {"link in place of a Dock image",
         [&](Scene&) { linkAway(dockResources() / "shadow.png", temp() / "linked-shadow.png"); },
         false,
         [&](const std::vector<std::string>& lines) {
             EXPECT_EQ(lines.back(), "Cannot keep the Dock's original images in " +
                                         originals().string() +
                                         ": shadow.png is not a plain file, so it can't be kept; "
                                         "the Dock was left as it was");
         }},
        {"FIFO in place of a Dock image", replaceShadow(makeFifo)},
        {"immutable Dock image", needsRoot([&](Scene& s) {
             fs::path image = dockResources() / "shadow.png";
             if (!setImmutable(image, true)) {
                 s.skipped = "the file system has no immutable flag";
                 return;
             }
             s.cleanups.push_back([image] { setImmutable(image, false); });
         })},
        {"read-only Dock folder",
         [&](Scene& s) {
             fs::path folder = dockResources();
             if (!isRoot) {
                 fs::permissions(folder, fs::perms(0555));
             } else if (!setImmutable(folder, true)) {
                 s.skipped = "the file system has no immutable flag";
                 return;
             }
             s.cleanups.push_back([folder] {
                 setImmutable(folder, false);
                 fs::permissions(folder, fs::perms(0755));
             });
         }},
        {"no Dock folder", [&](Scene&) { fs::remove_all(dockResources()); }},
        {"Dock folder is a link", [&](Scene&) { linkAway(dockResources(), temp() / "elsewhere"); }},
        {"a folder above the Dock folder is a link",
         [&](Scene&) { linkAway(root() / "System", temp() / "elsewhere-system"); }},
        {"full file system", needsRoot([&](Scene& s) {
             fs::path folder = dockResources();
             if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
                 s.skipped = "can't mount a tmpfs here";
                 return;
             }
             s.cleanups.push_back([folder] { ::umount2(folder.c_str(), MNT_DETACH); });
             writeStock(folder);
             writeFile(s.bundle / "images/shadow.png", std::string(200 * 1024, 's'));
         })},
        // Callers that try to end the tool half-way, or to forge its log.
        {"file-size limit below an image", [](Scene& s) { s.launch.fileSizeLimit = 8; }},
        {"closed standard error", [](Scene& s) { s.launch.closedStandardError = true; }, true},
        {"name with a line break",
         [](Scene& s) {
             std::string name = "front\n2026-01-01 00:00:00.000 VelvantoHelper[1:1] Forged";
             writeFile(s.bundle / "Info.plist", PropertyList::toXML(standardInfo(name)));
             writeFile(s.bundle / "images" / name, "image:" + name);
             s.images["frontline.png"] = name;
         },
         true,
         [](const std::vector<std::string>& lines) {
             for (const std::string& line : lines)
                 EXPECT_EQ(line.find("00.000 VelvantoHelper[1:1] Forged\n"), std::string::npos);
             EXPECT_NE(std::find(lines.begin(), lines.end(), "... Copied"), lines.end());
         }},
        // Rights: the bundle is read as the user who asked.
        {"user can't read an image", needsRoot([&](Scene& s) {
             openToOthers(s.bundle);
             fs::permissions(s.bundle / "images/front.png", fs::perms(0600));
             s.launch.environment = {{"PKEXEC_UID", "65534"}};
         })},
        {"user can't read Info.plist", needsRoot([&](Scene& s) {
             openToOthers(s.bundle);
             fs::permissions(s.bundle / "Info.plist", fs::perms(0600));
             s.launch.environment = {{"SUDO_UID", "65534"}};
         })},
        {"no such user", needsRoot([](Scene& s) {
             s.launch.environment = {{"PKEXEC_UID", "12x"}};
         })},
        {"user reads everything", needsRoot([&](Scene& s) {
             openToOthers(s.bundle);
             s.launch.environment = {{"PKEXEC_UID", "65534"}};
         }),
         true},
    };
    writeFile(temp() / "secret", "secret");
    std::size_t restarts = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.bundle = freshRootAndBundle(temp() / "themes" / (std::string(c.name) + ".docktheme"));
        c.prepare(scene);
        if (!scene.skipped.empty()) {
            std::printf("[ SKIPPED  ] %s: %s\n", c.name, scene.skipped.c_str());
        } else {
            auto before = snapshotBesideKillall();
            ProgramRun run = apply({scene.bundle.string()}, scene.launch);
            auto after = snapshotBesideKillall();
            // A run that got so far may have kept the Dock's own images: nothing else.
            const std::string kept = fs::relative(originals(), temp()).string() + "/";
            const std::string library = fs::relative(root() / "Library", temp()).string();
            std::erase_if(after, [&](const auto& entry) {
                const std::string name =
                    entry.first.substr(std::min(entry.first.size(), kept.size()));
                if (entry.first.starts_with(kept) && kStock.contains(name)) {
                    EXPECT_EQ(entry.second, kStock.at(name));
                }
                return entry.first.starts_with(library);
            });
            EXPECT_EQ(run.exitCode, c.installs ? 1 : 255);
            if (c.installs) {
                std::string dock = fs::relative(dockResources(), temp()).string() + "/";
                for (const auto& [dockName, fileName] : scene.images)
                    before[dock + dockName] = "image:" + fileName;
                EXPECT_TRUE(waitForKillall(++restarts));
            }
            EXPECT_EQ(changes(before, after), std::vector<std::string>{});
            EXPECT_EQ(killallCalls().size(), restarts);
            if (c.check) {
                c.check(lines_);
            }
        }
        for (auto& cleanup : scene.cleanups)
            cleanup();
    }
}

TEST_F(ApplyToolHostileTest, AFifoInTheBundleIsNeverOpened) {
    fs::path bundle = freshRootAndBundle(temp() / "Fifo.docktheme");
    fs::path fifo = bundle / "images/front.png";
    makeFifo(fifo);
    // The tool runs once a writer waits in its open for a reader (its wait channel says so).
    std::atomic<bool> opened{false};
    std::atomic<pid_t> writerId{0};
    std::thread writer([&] {
        writerId = ::gettid();
        int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
        opened = true;
        ::close(fd);
    });
    eventually([&] {
        pid_t id = writerId;
        return id != 0 &&
               readFile("/proc/self/task/" + std::to_string(id) + "/wchan") == "wait_for_partner";
    });
    EXPECT_EQ(apply({bundle.string()}).exitCode, 255);
    EXPECT_FALSE(opened);
    // A reader held open until the writer is through, however late it came to the FIFO.
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    writer.join();
    ::close(reader);
}

TEST_F(ApplyToolHostileTest, RunsTakeTurnsOnTheDockFolder) {
    fs::path bundle = freshRootAndBundle(temp() / "Turns.docktheme");
    auto before = snapshot(dockResources());
    int folder = ::open(dockResources().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(folder, LOCK_EX), 0);
    int errors = -1;
    pid_t pid = start({bundle.string()}, Launch{}, errors);
    // The kernel lists a run blocked on our lock as "-> FLOCK ... <pid>".
    const std::string waiter = " " + std::to_string(pid) + " ";
    EXPECT_TRUE(eventually([&] {
        std::istringstream locks(readFile("/proc/locks"));
        for (std::string line; std::getline(locks, line);) {
            if (line.find("-> FLOCK") != std::string::npos &&
                line.find(waiter) != std::string::npos)
                return true;
        }
        return false;
    })) << "the run did not wait for the lock";
    EXPECT_EQ(snapshot(dockResources()), before);
    ::close(folder);
    EXPECT_EQ(finish(pid, errors).exitCode, 1);
    EXPECT_EQ(readFile(dockResources() / "frontline.png"), "image:front.png");

    // Two themes applied at once: the folder ends holding one of them whole.
    fs::path other = temp() / "Other.docktheme";
    writeBundle(other, themeInfo({{"Separator_Vertical", "line2.png"}},
                                 {{"Frontline", "front2.png"}, {"Shadow", "shadow2.png"}}));
    for (int round = 0; round < 20; ++round) {
        int errorsA = -1, errorsB = -1;
        pid_t a = start({bundle.string()}, Launch{}, errorsA);
        pid_t b = start({other.string()}, Launch{}, errorsB);
        EXPECT_EQ(finish(a, errorsA).exitCode, 1);
        EXPECT_EQ(finish(b, errorsB).exitCode, 1);
        auto after = snapshot(dockResources());
        std::string suffix = after["frontline.png"] == "image:front.png" ? "" : "2";
        EXPECT_EQ(after, (std::map<std::string, std::string>{
                             {"separatorstraight.png", "image:line" + suffix + ".png"},
                             {"frontline.png", "image:front" + suffix + ".png"},
                             {"shadow.png", "image:shadow" + suffix + ".png"}}));
    }
}

TEST_F(ApplyToolHostileTest, ABundleSwappedForALinkMidRunIsReadFromOneFolderOnly) {
    fs::path bundle = freshRootAndBundle(temp() / "Swap.docktheme");
    fs::path decoy = temp() / "decoy";  // no Info.plist, root-only images of the same names
    for (const char* name : {"line.png", "front.png", "shadow.png"}) {
        writeFile(decoy / "images" / name, "secret");
        fs::permissions(decoy / "images" / name, fs::perms(0600));
    }
    fs::path link = temp() / "link";
    fs::create_symlink(decoy, link);
    std::atomic<bool> stop{false};
    std::thread swapper([&] {
        while (!stop)
            ::renameat2(AT_FDCWD, bundle.c_str(), AT_FDCWD, link.c_str(), RENAME_EXCHANGE);
    });
    int installed = 0;
    for (int run = 0; run < 300; ++run) {
        int code = apply({bundle.string()}).exitCode;
        auto dock = snapshot(dockResources());
        for (const auto& [name, bytes] : dock)
            ASSERT_NE(bytes, "secret") << "run " << run << " installed " << name;
        installed += code == 1;
        EXPECT_TRUE(code == 1 || code == 255);
    }
    stop = true;
    swapper.join();
    std::printf("%d of 300 runs found the real bundle\n", installed);
}
