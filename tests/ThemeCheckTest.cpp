// The check of a theme before it reaches the Dock, and the header reader it sizes images with.
#include <fcntl.h>
#include <unistd.h>

#include <functional>

#include "model/ImageHeader.h"
#include "model/MiscKit.h"
#include "model/ThemeCheck.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"
#include "tool/ThemeSource.h"

namespace fs = std::filesystem;

namespace {

std::string be(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

std::string le(std::uint32_t value, int bytes) {
    std::string out = be(value, bytes);
    return {out.rbegin(), out.rend()};
}

std::string png(int width, int height) {
    return std::string("\x89PNG\r\n\x1a\n") + be(13, 4) + "IHDR" + be(width, 4) + be(height, 4) +
           std::string("\x08\x06\0\0\0", 5);
}

// A TIFF whose first directory holds a SHORT width and a LONG height.
std::string tiff(bool bigEndian, int width, int height) {
    auto n = [bigEndian](std::uint32_t value, int bytes) {
        return bigEndian ? be(value, bytes) : le(value, bytes);
    };
    return (bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4)) + n(8, 4) + n(3, 2) +
           n(254, 2) + n(4, 2) + n(1, 4) + n(0, 4) +                // NewSubfileType
           n(256, 2) + n(3, 2) + n(1, 4) + n(width, 2) + n(0, 2) +  // ImageWidth, SHORT
           n(257, 2) + n(4, 2) + n(1, 4) + n(height, 4);            // ImageLength, LONG
}

// A JPEG whose frame follows a large application segment.
std::string jpeg(int width, int height, bool frame = true) {
    std::string app1 = "\xFF\xE1" + be(40002, 2) + std::string(40000, 'x');
    std::string sof = "\xFF\xC2" + be(17, 2) + "\x08" + be(height, 2) + be(width, 2);
    return "\xFF\xD8\xFF\xFF" + app1 + (frame ? sof : "\xFF\xDA") + std::string(20, '\0');
}

std::string icns(std::initializer_list<const char*> types) {
    std::string entries;
    for (const char* type : types) {
        entries += std::string(type) + be(8 + 4, 4) + "data";
    }
    return "icns" + be(8 + entries.size(), 4) + entries;
}

}  // namespace

