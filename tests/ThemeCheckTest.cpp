// The check of a theme before it reaches the Dock, and the header reader it sizes images with.
#include <fcntl.h>
#include <unistd.h>

#include "model/ImageHeader.h"
#include "model/MiscKit.h"
#include "model/ThemeCheck.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"
#include "tool/ThemeSource.h"

namespace fs = std::filesystem;

namespace {

std::string number(std::uint32_t value, int bytes, bool bigEndian = true) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * (bigEndian ? bytes - 1 - i : i))) & 0xFF);
    return out;
}

std::string png(int width, int height) {
    return "\x89PNG\r\n\x1a\n" + number(13, 4) + "IHDR" + number(width, 4) + number(height, 4);
}

// A TIFF whose first directory holds another tag, a SHORT width and a LONG height.
std::string tiff(bool bigEndian, int width, int height) {
    auto n = [bigEndian](std::uint32_t value, int bytes) {
        return number(value, bytes, bigEndian);
    };
    return std::string(bigEndian ? "MM\0*" : "II*\0", 4) + n(8, 4) + n(3, 2) + n(254, 2) + n(4, 2) +
           n(1, 4) + n(0, 4) + n(256, 2) + n(3, 2) + n(1, 4) + n(width, 2) + n(0, 2) + n(257, 2) +
           n(4, 2) + n(1, 4) + n(height, 4);
}

// A JPEG whose frame (or image data) follows 40 kB of metadata.
std::string jpeg(int width, int height, bool frame = true) {
    std::string sof = "\xFF\xC2" + number(17, 2) + "\x08" + number(height, 2) + number(width, 2);
    return "\xFF\xD8\xFF\xFF\xFF\xE1" + number(40002, 2) + std::string(40000, 'x') +
           (frame ? sof : "\xFF\xDA") + std::string(20, '\0');
}

// A BMP's headers, which the toolkit's reader sizes without pixels.
std::string bmp(int width, int height) {
    auto le = [](std::uint32_t value, int bytes) { return number(value, bytes, false); };
    return "BM" + le(54, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(width, 4) + le(height, 4) +
           le(1, 2) + le(24, 2) + std::string(24, '\0');
}

std::string icns(std::initializer_list<const char*> types) {
    std::string entries;
    for (const char* type : types)
        entries += type + number(12, 4) + "data";
    return "icns" + number(8 + entries.size(), 4) + entries;
}

const char* const kExtras[] = {"preview_micro.png", "preview_2d.png", "preview_3d.png",
                               "description.rtf"};

}  // namespace

class ThemeCheckTest : public TestEnvironment {
protected:
    // The clean theme: every image at the Dock's size, previews and description there.
    fs::path cleanBundle(const std::string& name) {
        const fs::path bundle = temp() / (name + ".docktheme");
        writeBundle(bundle, themeInfo({{"Separator_Vertical", "line.png"}},
                                      {{"Keystone_Base_L", "base.png"}, {"Shadow", "shadow.png"}}));
        writeFile(bundle / "images/line.png", png(4, 48));
        writeFile(bundle / "images/base.png", png(256, 64));
        writeFile(bundle / "images/shadow.png", png(200, 24));
        for (const char* extra : kExtras)
            writeFile(bundle / extra, "x");
        return bundle;
    }
};

TEST_F(ThemeCheckTest, ImageHeadersGiveSizesAndGarbageGivesNone) {
    const struct {
        const char* name;
        std::string bytes;
        std::optional<ImageSize> size;
    } rows[] = {
        {"PNG", png(300, 80), ImageSize{300, 80}},
        {"GIF", "GIF89a" + number(300, 2, false) + number(80, 2, false), ImageSize{300, 80}},
        {"TIFF little-endian", tiff(false, 640, 70000), ImageSize{640, 70000}},
        {"TIFF big-endian", tiff(true, 640, 480), ImageSize{640, 480}},
        {"progressive JPEG after metadata", jpeg(1024, 768), ImageSize{1024, 768}},
        {"ICNS, largest entry", icns({"is32", "ic10", "il32", "TOC "}), ImageSize{1024, 1024}},
        {"JPEG with data before any frame", jpeg(10, 10, false), std::nullopt},
        {"PNG cut in its header", png(300, 80).substr(0, 20), std::nullopt},
        {"PNG of width 0", png(0, 80), std::nullopt},
        {"TIFF directory past the end", std::string("II*\0", 4) + number(1 << 20, 4, false),
         std::nullopt},
        {"garbage", "\x8f\x01\xfe garbage", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ImageHeader::fromBytes(row.bytes), row.size) << row.name;
        writeFile(temp() / "image", row.bytes);
        Descriptor fd(::open((temp() / "image").c_str(), O_RDONLY | O_CLOEXEC));
        EXPECT_EQ(ImageHeader::fromDescriptor(fd.get()), row.size) << row.name << " (file)";
    }
}

