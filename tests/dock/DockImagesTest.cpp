#include "dock/DockImages.h"
#include "dock/DockManifest.h"
#include "dock/DockTestSupport.h"
#include "model/MiscKit.h"
#include "support/TestEnvironment.h"

class DockImagesTest : public TestEnvironment {
protected:
    MiscKit catalogue{appResources() / "DatabaseInfo.plist"};
};

TEST_F(DockImagesTest, ReadsEachKeyByItsDockFileNameHashesItAndLeavesOutWhatIsNoImage) {
    fs::path folder = temp() / "images";
    fs::create_directories(folder);
    writePng(folder / "frontline.png", QSize(128, 4), Qt::white);
    writePng(folder / "scurve-m.png", QSize(300, 50), Qt::gray);
    writePng(folder / "Shadow.png", QSize(8, 8), Qt::black);  // a key, not a Dock file name
    writePng(folder / "extra.png", QSize(8, 8), Qt::black);
    DockImages images = DockImages::load(catalogue, folder);
    ASSERT_EQ(images.loaded().size(), 2u);
    EXPECT_EQ(images.loaded()[0].key, "Frontline");  // in the catalogue's key order
    EXPECT_EQ(images.loaded()[1].fileName, "scurve-m.png");
    EXPECT_EQ(images.image("Keystone_Base_M")->size(), QSize(300, 50));
    EXPECT_EQ(images.image("Shadow"), nullptr);
    DockManifest manifest = DockManifest::describe(42, DockStyle::TwoD, images);
    ASSERT_EQ(manifest.images.size(), 2u);
    const DockManifest::Image& line = manifest.images.at("frontline.png");
    EXPECT_EQ(line.width, 128);
    EXPECT_EQ(line.height, 4);
    EXPECT_EQ(line.sha256.toStdString(), sha256sum(folder / "frontline.png"));
    // Missing, unreadable or broken pictures are left out.
    folder = temp() / "broken";
    fs::create_directories(folder / "separator.png");  // a folder
    writeFile(folder / "frontline.png", "not a picture");
    writeFile(folder / "shadow.png", "");
    std::string png = "\x89PNG\r\n\x1a\n";
    writeFile(folder / "pileArrow.png", png + std::string(40, '\0'));  // a cut-off PNG
    makeFifo(folder / "scurve-l.png");                                 // must not block
    fs::create_symlink(folder / "nowhere.png", folder / "scurve-sm.png");
    writePng(temp() / "real.png", QSize(32, 16), Qt::blue);
    fs::create_symlink(temp() / "real.png", folder / "indicator_large.png");
    fs::permissions(temp() / "real.png", fs::perms::owner_read);
    images = DockImages::load(catalogue, folder);
    ASSERT_EQ(images.loaded().size(), 1u);  // only the linked picture
    EXPECT_EQ(images.loaded()[0].fileName, "indicator_large.png");
    EXPECT_TRUE(DockImages::load(catalogue, temp() / "no-such-folder").loaded().empty());
    EXPECT_TRUE(DockImages::load(MiscKit(temp() / "no-catalogue.plist"), folder).loaded().empty());
}
