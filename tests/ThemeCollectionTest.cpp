// The collection's file work, headless: listing, adding, placing imports, a killed run's leftovers.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "model/ArchiveImport.h"
#include "model/DockTheme.h"
#include "model/ThemeCollection.h"
#include "platform/BundleFolder.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

class ThemeCollectionTest : public TestEnvironment {
protected:
    using Names = std::vector<std::string>;
    fs::path folder() const { return temp() / "collection"; }
    fs::path entry(const std::string& name) const { return folder() / (name + ".docktheme"); }
    ThemeCollection collection() const { return ThemeCollection(folder().string()); }
    // A copy of the stock theme at bundle, named name.
    static void theme(const fs::path& bundle, const std::string& name) {
        fs::create_directories(bundle.parent_path());
        ASSERT_TRUE(FileManager::copyPath(stockTheme(), bundle));
        auto info = PropertyList::readDictionary(bundle / "Info.plist");
        info->set("VL_DockName", PlistValue(name));
        ASSERT_TRUE(PropertyList::write(bundle / "Info.plist", *info));
    }
    static std::string dockNameOf(const fs::path& bundle) {
        auto opened = DockTheme::initWithBundleAtPath(bundle.string());
        return opened ? opened->dockName().value_or("(none)") : "(invalid)";
    }
};

TEST_F(ThemeCollectionTest, ListsFolderBundlesOnlyAndWritesAMicroPreviewIntoARealFolderOnly) {
    for (const char* name : {"One", "Bare", "Dangling"})
        theme(entry(name), name);
    theme(temp() / "Outside.docktheme", "Outside");
    fs::remove(temp() / "Outside.docktheme/preview_micro.png");
    fs::create_directory_symlink(temp() / "Outside.docktheme", entry("Linked"));
    fs::remove(entry("Bare") / "preview_micro.png");
    fs::remove(entry("Dangling") / "preview_micro.png");
    fs::create_symlink(temp() / "nowhere.png", entry("Dangling") / "preview_micro.png");
    writeFile(folder() / "Plain.docktheme", "a file, not a bundle");
    const ThemeCollection::Listing listed = collection().list();
    Names names;
    for (const std::string& bundle : listed.bundles)
        names.push_back(fs::path(bundle).stem().string());
    EXPECT_EQ(names, (Names{"Bare", "Dangling", "Linked", "One"}));
    EXPECT_EQ(readFile(entry("Bare") / "preview_micro.png"),
              readFile(stockTheme() / "preview_micro.png"));
    EXPECT_FALSE(fs::exists(temp() / "Outside.docktheme/preview_micro.png"));
    EXPECT_TRUE(fs::is_symlink(entry("Dangling") / "preview_micro.png"));
    fs::remove_all(folder());
    writeFile(folder(), "a file where the folder should be");
    EXPECT_FALSE(collection().list().readable);
}