TEST_F(ThemeCheckTest, FindsWhatTheToolRefusesAndWarnsOfTheRest) {
    using Prepare = std::function<void(const fs::path& bundle)>;
    auto info = [](std::function<void(PlistValue&)> change) {
        return [change](const fs::path& bundle) {
            PlistValue value = *PropertyList::readDictionary(bundle / "Info.plist");
            change(value);
            writeFile(bundle / "Info.plist", PropertyList::toXML(value));
        };
    };
    auto table = [&](DockCategory category, const std::string& key, const std::string& file) {
        return info([=](PlistValue& value) {
            value.find("Dock_List")->asArray()->at(indexOf(category)).set(key, PlistValue(file));
        });
    };
    // Puts what make leaves (nothing, or bytes) in place of base.png.
    auto base = [](std::function<void(const fs::path&)> make) {
        return [make](const fs::path& bundle) {
            fs::remove(bundle / "images/base.png");
            make(bundle / "images/base.png");
        };
    };
    auto baseBytes = [&](std::string bytes) {
        return base([bytes](const fs::path& p) { writeFile(p, bytes); });
    };
    auto infoBytes = [](std::string bytes) {
        return [bytes](const fs::path& bundle) { writeFile(bundle / "Info.plist", bytes); };
    };
    auto linked = [](const std::string& entry) {
        return [entry](const fs::path& b) { linkAway(b / entry, b.string() + "-elsewhere"); };
    };
    const std::string isLink = " is a link; the apply tool reads no links.";
    const std::string tooBig = "Size is too big: 300 \u00d7 80, the Dock draws 256 \u00d7 64";
    struct Row {
        std::string name;
        Prepare prepare;
        std::vector<std::string> findings;  // "E|W key: sentence"
        bool holeOnly = false;  // an error the tool does not refuse: the Dock would show a hole
    };
    const Row rows[] = {
        {"clean", [](const fs::path&) {}, {}},
        // Errors: what the apply tool refuses.
        {"not a folder",
         [](const fs::path& b) {
             fs::remove_all(b);
             writeFile(b, "x");
         },
         {"E : The theme folder can't be opened."}},
        {"Info.plist missing",
         [](const fs::path& b) { fs::remove(b / "Info.plist"); },
         {"E : Info.plist is missing."}},
        {"Info.plist a link", linked("Info.plist"), {"E : Info.plist" + isLink}},
        {"Info.plist too big",
         infoBytes(std::string(ThemeBundle::kMaxInfoBytes + 1, ' ')),
         {"E : Info.plist is larger than 1 MiB, more than the apply tool reads."}},
        {"Info.plist garbage",
         infoBytes("\x8f\x01\xfe garbage"),
         {"E : Info.plist is not a readable property list."}},
        {"1,001 entries",
         info([](PlistValue& v) {
             PlistValue& flat = v.find("Dock_List")->asArray()->at(0);
             for (int i = 0; i < 1001; ++i)
                 flat.set("K" + std::to_string(i), PlistValue("x"));
         }),
         {"E : The image table has 1,004 entries; the apply tool reads at most 1,000."}},
        {"image missing",
         base([](const fs::path&) {}),
         {"E Keystone_Base_L: The image base.png is missing."}},
        {"image a link",
         base([](const fs::path& p) { fs::create_symlink("line.png", p); }),
         {"E Keystone_Base_L: The image base.png" + isLink}},
        {"image a FIFO",
         base(makeFifo),
         {"E Keystone_Base_L: The image base.png is not a plain file (a FIFO, a device or a "
          "socket)."}},
        {"image a folder",
         base([](const fs::path& p) { fs::create_directories(p); }),
         {"E Keystone_Base_L: The image base.png is a folder, not a file."}},
        {"image a byte over 16 MiB",
         base([](const fs::path& p) { writeSparse(p, ThemeBundle::kMaxImageBytes + 1); }),
         {"E Keystone_Base_L: The image base.png is larger than 16 MiB."}},
        {"images folder a link", linked("images"), {"E : The images folder" + isLink}},
        {"name out of the folder",
         table(DockCategory::ThreeD, "Keystone_Base_L", "../Info.plist"),
         {"E Keystone_Base_L: The file name ../Info.plist leads outside the images folder.",
          "W : No key names the image base.png; it is never installed."}},
        {"image not a picture",
         baseBytes("not a picture"),
         {"E Keystone_Base_L: The image base.png can't be read as a picture."},
         true},
        // Warnings: the tool installs the theme.
        {"too big", baseBytes(png(300, 80)), {"W Keystone_Base_L: " + tooBig}},
        {"a format sized by the caller's decoder",
         baseBytes(bmp(300, 80)),
         {"W Keystone_Base_L: " + tooBig}},
        {"unknown key, its image missing",
         table(DockCategory::TwoD, "Sparkles", "none.png"),
         {"W Sparkles: The Dock has no image for the key Sparkles; the apply tool skips it."}},
        {"key in both categories",
         table(DockCategory::TwoD, "Shadow", "line.png"),
         {"W Shadow: Size is too big: 4 \u00d7 48, the Dock draws 256 \u00d7 24",
          "W Shadow: Shadow names line.png for the 2D Dock and shadow.png for the 3D Dock; the "
          "Dock shows shadow.png in both styles."}},
        {"unnamed image",
         [](const fs::path& b) { writeFile(b / "images/extra.png", "x"); },
         {"W : No key names the image extra.png; it is never installed."}},
        {"no previews or description",
         [](const fs::path& b) {
             for (const char* extra : kExtras)
                 fs::remove(b / extra);
         },
         {"W : The theme has no small preview (preview_micro.png).",
          "W : The theme has no 2D Dock screenshot (preview_2d.png).",
          "W : The theme has no 3D Dock screenshot (preview_3d.png).",
          "W : The theme has no description (description.rtf)."}},
    };
    const MiscKit catalogue(appResources() / "DatabaseInfo.plist");
    auto decoder = [](int fd) {
        char head[2] = {};
        return ::pread(fd, head, 2, 0) == 2 && head[0] == 'B' ? std::optional(ImageSize{300, 80})
                                                              : std::nullopt;
    };
    std::vector<std::string> bundles;
    for (const auto& row : rows) {
        const fs::path bundle = cleanBundle("row" + std::to_string(bundles.size()));
        bundles.push_back(bundle.string());
        row.prepare(bundle);
        const auto findings = ThemeCheck::check(bundle.string(), catalogue, decoder);
        std::vector<std::string> shown;
        for (const ThemeFinding& finding : findings) {
            const bool error = finding.severity == ThemeFinding::Severity::Error;
            shown.push_back((error ? "E " : "W ") + finding.key + ": " + finding.sentence);
        }
        EXPECT_EQ(shown, row.findings) << row.name;
        // The verdict agrees with the tool's.
        const bool ready =
            ThemeSource::open(bundle.string(), catalogue).outcome == ThemeSource::Outcome::Ready;
        EXPECT_EQ(ThemeCheck::hasError(findings), !ready || row.holeOnly) << row.name;
    }
    // The check command sizes with the editor's decoder: the BMP only too big, the text no picture.
    for (const auto& [row, code] :
         {std::pair{"a format sized by the caller's decoder", 0}, {"image not a picture", 1}}) {
        const std::size_t at = std::ranges::find(rows, std::string(row), &Row::name) - rows;
        const auto checked = runProgram({VELVANTO_THEME_PROGRAM, "check", bundles.at(at)});
        EXPECT_EQ(checked.exitCode, code) << row;
    }
}