TEST(ImageHeaderTest, SizesFromHeadersAndNothingFromGarbage) {
    const std::string gif = "GIF89a" + le(300, 2) + le(80, 2) + std::string(10, '\0');
    const struct {
        const char* name;
        std::string bytes;
        std::optional<ImageSize> size;
    } rows[] = {
        {"PNG", png(300, 80), ImageSize{300, 80}},
        {"GIF", gif, ImageSize{300, 80}},
        {"TIFF little-endian", tiff(false, 640, 70000), ImageSize{640, 70000}},
        {"TIFF big-endian", tiff(true, 640, 480), ImageSize{640, 480}},
        {"progressive JPEG after 40 kB of metadata", jpeg(1024, 768), ImageSize{1024, 768}},
        {"ICNS, largest entry", icns({"is32", "ic08", "il32", "TOC "}), ImageSize{256, 256}},
        {"ICNS, retina type", icns({"ic10"}), ImageSize{1024, 1024}},
        {"ICNS without icons", icns({"TOC ", "icnV"}), std::nullopt},
        {"JPEG with data before any frame", jpeg(10, 10, false), std::nullopt},
        {"PNG cut in its header", png(300, 80).substr(0, 20), std::nullopt},
        {"PNG of width 0", png(0, 80), std::nullopt},
        {"TIFF directory past the end", std::string("II*\0", 4) + le(999999, 4), std::nullopt},
        {"garbage", std::string("\x8f\x01\xfe garbage\x7f", 13), std::nullopt},
        {"empty", "", std::nullopt},
    };
    const fs::path file = fs::temp_directory_path() / ("header-" + std::to_string(::getpid()));
    for (const auto& row : rows) {
        EXPECT_EQ(ImageHeader::fromBytes(row.bytes), row.size) << row.name;
        TestEnvironment::writeFile(file, row.bytes);
        Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
        EXPECT_EQ(ImageHeader::fromDescriptor(fd.get()), row.size) << row.name << " (file)";
    }
    fs::remove(file);
}

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
        for (const char* extra :
             {"preview_micro.png", "preview_2d.png", "preview_3d.png", "description.rtf"}) {
            writeFile(bundle / extra, "x");
        }
        return bundle;
    }
};

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
    auto base = [](std::function<void(const fs::path&)> make) {
        return [make](const fs::path& bundle) {
            fs::remove(bundle / "images/base.png");
            make(bundle / "images/base.png");
        };
    };
    auto infoBytes = [](std::string bytes) {
        return [bytes](const fs::path& bundle) { writeFile(bundle / "Info.plist", bytes); };
    };
    auto linkAway = [this](const fs::path& path) {
        fs::rename(path, temp() / "elsewhere");
        fs::create_symlink(temp() / "elsewhere", path);
    };
    const std::string linked = "; the apply tool reads no links.";
    const struct {
        const char* name;
        Prepare prepare;
        std::vector<std::string> findings;  // "E|W key: sentence"
        bool holeOnly = false;  // an error the tool does not refuse: the Dock would show a hole
    } rows[] = {
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
        {"Info.plist a link",
         [&](const fs::path& b) { linkAway(b / "Info.plist"); },
         {"E : Info.plist is a link" + linked}},
        {"Info.plist too big",
         infoBytes(std::string(ThemeBundle::kMaxInfoBytes + 1, ' ')),
         {"E : Info.plist is larger than 1 MiB, more than the apply tool reads."}},
        {"Info.plist garbage",
         infoBytes(std::string("\x8f\x01\xfe garbage\x7f", 13)),
         {"E : Info.plist is not a readable property list."}},
        {"one category",
         info([](PlistValue& v) {
             v.set("Dock_List", PlistValue(PlistValue::Array{PlistValue::dictionary()}));
         }),
         {"E : The image table (Dock_List) is damaged: it must be two dictionaries of file "
          "names."}},
        {"1,001 entries",
         info([](PlistValue& v) {
             for (int i = 0; i < 1001; ++i) {
                 v.find("Dock_List")
                     ->asArray()
                     ->at(0)
                     .set("K" + std::to_string(i), PlistValue("x"));
             }
         }),
         {"E : The image table has 1004 entries; the apply tool reads at most 1,000."}},
        {"image missing",
         base([](const fs::path&) {}),
         {"E Keystone_Base_L: The image base.png is missing."}},
        {"image a link",
         base([this](const fs::path& p) {
             writeFile(temp() / "secret", png(1, 1));
             fs::create_symlink(temp() / "secret", p);
         }),
         {"E Keystone_Base_L: The image base.png is a link" + linked}},
        {"image a FIFO",
         base(makeFifo),
         {"E Keystone_Base_L: base.png is not a plain file (a FIFO, a device or a socket)."}},
        {"image a folder",
         base([](const fs::path& p) { fs::create_directories(p); }),
         {"E Keystone_Base_L: base.png is a folder, not an image file."}},
        {"image a byte over 16 MiB",
         base([](const fs::path& p) { writeSparse(p, ThemeBundle::kMaxImageBytes + 1); }),
         {"E Keystone_Base_L: The image base.png is larger than 16 MiB."}},
        {"images folder a link",
         [&](const fs::path& b) { linkAway(b / "images"); },
         {"E : The images folder is a link" + linked}},
        {"name out of the folder",
         table(DockCategory::ThreeD, "Keystone_Base_L", "../Info.plist"),
         {"E Keystone_Base_L: The file name ../Info.plist leads outside the images folder.",
          "W : No key names the image base.png; it is never installed."}},
        {"image not a picture",
         base([](const fs::path& p) { writeFile(p, "not a picture"); }),
         {"E Keystone_Base_L: The image base.png can't be read as a picture."},
         true},
        // Warnings: the tool installs the theme.
        {"too big",
         base([](const fs::path& p) { writeFile(p, png(300, 80)); }),
         {"W Keystone_Base_L: Size is too big: 300 \u00d7 80, the Dock draws 256 \u00d7 64"}},
        {"unknown key, its image missing",
         table(DockCategory::TwoD, "Sparkles", "none.png"),
         {"W Sparkles: The Dock has no image for the key Sparkles; the apply tool skips it."}},
        {"key in both categories",
         [&](const fs::path& b) {
             table(DockCategory::TwoD, "Shadow", "flat.png")(b);
             writeFile(b / "images/flat.png", png(8, 8));
         },
         {"W Shadow: Shadow names flat.png for the 2D Dock and shadow.png for the 3D Dock; the "
          "Dock shows shadow.png in both styles."}},
        {"unnamed image",
         [](const fs::path& b) { writeFile(b / "images/extra.png", png(1, 1)); },
         {"W : No key names the image extra.png; it is never installed."}},
        {"no previews or description",
         [](const fs::path& b) {
             for (const char* extra :
                  {"preview_micro.png", "preview_2d.png", "preview_3d.png", "description.rtf"}) {
                 fs::remove(b / extra);
             }
         },
         {"W : The theme has no small preview (preview_micro.png).",
          "W : The theme has no 2D Dock screenshot (preview_2d.png).",
          "W : The theme has no 3D Dock screenshot (preview_3d.png).",
          "W : The theme has no description (description.rtf)."}},
    };
    const MiscKit catalogue(appResources() / "DatabaseInfo.plist");
    int index = 0;
    for (const auto& row : rows) {
        const fs::path bundle = cleanBundle("row" + std::to_string(index++));
        row.prepare(bundle);
        const std::vector<ThemeFinding> findings = ThemeCheck::check(bundle.string(), catalogue);
        std::vector<std::string> shown;
        for (const ThemeFinding& finding : findings) {
            shown.push_back(
                std::string(finding.severity == ThemeFinding::Severity::Error ? "E " : "W ") +
                finding.key + ": " + finding.sentence);
        }
        EXPECT_EQ(shown, row.findings) << row.name;
        // The verdict agrees with the tool's.
        const bool ready =
            ThemeSource::open(bundle.string(), catalogue).outcome == ThemeSource::Outcome::Ready;
        EXPECT_EQ(ThemeCheck::hasError(findings), !ready || row.holeOnly) << row.name;
        fs::remove_all(temp() / "elsewhere");
    }
}

TEST_F(ThemeCheckTest, TheCallersDecoderSizesWhatTheReaderDoesNotKnow) {
    const fs::path bundle = cleanBundle("bmp");
    writeFile(bundle / "images/base.png", "BM a bitmap");
    const MiscKit catalogue(appResources() / "DatabaseInfo.plist");
    int asked = 0;
    auto findings = ThemeCheck::check(bundle.string(), catalogue, [&](int fd) {
        ++asked;
        char head[2] = {};
        return ::pread(fd, head, 2, 0) == 2 && head[0] == 'B' ? std::optional(ImageSize{512, 64})
                                                              : std::nullopt;
    });
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].sentence, "Size is too big: 512 \u00d7 64, the Dock draws 256 \u00d7 64");
    EXPECT_EQ(ThemeCheck::firstError(findings), std::nullopt);
}
