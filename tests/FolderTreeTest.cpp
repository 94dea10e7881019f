// Folder trees copied and removed without following links; renames that never cost an entry.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Descriptor.h"
#include "platform/FolderTree.h"
#include "platform/Renaming.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

class FolderTreeTest : public TestEnvironment {
protected:
    Descriptor open(const fs::path& folder) const {
        return Descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
};

TEST_F(FolderTreeTest, CopyRemoveAndRenameNeverFollowALinkOrTakeANameInUse) {
    writeFile(temp() / "outside/keep.txt", "kept");
    writeFile(temp() / "tree/images/x.png", "x");
    writeFile(temp() / "tree/big", std::string(100, 'b'));
    fs::create_symlink(temp() / "outside", temp() / "tree/images/away");
    ASSERT_EQ(::mkfifo((temp() / "tree/pipe").c_str(), 0600), 0);
    fs::create_directory_symlink(temp() / "tree", temp() / "chosen");
    const auto outside = snapshot(temp() / "outside");
    Descriptor target = open(temp());
    std::vector<std::string> skipped;
    // The chosen path may be a link; below it nothing is followed.
    ASSERT_TRUE(
        FolderTree::copy((temp() / "chosen").string(), target.get(), "copy", 1000, &skipped));
    EXPECT_EQ(snapshot(temp() / "copy"),
              (std::map<std::string, std::string>{
                  {"big", std::string(100, 'b')}, {"images/", ""}, {"images/x.png", "x"}}));
    std::sort(skipped.begin(), skipped.end());
    EXPECT_EQ(skipped, (std::vector<std::string>{"images/away", "pipe"}));
    EXPECT_FALSE(FolderTree::copy((temp() / "tree").string(), target.get(), "copy", 1000));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(FolderTree::copy((temp() / "tree").string(), target.get(), "small", 10));
    EXPECT_EQ(errno, EFBIG);
    // A link to a folder is removed as a link; a tree with links keeps their targets.
    EXPECT_TRUE(FolderTree::remove(target.get(), "chosen"));
    EXPECT_TRUE(fs::exists(temp() / "tree/images/x.png"));
    EXPECT_TRUE(FolderTree::remove(target.get(), "tree"));
    EXPECT_FALSE(fs::exists(temp() / "tree"));
    EXPECT_EQ(snapshot(temp() / "outside"), outside);
    EXPECT_FALSE(FolderTree::remove(target.get(), "tree"));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(FolderTree::remove(target.get(), ".."));
    // Renames never take a name in use; an exchange trades two entries.
    writeFile(temp() / "new/file", "new");
    writeFile(temp() / "old/file", "old");
    writeFile(temp() / "plain", "plain");
    fs::create_symlink("nowhere", temp() / "dangling");
    for (const char* taken : {"old", "plain", "dangling"}) {
        SCOPED_TRACE(taken);
        EXPECT_FALSE(Renaming::withoutReplacing(target.get(), "new", target.get(), taken));
        EXPECT_EQ(errno, EEXIST);
    }
    ASSERT_TRUE(Renaming::exchange(target.get(), "new", target.get(), "old"));
    EXPECT_EQ(readFile(temp() / "old/file"), "new");
    EXPECT_EQ(readFile(temp() / "new/file"), "old");
    EXPECT_TRUE(Renaming::withoutReplacing(target.get(), "new", target.get(), "free"));
    EXPECT_EQ(readFile(temp() / "free/file"), "old");
    EXPECT_FALSE(fs::exists(temp() / "new"));
}