TEST_F(ThemeCollectionTest, AddCopiesRegularFilesOnlyAndNeverLosesTheEntryItReplaces) {
    enum class There { Nothing, Theme, PlainFile, WrittenTheme };
    const struct {
        const char* what;
        There there;
        bool replace;
        std::string why;  // its start; empty: added
        std::string nameAfter;
        std::function<void(const fs::path&)> spoil = {};  // of the source
    } cases[] = {
        {"links and a FIFO inside are left out", There::Nothing, false, "", "Newer",
         [this](const fs::path& source) {
             fs::create_directory_symlink(temp() / "outside", source / "escape");
             fs::create_symlink(temp() / "outside/keep.txt", source / "images/extra.png");
             makeFifo(source / "pipe");
         }},
        {"a theme is replaced", There::Theme, true, "", "Newer"},
        {"a plain file is replaced", There::PlainFile, true, "", "Newer"},
        {"no replace keeps what is there", There::Theme, false,
         "it could not be given its name (File exists)", "Old"},
        {"a copy that fails keeps the old theme", There::Theme, true,
         "its files could not be copied", "Old",
         [](const fs::path& source) { writeSparse(source / "huge", 17u << 20); }},
        {"a program writing the old theme keeps it", There::WrittenTheme, true,
         "it could not be given its name", "Old"},
    };
    writeFile(temp() / "outside/keep.txt", "kept");
    for (const auto& [what, there, replace, why, nameAfter, spoil] : cases) {
        SCOPED_TRACE(what);
        fs::remove_all(folder());
        fs::remove_all(temp() / "Same.docktheme");
        collection().make();
        if (there == There::PlainFile) {
            writeFile(entry("Same"), "plain");
        } else if (there != There::Nothing) {
            theme(entry("Same"), "Old");
        }
        const Descriptor writer = there == There::WrittenTheme
                                      ? BundleFolder::open(entry("Same").string())->lock()
                                      : Descriptor();
        theme(temp() / "Same.docktheme", "Newer");
        if (spoil) {
            spoil(temp() / "Same.docktheme");
        }
        const auto source = snapshot(temp() / "Same.docktheme");
        const std::optional<std::string> added =
            collection().add((temp() / "Same.docktheme").string(), "Same.docktheme", replace);
        EXPECT_EQ(added.value_or("").substr(0, why.size()), why);
        EXPECT_EQ(added.has_value(), !why.empty());
        EXPECT_EQ(dockNameOf(entry("Same")), nameAfter);
        // Nothing half-copied or put aside is left beside the entry.
        EXPECT_EQ(entries(folder()), Names{"Same.docktheme"});
        if (!added) {  // regular files and folders only, as the source holds them
            auto expected = source;
            std::erase_if(expected, [](const auto& e) {
                return e.second.starts_with("-> ") || e.second == "(special)";
            });
            EXPECT_EQ(snapshot(entry("Same")), expected);
        }
    }
    // An imported theme takes the name the same way, in place of an entry only when asked.
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace);
        ArchiveImport import(folder().string());
        ASSERT_TRUE(import.valid());
        theme(folder() / import.hiddenName() / "Same.docktheme", "Imported");
        const std::optional<std::string> why =
            collection().placeImported(import, "Same.docktheme", replace);
        EXPECT_EQ(why.value_or(""), replace ? "" : "it could not be given its name (File exists)");
        EXPECT_EQ(dockNameOf(entry("Same")), replace ? "Imported" : "Old");
        EXPECT_EQ(entries(folder()), Names{"Same.docktheme"});
    }
}

TEST_F(ThemeCollectionTest, WhatAKilledRunLeftIsPutBackOrRemovedNeverThroughALink) {
    // The leftover, whether the final entry is there too, and the name Same.docktheme gives after.
    for (auto [leftover, finalThere, nameAfter] :
         {std::tuple<const char*, bool, std::string>{".Same.docktheme.replaced", false, "Old"},
          {".Same.docktheme.replaced", true, "Velvanto Default"},
          {".velvanto-replaced-Ab12Cd/Same.docktheme", false, "Old"},
          {".velvanto-incoming-Ab12Cd/Same.docktheme", false, "(invalid)"},
          {".velvanto-import-Ab12Cd/Same.docktheme", false, "(invalid)"},
          {".Same.docktheme.incoming", true, "Velvanto Default"}}) {
        SCOPED_TRACE(std::string(leftover) + (finalThere ? ", final there" : ""));
        fs::remove_all(folder());
        writeFile(temp() / "outside/keep.txt", "kept");
        theme(folder() / leftover, "Old");
        fs::create_directory_symlink(temp() / "outside", folder() / leftover / "escape");
        if (finalThere) {
            ASSERT_TRUE(FileManager::copyPath(stockTheme(), entry("Same")));
        }
        collection().recoverLeftovers();
        EXPECT_EQ(entries(folder()), nameAfter == "(invalid)" ? Names{} : Names{"Same.docktheme"});
        EXPECT_EQ(dockNameOf(entry("Same")), nameAfter);
        EXPECT_EQ(readFile(temp() / "outside/keep.txt"), "kept");
    }
}

}  // namespace
