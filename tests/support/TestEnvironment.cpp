#include "support/TestEnvironment.h"

#include "platform/Process.h"
#include "platform/PropertyList.h"
#include "platform/SystemPaths.h"

#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

void TestEnvironment::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "velvanto-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    temp_ = pattern;
    fs::create_directories(home());
    fs::create_directories(root() / "System/Library/CoreServices/Dock.app/Contents/Resources");
    setEnv("HOME", home().string());
    setEnv("VELVANTO_ROOT", root().string());
    setEnv("XDG_CONFIG_HOME", (home() / ".config").string());
    setEnv("XDG_DATA_HOME", (home() / ".local/share").string());
    setEnv("XDG_RUNTIME_DIR", (temp_ / "runtime").string());
    fs::create_directories(temp_ / "runtime");
    fs::permissions(temp_ / "runtime", fs::perms::owner_all);
    fs::path recorder = temp_ / "killall-recorder";
    writeScript(recorder, "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"" +
                              (temp_ / "killall.log").string() + "\"; done");
    setEnv("VELVANTO_KILLALL", recorder.string());
    SystemPaths::setResourceFolder(appResources());
}

void TestEnvironment::TearDown() {
    for (const auto& [name, value] : saved_) {
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    saved_.clear();
    std::error_code error;
    // Tests may leave read-only folders behind; make them removable first.
    for (auto it = fs::recursive_directory_iterator(temp_, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
    }
    fs::remove_all(temp_, error);
}

fs::path TestEnvironment::dockResources() const {
    return root() / "System/Library/CoreServices/Dock.app/Contents/Resources";
}

fs::path TestEnvironment::appResources() {
    return VELVANTO_RESOURCES_DIR;
}

std::vector<std::string> TestEnvironment::killallCalls() const {
    std::vector<std::string> lines;
    std::ifstream in(temp_ / "killall.log");
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool TestEnvironment::eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 3000 && !done(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

void TestEnvironment::writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void TestEnvironment::makeFifo(const fs::path& path) {
    fs::remove(path);
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
}

void TestEnvironment::writeSparse(const fs::path& path, std::uintmax_t size) {
    writeFile(path, "");
    fs::resize_file(path, size);
}

void TestEnvironment::writeScript(const fs::path& path, const std::string& body) {
    writeFile(path, "#!/bin/sh\n" + body + "\n");
    fs::permissions(path, fs::perms::owner_all);
}

void TestEnvironment::linkAway(const fs::path& path, const fs::path& elsewhere) {
    fs::rename(path, elsewhere);
    fs::create_symlink(elsewhere, path);
}

std::vector<std::string> TestEnvironment::entries(const fs::path& folder) {
    std::vector<std::string> names;
    std::ranges::transform(fs::directory_iterator(folder), std::back_inserter(names),
                           [](const auto& entry) { return entry.path().filename().string(); });
    std::ranges::sort(names);
    return names;
}

std::string TestEnvironment::readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::map<std::string, std::string> TestEnvironment::snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        // Lexically: a link is named where it lies, not where it leads.
        std::string name = it->path().lexically_relative(folder).string();
        if (it->is_symlink()) {
            files[name] = "-> " + fs::read_symlink(it->path()).string();
        } else if (it->is_regular_file()) {
            // Large (often sparse) files are told apart by size alone.
            auto size = it->file_size();
            files[name] =
                size > (1u << 20) ? "(" + std::to_string(size) + " bytes)" : readFile(it->path());
        } else if (it->is_directory()) {
            files[name + "/"] = "";
        } else {
            files[name] = "(special)";
        }
    }
    return files;
}

std::vector<std::string> TestEnvironment::changes(const std::map<std::string, std::string>& before,
                                                  const std::map<std::string, std::string>& after) {
    std::vector<std::string> result;
    auto shown = [](const std::map<std::string, std::string>& files, const std::string& name) {
        auto it = files.find(name);
        return it == files.end() ? std::string("(nothing)") : it->second.substr(0, 40);
    };
    std::map<std::string, std::string> all = before;
    all.insert(after.begin(), after.end());
    for (const auto& [name, content] : all) {
        if (!before.count(name) || !after.count(name) || before.at(name) != after.at(name)) {
            result.push_back(name + ": " + shown(before, name) + " -> " + shown(after, name));
        }
    }
    return result;
}

std::map<std::string, std::string> TestEnvironment::without(
    std::map<std::string, std::string> files, const std::vector<std::string>& prefixes) {
    std::erase_if(files, [&](const auto& entry) {
        return std::ranges::any_of(
            prefixes, [&](const std::string& below) { return entry.first.starts_with(below); });
    });
    return files;
}

void TestEnvironment::setEnv(const char* name, const std::string& value) {
    if (!saved_.count(name)) {
        const char* old = std::getenv(name);
        saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    ::setenv(name, value.c_str(), 1);
}

PlistValue TestEnvironment::themeInfo(const Table& flat, const Table& glass) {
    PlistValue categories[2] = {PlistValue::dictionary(), PlistValue::dictionary()};
    for (const auto& [key, name] : flat)
        categories[0].set(key, PlistValue(name));
    for (const auto& [key, name] : glass)
        categories[1].set(key, PlistValue(name));
    PlistValue info = PlistValue::dictionary();
    info.set("VL_DockName", PlistValue("Test"));
    info.set("VL_BasePath", PlistValue("images/"));
    info.set("Dock_List", PlistValue(PlistValue::Array{categories[0], categories[1]}));
    return info;
}

void TestEnvironment::writeBundle(const fs::path& bundle, const PlistValue& info) {
    fs::create_directories(bundle / "images");
    writeFile(bundle / "Info.plist", PropertyList::toXML(info));
    const PlistValue* list = info.find("Dock_List");
    if (!list || !list->asArray()) {
        return;
    }
    for (const PlistValue& category : *list->asArray()) {
        if (!category.asDictionary())
            continue;
        for (const auto& [key, name] : *category.asDictionary()) {
            if (const std::string* file = name.asString()) {
                writeFile(bundle / "images" / *file, "image:" + *file);
            }
        }
    }
}

std::string TestEnvironment::binaryPlist(const PlistValue& value) {
    const std::string xml = PropertyList::toXML(value);
    plist_t node = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &node);
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bin, &length);
    std::string bytes(bin, length);
    std::free(bin);
    plist_free(node);
    return bytes;
}

ProgramRun runProgram(const std::vector<std::string>& argv) {
    auto result = Process::run(argv, Process::Capture::Errors);
    return result ? ProgramRun{result->exitStatus, result->output} : ProgramRun{};
}
