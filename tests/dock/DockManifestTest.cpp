#include <sys/stat.h>
#include <unistd.h>

#include "dock/DockManifest.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

class DockManifestTest : public TestEnvironment {
protected:
    static DockManifest sample() {
        DockManifest manifest;
        manifest.pid = 4321;
        manifest.dockStyle = DockStyle::TwoD;
        manifest.images["scurve-m.png"] = {256, 48, "ab12"};
        manifest.images["frontline.png"] = {128, 4, "cd34"};
        return manifest;
    }
};

TEST_F(DockManifestTest, RefusesAFolderSomeoneElseCouldHaveMadeAndIsWrittenWholeIntoItsOwn) {
    fs::create_directories(temp() / "elsewhere");
    fs::create_symlink(temp() / "elsewhere", DockManifest::folder());
    EXPECT_FALSE(sample().write());
    EXPECT_TRUE(fs::is_empty(temp() / "elsewhere"));
    fs::remove(DockManifest::folder());
    fs::create_directories(DockManifest::folder());
    fs::permissions(DockManifest::folder(), fs::perms::all);
    EXPECT_FALSE(sample().write());
    EXPECT_FALSE(fs::exists(DockManifest::path()));
    EXPECT_FALSE(DockManifest::read());  // none was written
    for (const char* bytes : {"", "[]", "{\"pid\": 1, \"style\": \"4d\", \"images\": {}}",
                              "{\"pid\": \"1\", \"style\": \"3d\", \"images\": {}}",
                              "{\"pid\": 1, \"style\": \"3d\"}", "{\"pid\": 1, \"sty"}) {
        EXPECT_FALSE(DockManifest::fromJson(bytes)) << bytes;
    }
    EXPECT_TRUE(DockManifest::fromJson("{\"pid\": 1, \"style\": \"3d\", \"images\": {}}"));
    fs::remove(DockManifest::folder());
    EXPECT_EQ(DockManifest::path(), temp() / "runtime/velvanto-dock/manifest.json");
    ASSERT_TRUE(sample().write());
    struct stat info {};
    ASSERT_EQ(::stat(DockManifest::folder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(fs::directory_iterator(DockManifest::folder())->path().filename(), "manifest.json");
    auto back = DockManifest::read();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pid, 4321);
    EXPECT_EQ(back->dockStyle, DockStyle::TwoD);
    EXPECT_EQ(back->images, sample().images);
    std::string text = readFile(DockManifest::path());
    EXPECT_NE(text.find("\"style\": \"2d\""), std::string::npos);
    EXPECT_NE(text.find("\"sha256\": \"ab12\""), std::string::npos);
    // Without a runtime folder, a private one in /tmp.
    std::string own = "/tmp/velvanto-dock-" + std::to_string(::geteuid());
    setEnv("XDG_RUNTIME_DIR", "");
    EXPECT_EQ(DockManifest::folder(), fs::path(own));
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(DockManifest::path(), fs::path(own) / "manifest.json");
}
