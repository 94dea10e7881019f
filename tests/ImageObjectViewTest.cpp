#include "model/ImageObjectView.h"
#include "model/MiscKit.h"
#include "support/TestEnvironment.h"

class ImageObjectViewTest : public TestEnvironment {
protected:
    static ImageObjectView item(const std::string& path, const std::string& key) {
        ImageObjectView made;
        made.setPath(path);
        made.setKeyDock(key);
        return made;
    }
    static std::string titleOf(const std::string& path) { return item(path, path).imageTitle(); }
};

TEST_F(ImageObjectViewTest, SlotItemsShowTheirFileNameCollectionItemsTheBundleNameAndSortByKey) {
    ImageObjectView slot = item("/t/Blue.docktheme/images/front.png", "Frontline");
    EXPECT_EQ(slot.imageTitle(), "");
    EXPECT_EQ(slot.imageSubtitle(), "front.png");
    EXPECT_EQ(slot.title(), "front.png");
    // Items of the collection are keyed by their path.
    std::string preview = "/home/u/Themes/Blue.docktheme/preview_micro.png";
    EXPECT_EQ(titleOf(preview), "Blue");
    EXPECT_EQ(item(preview, preview).imageSubtitle(), "preview_micro.png");
    EXPECT_EQ(titleOf("/x/My.Theme.docktheme/p.png"), "My.Theme");
    EXPECT_EQ(titleOf("p.png"), "");
    // A key the catalogue doesn't know is captioned by its folder, which a bare key lacks.
    EXPECT_EQ(item("/t/B.docktheme/images/x.png", "Custom_Key").imageTitle(), "");
    EXPECT_EQ(titleOf("/t/B.docktheme/images/x.png"), "images");
    // Items sort by key, ignoring case.
    EXPECT_EQ(item("", "Frontline").sortObjectByKey(item("", "FRONTLINE")), 0);
    EXPECT_LT(item("", "frontline").sortObjectByKey(item("", "FRONTLINF")), 0);
    EXPECT_LT(item("", "Stack").sortObjectByKey(item("", "stack_arrow")), 0);
}
